#include "sensor/SensorRate.h"

#include "dialogs/DialogFrame.h"
#include "sensor/OptionForm.h"
#include "sensor/OptionStyle.h"
#include "shell/common/ButtonStyle.h"

#include <QToolButton>

namespace {

QAbstractButton* makeRateButton(QWidget* parent, int row)
{
    QToolButton* button =
        sensor::makeToolButton(parent, sensor::kReportRates[row].button, QRect(100 * row, 51, 74, 26));
    button->setCheckable(true);
    button->setFont(dialogs::DialogFrame::dialogFont(10));
    button->setText(QString::fromLatin1(sensor::kReportRates[row].text));
    return button;
}

QString rateButtonStyle(const QString& folder)
{
    return QStringLiteral("QToolButton{border:0px;color: rgb(") + sensor::optionColour("ButtonColor")
           + QStringLiteral(";);background-position:center;background-repeat:no-repeat;background-image: url(")
           + folder + QStringLiteral("ReportRate.png);}QToolButton:checked{background-image: url(") + folder
           + QStringLiteral("ReportRateClick.png);}")
           + shell::hoverFaceRule(QStringLiteral("QToolButton"), folder + QStringLiteral("ReportRateHover.png"));
}

const sensor::RateStripForm kForm = {"SensorRate", QSize(725, 82), QRect(0, 0, 161, 31), &makeRateButton,
                                     &rateButtonStyle};

} // namespace

SensorRate::SensorRate(QWidget* parent)
    : RateStrip(kForm, parent)
{
}

void SensorRate::SetRate(int index)
{
    if (index >= 0 && index < sensor::kReportRateCount)
        rateButton(index)->setChecked(true);
}
