#pragma once

#include "sensor/OptionSwitch.h"

// Angle snapping: straightens nearly straight movements; caption left, switch right.
class StraightLineB final : public sensor::OptionSwitch
{
    Q_OBJECT

public:
    explicit StraightLineB(QWidget* parent = nullptr);

public slots:
    void on_StraightLine_2_clicked(bool checked);
};
