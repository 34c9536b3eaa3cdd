#include "core/KeyTable.h"

#include <QVector>

#include <array>

namespace core {
namespace {

constexpr quint8 kKeypadEnterUsage = 0x58;
constexpr quint32 kComboDelayMs = 10;
constexpr int kSpaceVirtualKey = 0x20;

struct KeyRow {
    QString name;
    quint8 usage;
    int virtualKey;  // 0: the capture dialogs have no row for it
};

struct FixedRow {
    const char* name;  // UTF-8
    quint8 usage;
    int virtualKey;
};

// Keys that are not part of a run of letters, digits or function keys.
constexpr FixedRow kFixedRows[] = {
    {"Enter", 0x28, 13},      {"Esc", 0x29, 27},        {"BackSpace", 0x2A, 8},   {"Tab", 0x2B, 9},
    {"Space", 0x2C, 0},       {"-", 0x2D, 189},         {"=", 0x2E, 187},         {"[", 0x2F, 219},
    {"]", 0x30, 221},         {"\\", 0x31, 220},        {";", 0x33, 186},         {"'", 0x34, 222},
    {"`", 0x35, 192},         {",", 0x36, 188},         {".", 0x37, 190},         {"/", 0x38, 191},
    {"CapsLock", 0x39, 20},   {"Screen", 0x46, 44},     {"Scroll", 0x47, 145},    {"Pause", 0x48, 19},
    {"Insert", 0x49, 45},     {"Home", 0x4A, 36},       {"PgUp", 0x4B, 33},       {"Del", 0x4C, 46},
    {"End", 0x4D, 35},        {"PgDn", 0x4E, 34},       {"\u2192", 0x4F, 39},     {"\u2190", 0x50, 37},
    {"\u2193", 0x51, 40},     {"\u2191", 0x52, 38},     {"NumLock", 0x53, 144},   {"Num/", 0x54, 111},
    {"Num*", 0x55, 106},      {"Num-", 0x56, 109},      {"Num+", 0x57, 107},      {"Num0", 0x62, 96},
    {"Num.", 0x63, 110},      {"APPs", 0x65, 93},       {"", 0x00, 12},
};

struct ModifierRow {
    const char* name;
    quint8 bit;
    int virtualKey;
};

constexpr ModifierRow kShortModifiers[] = {
    {"Ctrl", 0x01, 0}, {"Shift", 0x02, 0}, {"Alt", 0x04, 0}, {"Win", 0x08, 0},
};

constexpr ModifierRow kSideModifiers[] = {
    {"LCtrl", 0x01, 162}, {"LShift", 0x02, 160}, {"LAlt", 0x04, 164}, {"LWin", 0x08, 91},
    {"RCtrl", 0x10, 163}, {"RShift", 0x20, 161}, {"RAlt", 0x40, 165}, {"RWin", 0x80, 92},
};

QVector<KeyRow> makeKeyRows()
{
    QVector<KeyRow> rows;
    for (int i = 0; i < 26; ++i)
        rows.append({QString(QChar('A' + i)), quint8(0x04 + i), 65 + i});
    for (int i = 1; i <= 9; ++i)
        rows.append({QString::number(i), quint8(0x1E + i - 1), 48 + i});
    rows.append({QStringLiteral("0"), 0x27, 48});
    for (int i = 1; i <= 12; ++i)
        rows.append({QStringLiteral("F%1").arg(i), quint8(0x3A + i - 1), 112 + i - 1});
    for (int i = 1; i <= 9; ++i)
        rows.append({QStringLiteral("Num%1").arg(i), quint8(0x59 + i - 1), 97 + i - 1});
    for (const FixedRow& row : kFixedRows)
        rows.append({QString::fromUtf8(row.name), row.usage, row.virtualKey});
    return rows;
}

const QVector<KeyRow>& keyRows()
{
    static const QVector<KeyRow> rows = makeKeyRows();
    return rows;
}

template <typename Rows>
std::optional<quint8> findModifier(const Rows& rows, const QString& name)
{
    for (const ModifierRow& row : rows) {
        if (name == QLatin1String(row.name))
            return row.bit;
    }
    return std::nullopt;
}

void setEvent(KeyEvent& event, quint8 release, quint8 type, quint16 code, quint32 delay)
{
    event.Release = release;
    event.EventType = type;
    event.Code = code;
    event.DelayMs = delay;
}

} // namespace

std::optional<quint8> KeyUsageFromName(const QString& name)
{
    for (const KeyRow& row : keyRows()) {
        if (row.name == name)
            return row.usage;
    }
    return std::nullopt;
}

QString KeyRowName(const QString& text)
{
    if (text.isEmpty())
        return QString();
    for (const KeyRow& row : keyRows()) {
        if (row.name.compare(text, Qt::CaseInsensitive) == 0)
            return row.name;
    }
    return QString();
}

std::optional<quint8> SideModifierBitFromName(const QString& name)
{
    return findModifier(kSideModifiers, name);
}

QStringList KeyRowNames()
{
    QStringList names;
    for (const KeyRow& row : keyRows())
        names.append(row.name);
    return names;
}

QStringList SideModifierNames()
{
    QStringList names;
    for (const ModifierRow& row : kSideModifiers)
        names.append(QLatin1String(row.name));
    return names;
}

std::optional<quint8> ModifierBitFromName(const QString& name)
{
    return findModifier(kShortModifiers, name);
}

QString KeyNameFromCode(int code, int kind)
{
    if (code == 0)
        return QString();
    switch (code) {
    case 0x04: case 0x08: case 0x10: case 0x20: case 0x40:
        if (kind == KeyEventModifier) {
            // Right-hand bits read as the short name of the same modifier.
            const int leftBit = code >= 0x10 ? code >> 4 : code;
            for (const ModifierRow& row : kShortModifiers) {
                if (row.bit == leftBit)
                    return QLatin1String(row.name);
            }
        }
        if (kind != KeyEventKeyboard)
            return QString();
        break;
    case 0x01: return QStringLiteral("Ctrl");
    case 0x02: return QStringLiteral("Shift");
    case 0x80: return QStringLiteral("Win");
    default: break;
    }
    const int usage = code == kKeypadEnterUsage ? 0x28 : code;
    for (const KeyRow& row : keyRows()) {
        if (row.usage == usage)
            return row.name;
    }
    return QString();
}

QStringList SplitKeyCombo(const QString& text)
{
    const QString numPlus = QStringLiteral("Num+");
    QStringList names;
    int pos = 0;
    for (;;) {
        if (text.midRef(pos).startsWith(numPlus)) {
            names.append(numPlus);
            pos += numPlus.size();
            if (pos >= text.size())
                return names;
            // The separator after "Num+". A hand-written "Num+B" has none:
            // the next name then starts right here rather than losing its
            // first character.
            if (text.at(pos) == QLatin1Char('+'))
                ++pos;
            continue;
        }
        const int plus = text.indexOf(QLatin1Char('+'), pos);
        if (plus < 0) {
            names.append(text.mid(pos));
            return names;
        }
        names.append(text.mid(pos, plus - pos));
        pos = plus + 1;
    }
}

KeyRecord EncodeComboKey(const QString& name, int index, int count, KeyRecord record)
{
    if (count < 1 || count > kMaxComboKeys || index < 0 || index >= count)
        return record;
    KeyEvent& press = record.Events[index];
    KeyEvent& release = record.Events[2 * count - 1 - index];
    quint8 type = KeyEventKeyboard;
    quint16 code = press.Code;
    if (const auto usage = KeyUsageFromName(name)) {
        code = *usage;
    } else if (const auto bit = ModifierBitFromName(name)) {
        type = KeyEventModifier;
        code = *bit;
    }
    setEvent(press, 0, type, code, kComboDelayMs);
    setEvent(release, 1, type, code, kComboDelayMs);
    return record;
}

KeyRecord BuildKeyCombo(const QString& text)
{
    const QStringList names = SplitKeyCombo(text).mid(0, kMaxComboKeys);
    KeyRecord record{};
    for (int i = 0; i < names.size(); ++i)
        record = EncodeComboKey(names.at(i), i, names.size(), record);
    record.EventCount = quint8(2 * names.size());
    return record;
}

KeyRecord MakeConsumerKeyRecord(quint8 high, quint8 low)
{
    KeyRecord record{};
    const quint16 usage = quint16(high << 8 | low);
    record.EventCount = 2;
    setEvent(record.Events[0], 0, KeyEventConsumer, usage, kComboDelayMs);
    setEvent(record.Events[1], 1, KeyEventConsumer, usage, kComboDelayMs);
    return record;
}

void EncodeMacroKey(const QString& name, int index, MacroRecord& record, const QStringList& mouseButtonNames)
{
    if (index < 0 || index >= kMacroRecordEvents)
        return;
    KeyEvent& event = record.Events[index];
    if (const auto usage = KeyUsageFromName(name)) {
        event.EventType = KeyEventKeyboard;
        event.Code = *usage;
    } else if (const auto bit = SideModifierBitFromName(name)) {
        event.EventType = KeyEventModifier;
        event.Code = *bit;
    } else if (const int button = mouseButtonNames.mid(0, 5).indexOf(name); button >= 0) {
        event.EventType = KeyEventMouse;
        event.Code = quint16(1 << button);
    } else {
        event.EventType = KeyEventKeyboard;
    }
}

QString VirtualKeyName(int virtualKey, CaptureTable table)
{
    return FindVirtualKeyName(virtualKey, table).value_or(QString());
}

std::optional<QString> FindVirtualKeyName(int virtualKey, CaptureTable table)
{
    if (virtualKey <= 0)
        return std::nullopt;
    if (table == CaptureTable::Recording && virtualKey == kSpaceVirtualKey)
        return QStringLiteral("Space");
    for (const KeyRow& row : keyRows()) {
        if (row.virtualKey == virtualKey)
            return row.name;
    }
    if (table != CaptureTable::Combination) {
        for (const ModifierRow& row : kSideModifiers) {
            if (row.virtualKey == virtualKey)
                return QString::fromLatin1(row.name);
        }
    }
    return std::nullopt;
}

} // namespace core
