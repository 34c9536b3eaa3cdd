#include "sensor/MotionSyncB.h"

#include "core/DeviceParam.h"

#include <QToolButton>

MotionSyncB::MotionSyncB(QWidget* parent)
    : OptionSwitch({"MotionSyncB", "MotionSync_2", "motion sync", &SetMotionSync, true}, parent)
{
    connect(toggle(), &QToolButton::clicked, this, &MotionSyncB::on_MotionSync_2_clicked);
}

void MotionSyncB::on_MotionSync_2_clicked(bool checked)
{
    sendState(checked);
}
