#pragma once

#include "sensor/OptionSwitch.h"

// Motion sync: aligns sensor reads with the report rate; switch left, caption right.
class MotionSync final : public sensor::OptionSwitch
{
    Q_OBJECT

public:
    explicit MotionSync(QWidget* parent = nullptr);

public slots:
    void on_MotionSync_2_clicked(bool checked);
};
