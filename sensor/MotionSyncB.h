#pragma once

#include "sensor/OptionSwitch.h"

// Motion sync: aligns sensor reads with the report rate; caption left, switch right.
class MotionSyncB final : public sensor::OptionSwitch
{
    Q_OBJECT

public:
    explicit MotionSyncB(QWidget* parent = nullptr);

public slots:
    void on_MotionSync_2_clicked(bool checked);
};
