#include "sensor/DebouncetimeC.h"

#include "core/DeviceParam.h"
#include "core/ProcessState.h"
#include "sensor/OptionCodes.h"
#include "sensor/OptionForm.h"
#include "sensor/OptionStyle.h"

#include <QSpinBox>
#include <QToolButton>

DebouncetimeC::DebouncetimeC(QWidget* parent)
    : QFrame(parent)
    , m_folder(sensor::pictureFolder("Sensor"))
{
    sensor::setupOptionFrame(this, "DebouncetimeC", QSize(165, 37), true);
    m_add = sensor::makeToolButton(this, "AddLevelA", QRect(140, 15, 14, 14));
    m_add->setAutoRaise(true);
    m_reduce = sensor::makeToolButton(this, "ReduceLevelA", QRect(20, 22, 14, 4));
    m_reduce->setMaximumSize(14, 1);
    m_reduce->setAutoRaise(true);
    m_reduce->setText(QStringLiteral("..."));
    m_number = sensor::makeNumberBox(this, "spinBoxA", QRect(40, 5, 91, 31), 10, 0, sensor::kDebounceMax);

    m_number->setStyleSheet(sensor::numberBoxStyle("LinEditColorSecond", true));
    m_reduce->setStyleSheet(sensor::pictureButtonStyle(QStringLiteral("ReduceLevelA"), m_folder, "Reduce.png", "ReduceHover.png"));
    m_add->setStyleSheet(sensor::pictureButtonStyle(QStringLiteral("AddLevelA"), m_folder, "Add.png", "AddHover.png"));
    connect(m_add, &QToolButton::clicked, this, &DebouncetimeC::on_AddLevelA_clicked);
    connect(m_reduce, &QToolButton::clicked, this, &DebouncetimeC::on_ReduceLevelA_clicked);
}

DebouncetimeC::~DebouncetimeC() = default;

void DebouncetimeC::SetValue(int value)
{
    m_number->setValue(value);
}

void DebouncetimeC::SetSuffix(const QString& suffix)
{
    m_number->setSuffix(suffix);
}

void DebouncetimeC::on_AddLevelA_clicked()
{
    if (m_number->value() == sensor::kDebounceMax)
        return;
    m_number->stepUp();
    sendShown();
}

// The minus button stops at 1, the lowest value it offers; from the initial
// 0 it stays at 0 and sends that.
void DebouncetimeC::on_ReduceLevelA_clicked()
{
    if (m_number->value() == 1)
        return;
    m_number->stepDown();
    sendShown();
}

void DebouncetimeC::sendShown()
{
    if (DeviceWriteReady != 0)
        SetDebounceTime(quint8(m_number->value()));
}
