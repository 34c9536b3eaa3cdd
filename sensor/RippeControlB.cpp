#include "sensor/RippeControlB.h"

#include "core/DeviceParam.h"

#include <QToolButton>

RippeControlB::RippeControlB(QWidget* parent)
    : OptionSwitch({"RippeControlB", "RippeControl_2", "波纹控制", &SetRippleControl, true}, parent)
{
    connect(toggle(), &QToolButton::clicked, this, &RippeControlB::on_RippeControl_2_clicked);
}

void RippeControlB::on_RippeControl_2_clicked(bool checked)
{
    sendState(checked);
}
