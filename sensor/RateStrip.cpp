#include "sensor/RateStrip.h"

#include "core/DeviceParam.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "sensor/OptionForm.h"
#include "sensor/OptionStyle.h"
#include "shell/common/PictureCheck.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>

namespace sensor {

RateStrip::RateStrip(const RateStripForm& form, QWidget* parent)
    : QFrame(parent)
    , m_folder(pictureFolder("Sensor"))
{
    setupOptionFrame(this, form.frame, form.size, false);
    m_caption = makeCaption(this, "label", form.caption, QStringLiteral("回报率"));
    m_caption->setStyleSheet(labelStyle());
    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);
    const QString style = shell::pictureSheet(form.buttonStyle(m_folder));
    for (int row = 0; row < kReportRateCount; ++row) {
        m_buttons[row] = form.makeButton(this, row);
        m_buttons[row]->setStyleSheet(style);
        m_group->addButton(m_buttons[row]);
        connect(m_buttons[row], &QAbstractButton::clicked, this,
                [this, row](bool checked) { rateClicked(row, checked); });
    }
}

RateStrip::~RateStrip() = default;

void RateStrip::SetButtonsShown(int rateClass)
{
    if (rateClass < 0 || rateClass >= kRateClassCount)
        return;
    for (int row = kFirstUpperRate; row < kReportRateCount; ++row)
        m_buttons[row]->setVisible(rateClassShows(rateClass, row));
}

void RateStrip::SetLabelText(const QString& text)
{
    m_caption->setText(text);
}

void RateStrip::rateClicked(int row, bool checked)
{
    if (!checked || DeviceWriteReady == 0)
        return;
    if (!SetReportRate(kReportRates[row].code))
        return;
    PostMsg::instance()->EmitHideModel(kReportRates[row].hideModel);
}

} // namespace sensor
