#include "sensor/StopCloseTime.h"

#include "core/DeviceParam.h"
#include "core/ProcessState.h"
#include "sensor/OptionForm.h"
#include "sensor/OptionStyle.h"
#include "shell/common/ButtonStyle.h"
#include "shell/common/MyConmboBox.h"

#include <QSignalBlocker>

namespace {

const char* const kDefaultTexts[sensor::kSleepTimes] = {"10秒",   "30秒",   "1分钟",  "5分钟",
                                                         "10分钟", "15分钟", "20分钟", "25分钟",
                                                         "30分钟", "35分钟", "40分钟"};

QStringList defaultEntries()
{
    QStringList entries;
    for (const char* text : kDefaultTexts)
        entries << QString::fromUtf8(text);
    return entries;
}

} // namespace

StopCloseTime::StopCloseTime(QWidget* parent)
    : QFrame(parent)
    , m_folder(sensor::pictureFolder("Light"))
{
    sensor::setupOptionFrame(this, "StopCloseTime", QSize(145, 34), false);
    m_box = sensor::makeList(this, "StopClose", QRect(0, 0, 131, 34), defaultEntries());
    m_box->setMinimumSize(131, 34);
    m_box->setMaximumSize(220, 34);
    m_box->setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
    shell::styleCombo(m_box, m_folder, false);
    m_box->setMaxVisibleItems(15);
    connect(m_box, QOverload<int>::of(&QComboBox::activated), this, &StopCloseTime::on_StopClose_activated);
}

StopCloseTime::~StopCloseTime() = default;

void StopCloseTime::SetCurrentIndex(int index)
{
    const QSignalBlocker quiet(m_box);
    m_box->setCurrentIndex(index);
}

void StopCloseTime::SetItemText(int index, const QString& text)
{
    m_box->setItemText(index, text);
}

void StopCloseTime::on_StopClose_activated(int index)
{
    if (DeviceWriteReady == 0)
        return;
    const int value = sensor::sleepTimeValue(index);
    // The button page's refill owns the sleep time while it runs.
    if (value < 0 || ButtonPageUpdating != 0)
        return;
    SetSleepTime(quint8(value));
}
