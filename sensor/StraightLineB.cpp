#include "sensor/StraightLineB.h"

#include "core/DeviceParam.h"

#include <QToolButton>

StraightLineB::StraightLineB(QWidget* parent)
    : OptionSwitch({"StraightLineB", "StraightLine_2", "直线修正", &SetStraightLine, true}, parent)
{
    connect(toggle(), &QToolButton::clicked, this, &StraightLineB::on_StraightLine_2_clicked);
}

void StraightLineB::on_StraightLine_2_clicked(bool checked)
{
    sendState(checked);
}
