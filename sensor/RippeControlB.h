#pragma once

#include "sensor/OptionSwitch.h"

// Ripple control: smooths the sensor's reports; caption left, switch right.
class RippeControlB final : public sensor::OptionSwitch
{
    Q_OBJECT

public:
    explicit RippeControlB(QWidget* parent = nullptr);

public slots:
    void on_RippeControl_2_clicked(bool checked);
};
