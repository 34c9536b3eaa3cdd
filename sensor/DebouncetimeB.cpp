#include "sensor/DebouncetimeB.h"

#include "core/DeviceParam.h"
#include "core/ProcessState.h"
#include "sensor/OptionCodes.h"
#include "sensor/OptionForm.h"
#include "sensor/OptionStyle.h"

#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

DebouncetimeB::DebouncetimeB(QWidget* parent)
    : QFrame(parent)
    , m_folder(sensor::pictureFolder("Sensor"))
{
    sensor::setupOptionFrame(this, "DebouncetimeB", QSize(280, 27), false);
    m_slider = sensor::makeLevelSlider(this, "Debunce", QRect(0, 5, 201, 20), 1, sensor::kDebounceMax);
    m_number = sensor::makeNumberBox(this, "spinBoxA", QRect(210, 5, 66, 20), 10, 1, sensor::kDebounceMax);
    m_number->setStyleSheet(sensor::numberBoxStyle("LinEditColorSecond", true));
    m_slider->setStyleSheet(sensor::sliderStyle(m_folder));
    connect(m_slider, &QSlider::sliderMoved, this, &DebouncetimeB::on_Debunce_sliderMoved);
    connect(m_slider, &QSlider::valueChanged, this, &DebouncetimeB::on_Debunce_valueChanged);
}

DebouncetimeB::~DebouncetimeB() = default;

void DebouncetimeB::SetValue(int value)
{
    const QSignalBlocker quiet(m_slider);
    m_slider->setValue(value);
    m_number->setValue(value);
}

void DebouncetimeB::SetSuffix(const QString& suffix)
{
    m_number->setSuffix(suffix);
}

void DebouncetimeB::on_Debunce_sliderMoved(int position)
{
    m_number->setValue(position);
}

void DebouncetimeB::on_Debunce_valueChanged(int value)
{
    m_number->setValue(value);
    if (DeviceWriteReady != 0)
        SetDebounceTime(quint8(value));
}
