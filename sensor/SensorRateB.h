#pragma once

#include "sensor/RateStrip.h"

// The report rate as a row of seven exclusive check boxes.
class SensorRateB final : public sensor::RateStrip
{
    Q_OBJECT

public:
    explicit SensorRateB(QWidget* parent = nullptr);
};
