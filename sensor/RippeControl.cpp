#include "sensor/RippeControl.h"

#include "core/DeviceParam.h"

#include <QToolButton>

RippeControl::RippeControl(QWidget* parent)
    : OptionSwitch({"RippeControl", "RippeControl_2", "波纹控制", &SetRippleControl, false}, parent)
{
    connect(toggle(), &QToolButton::clicked, this, &RippeControl::on_RippeControl_2_clicked);
}

void RippeControl::on_RippeControl_2_clicked(bool checked)
{
    sendState(checked);
}
