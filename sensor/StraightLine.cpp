#include "sensor/StraightLine.h"

#include "core/DeviceParam.h"

#include <QToolButton>

StraightLine::StraightLine(QWidget* parent)
    : OptionSwitch({"StraightLine", "StraightLine_2", "直线修正", &SetStraightLine, false}, parent)
{
    connect(toggle(), &QToolButton::clicked, this, &StraightLine::on_StraightLine_2_clicked);
}

void StraightLine::on_StraightLine_2_clicked(bool checked)
{
    sendState(checked);
}
