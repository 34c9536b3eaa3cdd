#include "sensor/SensorLOD.h"

#include "core/DeviceParam.h"
#include "core/ProcessState.h"
#include "sensor/OptionForm.h"
#include "sensor/OptionStyle.h"
#include "shell/common/ButtonStyle.h"
#include "shell/common/MyConmboBox.h"

#include <QLabel>

SensorLOD::SensorLOD(QWidget* parent)
    : QFrame(parent)
    , m_folder(sensor::pictureFolder("Sensor"))
{
    sensor::setupOptionFrame(this, "SensorLOD", QSize(131, 61), true);
    m_caption = sensor::makeCaption(this, "label", QRect(0, 0, 151, 17), QStringLiteral(" LOD"));
    m_box = sensor::makeList(this, "LOD", QRect(0, 30, 130, 30), {QStringLiteral("1mm"), QStringLiteral("2mm")});
    m_box->setMinimumSize(0, 0);
    m_box->setMaximumSize(130, 30);
    m_box->setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
    m_box->setEnabled(false);

    m_caption->setStyleSheet(sensor::labelStyle());
    shell::styleCombo(m_box, m_folder, true);
    connect(m_box, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &SensorLOD::on_LOD_currentIndexChanged);
}

SensorLOD::~SensorLOD() = default;

void SensorLOD::AddLowLOD()
{
    if (m_box->count() == 2)
        m_box->insertItem(0, QStringLiteral("0.7mm"));
}

void SensorLOD::RemoveLowLOD()
{
    if (m_box->count() == 3)
        m_box->removeItem(0);
}

void SensorLOD::SetEnabled(bool enabled)
{
    m_box->setEnabled(enabled);
}

void SensorLOD::SetLOD(int v)
{
    const int entry = sensor::liftOffEntryFor(m_box->count(), v);
    if (entry != sensor::kKeepSelection)
        m_box->setCurrentIndex(entry);
}

void SensorLOD::SetLabelText(const QString& text)
{
    m_caption->setText(text);
}

void SensorLOD::SetToolTipText(const QString& text)
{
    m_caption->setToolTip(text);
}

void SensorLOD::on_LOD_currentIndexChanged(int index)
{
    if (DeviceWriteReady == 0 || SensorPageUpdating != 0)
        return;
    // An emptied selection (a device value this list has no entry for) is
    // not a choice of the user: sending it would overwrite the device's value.
    const int code = sensor::liftOffCode(m_box->count(), index);
    if (code >= 0)
        SetLiftOffDistance(quint8(code));
}
