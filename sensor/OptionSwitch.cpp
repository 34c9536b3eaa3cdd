#include "sensor/OptionSwitch.h"

#include "core/ProcessState.h"
#include "sensor/OptionForm.h"
#include "sensor/OptionStyle.h"

#include <QLabel>
#include <QToolButton>

namespace sensor {

OptionSwitch::OptionSwitch(const SwitchRow& row, QWidget* parent)
    : QFrame(parent)
    , m_row(row)
    , m_folder(pictureFolder("Sensor"))
{
    buildForm();
    m_caption->setStyleSheet(labelStyle());
    m_toggle->setStyleSheet(switchStyle(QString::fromLatin1(m_row.toggle), m_folder));
}

OptionSwitch::~OptionSwitch() = default;

void OptionSwitch::buildForm()
{
    setupOptionFrame(this, m_row.frame, QSize(204, 31), true);
    const QPoint togglePlace = m_row.captionFirst ? QPoint(165, 0) : QPoint(0, 0);
    const QRect captionRect = m_row.captionFirst ? QRect(0, 0, 161, 31) : QRect(40, 0, 161, 31);
    m_toggle = makeToolButton(this, m_row.toggle, QRect(togglePlace, QSize(36, 18)));
    m_toggle->setCheckable(true);
    m_toggle->setAutoRaise(false);
    const Qt::Alignment side = m_row.captionFirst ? Qt::AlignRight : Qt::AlignLeft;
    m_caption = makeCaption(this, "label", captionRect, QString::fromUtf8(m_row.caption), side | Qt::AlignTop);
}

void OptionSwitch::SetChecked(bool checked)
{
    m_toggle->setChecked(checked);
}

void OptionSwitch::SetLabelText(const QString& text)
{
    m_caption->setText(text);
}

void OptionSwitch::SetToolTipText(const QString& text)
{
    m_caption->setToolTip(text);
}

void OptionSwitch::sendState(bool checked)
{
    if (DeviceWriteReady == 0)
        return;
    m_row.setter(checked ? 1 : 0);
}

} // namespace sensor
