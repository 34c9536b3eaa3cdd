#include "sensor/SensorRateB.h"

#include "sensor/OptionForm.h"
#include "sensor/OptionStyle.h"

#include <QCheckBox>

namespace {

QAbstractButton* makeRateBox(QWidget* parent, int row)
{
    return sensor::makeChoiceBox(parent, sensor::kReportRates[row].button, QRect(100 + 100 * row, 7, 101, 20),
                                 QString::fromLatin1(sensor::kReportRates[row].textB), 11);
}

const sensor::RateStripForm kForm = {"SensorRateB", QSize(820, 38), QRect(0, 0, 100, 31), &makeRateBox,
                                     &sensor::choiceBoxStyle};

} // namespace

SensorRateB::SensorRateB(QWidget* parent)
    : RateStrip(kForm, parent)
{
}
