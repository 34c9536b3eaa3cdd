#include "sensor/DebounceTime.h"

#include "core/DeviceParam.h"
#include "core/ProcessState.h"
#include "sensor/OptionCodes.h"
#include "sensor/OptionForm.h"
#include "sensor/OptionStyle.h"
#include "shell/common/ButtonStyle.h"
#include "shell/common/MyConmboBox.h"

namespace {

// Placeholders until the button page's texts arrive.
QStringList placeholderEntries()
{
    QStringList entries = {QStringLiteral("1ms"), QStringLiteral("0")};
    for (int k = 2; k <= sensor::kDebounceMax; ++k)
        entries << QString::number(k);
    entries[2] = QStringLiteral("2ms");
    return entries;
}

} // namespace

DebounceTime::DebounceTime(QWidget* parent)
    : QFrame(parent)
    , m_folder(sensor::pictureFolder("Buttoninterface"))
{
    sensor::setupOptionFrame(this, "DebounceTime", QSize(164, 37), false);
    m_box = sensor::makeList(this, "Debunce", QRect(0, 0, 141, 34), placeholderEntries());
    m_box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_box->setMinimumSize(131, 34);
    m_box->setMaximumSize(220, 34);
    shell::styleCombo(m_box, m_folder, false);
    m_box->setMaxVisibleItems(5);
    connect(m_box, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &DebounceTime::on_Debunce_currentIndexChanged);
}

DebounceTime::~DebounceTime() = default;

void DebounceTime::SetCurrentIndex(int index)
{
    m_box->setCurrentIndex(index);
}

void DebounceTime::SetItemTexts(int index, const QString& suffix)
{
    m_box->setItemText(index, QString::number(index) + suffix);
}

void DebounceTime::on_Debunce_currentIndexChanged(int index)
{
    if (DeviceWriteReady == 0)
        return;
    // No entry selected (a device value above 20): the mouse keeps its value.
    const int value = sensor::debounceValue(index);
    if (value >= 0)
        SetDebounceTime(quint8(value));
}
