#include "sensor/MotionSync.h"

#include "core/DeviceParam.h"

#include <QToolButton>

MotionSync::MotionSync(QWidget* parent)
    : OptionSwitch({"MotionSync", "MotionSync_2", "motion sync", &SetMotionSync, false}, parent)
{
    connect(toggle(), &QToolButton::clicked, this, &MotionSync::on_MotionSync_2_clicked);
}

void MotionSync::on_MotionSync_2_clicked(bool checked)
{
    sendState(checked);
}
