#pragma once

#include "sensor/OptionSwitch.h"

// Angle snapping: straightens nearly straight movements; switch left, caption right.
class StraightLine final : public sensor::OptionSwitch
{
    Q_OBJECT

public:
    explicit StraightLine(QWidget* parent = nullptr);

public slots:
    void on_StraightLine_2_clicked(bool checked);
};
