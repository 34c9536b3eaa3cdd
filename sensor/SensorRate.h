#pragma once

#include "sensor/RateStrip.h"

// The report-rate strip of the sensor page: seven picture buttons.
class SensorRate final : public sensor::RateStrip
{
    Q_OBJECT

public:
    explicit SensorRate(QWidget* parent = nullptr);

    // Checks rate row `index` (0..6) without sending; other values change
    // nothing.
    void SetRate(int index);
};
