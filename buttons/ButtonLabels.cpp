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

struct ConsumerRow {
    int usage;
    const char* button;
};
constexpr ConsumerRow kConsumer[] = {
    {0x183, "Player"},        {0xCD, "StartPause_2"},   {0xB5, "BackMusic_2"},   {0xB6, "TopMusic_2"},
    {0xB7, "Mute"},           {0xE2, "VolumeUp"},       {0xE9, "VolumeDown"},    {0xEA, "VolumeDown_4"},
    {0x18A, "VolumeDown_5"},  {0x192, "VolumeDown_6"},  {0x194, "VolumeDown_3"}, {0x221, "VolumeDown_9"},
    {0x223, "VolumeDown_8"},  {0x224, "VolumeDown_10"}, {0x225, "VolumeDown_7"}, {0x226, "VolumeDown_12"},
    {0x227, "VolumeDown_13"}, {0x22A, "VolumeDown_11"},
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

const char* consumerButton(int usageLowByte)
{
    for (const ConsumerRow& row : kConsumer) {
        if ((row.usage & 0xFF) == (usageLowByte & 0xFF))
            return row.button;
    }
    return nullptr;
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
