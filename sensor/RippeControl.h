#pragma once

#include "sensor/OptionSwitch.h"

// Ripple control: smooths the sensor's reports; switch left, caption right.
class RippeControl final : public sensor::OptionSwitch
{
    Q_OBJECT

public:
    explicit RippeControl(QWidget* parent = nullptr);

public slots:
    void on_RippeControl_2_clicked(bool checked);
};
