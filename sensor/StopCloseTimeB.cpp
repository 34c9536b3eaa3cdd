#include "sensor/StopCloseTimeB.h"

#include "core/DeviceParam.h"
#include "core/ProcessState.h"
#include "sensor/OptionForm.h"
#include "sensor/OptionStyle.h"

#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

StopCloseTimeB::StopCloseTimeB(QWidget* parent)
    : QFrame(parent)
    , m_folder(sensor::pictureFolder("Sensor"))
{
    sensor::setupOptionFrame(this, "StopCloseTimeB", QSize(277, 28), false);
    m_slider = sensor::makeLevelSlider(this, "StopClose", QRect(0, 5, 201, 20), 1, sensor::kSleepTimes);
    m_number = sensor::makeNumberBox(this, "spinBoxA", QRect(205, 5, 66, 20), 10, 1, 100);
    m_number->setStyleSheet(sensor::numberBoxStyle("LinEditColorSecond", true));
    m_slider->setStyleSheet(sensor::sliderStyle(m_folder));
    connect(m_slider, &QSlider::sliderMoved, this, &StopCloseTimeB::on_StopClose_sliderMoved);
    connect(m_slider, &QSlider::valueChanged, this, &StopCloseTimeB::on_StopClose_valueChanged);
}

StopCloseTimeB::~StopCloseTimeB() = default;

int StopCloseTimeB::ShownNumber(int position)
{
    return sensor::sleepShownAt(position).number;
}

void StopCloseTimeB::SetCurrentIndex(int index)
{
    const QSignalBlocker quiet(m_slider);
    m_slider->setValue(index + 1);
    showPosition(m_slider->value());
}

void StopCloseTimeB::SetItemText(int index, const QString& text)
{
    if (index == 0)
        SecondsSuffix = QString(text).remove(QStringLiteral("10"));
    else if (index == 5)
        MinutesSuffix = QString(text).remove(QStringLiteral("15"));
    else
        return;
    showPosition(m_slider->value());
}

void StopCloseTimeB::on_StopClose_sliderMoved(int position)
{
    showPosition(position);
}

void StopCloseTimeB::on_StopClose_valueChanged(int value)
{
    showPosition(value);
    if (DeviceWriteReady == 0)
        return;
    const int sleep = sensor::sleepTimeValue(value - 1);
    // The lighting page's refill owns the sleep time while it runs.
    if (sleep >= 0 && LightPageUpdating == 0)
        SetSleepTime(quint8(sleep));
}

void StopCloseTimeB::showPosition(int position)
{
    const sensor::SleepShown shown = sensor::sleepShownAt(position);
    m_number->setSuffix(shown.minutes ? MinutesSuffix : SecondsSuffix);
    m_number->setValue(shown.number);
}
