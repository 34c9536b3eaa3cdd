#include "buttons/ButtonLabels.h"

#include "core/KeyTable.h"

#include <QStringList>

#include <iterator>

namespace buttons {

namespace {

constexpr const char* kSelectors[] = {"FireKey", "RightKey", "BackKey", "TopMusic", "StartPause", "BackMusic"};

struct CodeRow {
    int type;
    int param1;  // -1: any
    LabelKind kind;
    const char* widget;
};
constexpr CodeRow kCodes[] = {
    {0, -1, LabelKind::Widget, "DPI_5"},        {1, 1, LabelKind::Widget, "LeftKey_3"},
    {1, 2, LabelKind::Widget, "RightKey_3"},    {1, 4, LabelKind::Widget, "MidKey"},
    {1, 8, LabelKind::Widget, "BackKey_2"},     {1, 16, LabelKind::Widget, "ForWardKey"},
    {2, 1, LabelKind::Widget, "VolumeUp_8"},    {2, 2, LabelKind::Widget, "VolumeUp_9"},
    {2, 3, LabelKind::Widget, "VolumeUp_10"},   {3, 1, LabelKind::Widget, "VolumeUp_2"},
    {3, 2, LabelKind::Widget, "VolumeDown_2"},  {4, -1, LabelKind::Widget, "DPI_6"},
    {5, -1, LabelKind::Keys, nullptr},          {6, -1, LabelKind::Macro, nullptr},
    {7, -1, LabelKind::Widget, "DPI_2"},        {8, 0, LabelKind::Widget, "VolumeUp_4"},
    {8, 1, LabelKind::Widget, "VolumeUp_5"},    {8, 3, LabelKind::Widget, "VolumeUp_6"},
    {8, 4, LabelKind::Widget, "VolumeUp_7"},    {9, -1, LabelKind::Widget, "DPI_3"},
    {10, -1, LabelKind::DpiLock, nullptr},      {11, 1, LabelKind::Widget, "VolumeUp_14"},
    {11, 2, LabelKind::Widget, "VolumeDown_14"},
};

} // namespace

const char* selectorOfSlot(int slot)
{
    return slot >= 0 && slot < int(std::size(kSelectors)) ? kSelectors[slot] : nullptr;
}

LabelRule labelRule(int type, int param1)
{
    for (const CodeRow& row : kCodes) {
        if (row.type == type && (row.param1 < 0 || row.param1 == param1))
            return {row.kind, row.widget};
    }
    return {};
}

int consumerIndex(int key)
{
    for (int i = 0; i < int(std::size(kConsumerKeys)); ++i) {
        if ((kConsumerKeys[i].usage & 0xFF) == (key & 0xFF))
            return i;
    }
    return -1;
}

const char* consumerButton(int usageLowByte)
{
    const int index = consumerIndex(usageLowByte);
    return index < 0 ? nullptr : kConsumerKeys[index].button;
}

QString comboLabel(const KeyRecord& record)
{
    const int keys = KeyRecordEventCount(record) / 2;
    QStringList names;
    for (int k = 0; k < keys; ++k) {
        const KeyEvent& event = record.Events[k];
        names << core::KeyNameFromCode(quint16(event.Code) & 0xFF, event.EventType);
    }
    return names.join(QLatin1Char('+'));
}

QByteArray macroRecordName(const MacroRecord& record)
{
    const QByteArray bytes(record.Name, kMacroNameBytes);
    const int end = bytes.indexOf('\0');
    return end < 0 ? bytes : bytes.left(end);
}

int slotCount(const QString& keyNumber)
{
    bool ok = false;
    const int n = keyNumber.trimmed().toInt(&ok, 10);
    if (!ok || n <= 0)
        return 0;
    return qMin(n, kButtonSlots);
}

} // namespace buttons
