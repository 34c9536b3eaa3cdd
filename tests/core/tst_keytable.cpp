#include "core/KeyTable.h"

#include <QtTest>

#include <cstring>

using namespace core;

namespace {

QByteArray bytesOf(const KeyRecord& record)
{
    return QByteArray(reinterpret_cast<const char*>(&record), sizeof(record));
}

QByteArray bytesOf(const MacroRecord& record)
{
    return QByteArray(reinterpret_cast<const char*>(&record), sizeof(record));
}

// One event as 8 bytes of hex: release, type, code (LE), delay (LE).
QByteArray eventHex(int release, int type, int code, int delay = 10)
{
    QByteArray out;
    out.append(char(release)).append(char(type));
    out.append(char(code & 0xFF)).append(char(code >> 8));
    out.append(char(delay & 0xFF)).append(char(delay >> 8)).append(char(delay >> 16)).append(char(delay >> 24));
    return out;
}

QByteArray recordBytes(int count, const QList<QByteArray>& events)
{
    QByteArray out(4, '\0');
    out[0] = char(count);
    for (const QByteArray& e : events)
        out += e;
    out.append(QByteArray(52 - out.size(), '\0'));
    return out;
}

} // namespace

class TestKeyTable : public QObject
{
    Q_OBJECT

private slots:
    void ctrlShiftAIsByteExact();
    void comboTexts_data();
    void comboTexts();
    void moreThanThreeKeysStayInsideTheRecord();
    void numPlusIsOneKey();
    void keyNameFromCode_data();
    void keyNameFromCode();
    void consumerRecordIsByteExact();
    void macroKeyEncoding();
    void macroKeyIndexOutsideRecordChangesNothing();
    void virtualKeyNames_data();
    void virtualKeyNames();
    void everyCapturedNameCanBeStored();
};

void TestKeyTable::ctrlShiftAIsByteExact()
{
    const QByteArray expected = QByteArray::fromHex(
        "06000000"
        "000001000a000000"
        "000002000a000000"
        "000104000a000000"
        "010104000a000000"
        "010002000a000000"
        "010001000a000000"
        "0000000000000000000000000000000000000000000000000000000000000000"
        "0000000000000000000000000000000000000000000000000000000000000000"
        "").left(52);
    QCOMPARE(expected.size(), 52);
    QCOMPARE(bytesOf(BuildKeyCombo(QStringLiteral("Ctrl+Shift+A"))).toHex(), expected.toHex());
}

void TestKeyTable::comboTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("F is usage 0x09") << "F" << recordBytes(2, {eventHex(0, 1, 0x09), eventHex(1, 1, 0x09)});
    QTest::newRow("empty text is one empty key") << "" << recordBytes(2, {eventHex(0, 1, 0), eventHex(1, 1, 0)});
    QTest::newRow("empty middle part")
        << "A++B"
        << recordBytes(6, {eventHex(0, 1, 0x04), eventHex(0, 1, 0), eventHex(0, 1, 0x05), eventHex(1, 1, 0x05),
                           eventHex(1, 1, 0), eventHex(1, 1, 0x04)});
    QTest::newRow("Enter") << "Enter" << recordBytes(2, {eventHex(0, 1, 0x28), eventHex(1, 1, 0x28)});
    QTest::newRow("Win and Alt are left bits")
        << "Win+Alt" << recordBytes(4, {eventHex(0, 0, 0x08), eventHex(0, 0, 0x04), eventHex(1, 0, 0x04),
                                        eventHex(1, 0, 0x08)});
    QTest::newRow("side names are not combo names")
        << "LShift" << recordBytes(2, {eventHex(0, 1, 0), eventHex(1, 1, 0)});
    QTest::newRow("Space and arrows")
        << QString::fromUtf8("Space+\u2191")
        << recordBytes(4, {eventHex(0, 1, 0x2C), eventHex(0, 1, 0x52), eventHex(1, 1, 0x52), eventHex(1, 1, 0x2C)});
    QTest::newRow("names are case-sensitive") << "ctrl" << recordBytes(2, {eventHex(0, 1, 0), eventHex(1, 1, 0)});
}

void TestKeyTable::comboTexts()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(bytesOf(BuildKeyCombo(text)).toHex(), expected.toHex());
}

void TestKeyTable::moreThanThreeKeysStayInsideTheRecord()
{
    // A default combination from the device table may list more keys than a
    // record holds: the first three are kept and the record stays whole.
    FlashDataMap image{};
    std::memset(&image.KeyRecords[1], 0xAB, sizeof(KeyRecord));
    image.KeyRecords[0] = BuildKeyCombo(QStringLiteral("Ctrl+Shift+Alt+Win+A"));
    const QByteArray expected =
        recordBytes(6, {eventHex(0, 0, 0x01), eventHex(0, 0, 0x02), eventHex(0, 0, 0x04), eventHex(1, 0, 0x04),
                        eventHex(1, 0, 0x02), eventHex(1, 0, 0x01)});
    QCOMPARE(bytesOf(image.KeyRecords[0]).toHex(), expected.toHex());
    QCOMPARE(bytesOf(image.KeyRecords[1]), QByteArray(int(sizeof(KeyRecord)), char(0xAB)));

    // Writing a key beyond the record's room is refused, not written.
    KeyRecord record{};
    QCOMPARE(bytesOf(EncodeComboKey(QStringLiteral("A"), 3, 4, record)), bytesOf(record));
    QCOMPARE(bytesOf(EncodeComboKey(QStringLiteral("A"), -1, 2, record)), bytesOf(record));
}

void TestKeyTable::numPlusIsOneKey()
{
    QCOMPARE(SplitKeyCombo(QStringLiteral("A+Num+")), QStringList({"A", "Num+"}));
    QCOMPARE(SplitKeyCombo(QStringLiteral("Num++B")), QStringList({"Num+", "B"}));
    QCOMPARE(SplitKeyCombo(QStringLiteral("Num+")), QStringList({"Num+"}));
    QCOMPARE(SplitKeyCombo(QStringLiteral("A++B")), QStringList({"A", "", "B"}));
    // Written without a second "+" (a hand-edited default): no name loses a character.
    QCOMPARE(SplitKeyCombo(QStringLiteral("A+Num+B")), QStringList({"A", "Num+", "B"}));
    QCOMPARE(SplitKeyCombo(QStringLiteral("Num+Del")), QStringList({"Num+", "Del"}));
    QCOMPARE(SplitKeyCombo(QStringLiteral("Num++")), QStringList({"Num+", ""}));
    QCOMPARE(bytesOf(BuildKeyCombo(QStringLiteral("Shift+Num+"))).toHex(),
             recordBytes(4, {eventHex(0, 0, 0x02), eventHex(0, 1, 0x57), eventHex(1, 1, 0x57), eventHex(1, 0, 0x02)})
                 .toHex());
}

void TestKeyTable::keyNameFromCode_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::newRow("0x10 modifier") << 0x10 << 0 << "Ctrl";
    QTest::newRow("0x10 key") << 0x10 << 1 << "M";
    QTest::newRow("0x04 modifier") << 0x04 << 0 << "Alt";
    QTest::newRow("0x04 key") << 0x04 << 1 << "A";
    QTest::newRow("0x04 consumer kind") << 0x04 << 2 << "";
    QTest::newRow("0x08 modifier") << 0x08 << 0 << "Win";
    QTest::newRow("0x08 key") << 0x08 << 1 << "E";
    QTest::newRow("0x20 modifier") << 0x20 << 0 << "Shift";
    QTest::newRow("0x20 key") << 0x20 << 1 << "3";
    QTest::newRow("0x40 modifier") << 0x40 << 0 << "Alt";
    QTest::newRow("0x40 key") << 0x40 << 1 << "F7";
    QTest::newRow("0x01 any kind") << 0x01 << 1 << "Ctrl";
    QTest::newRow("0x02 any kind") << 0x02 << 4 << "Shift";
    QTest::newRow("0x80 any kind") << 0x80 << 1 << "Win";
    QTest::newRow("keypad 3") << 0x5B << 1 << "Num3";
    QTest::newRow("keypad Enter") << 0x58 << 1 << "Enter";
    QTest::newRow("non-US hash") << 0x32 << 1 << "";
    QTest::newRow("space") << 0x2C << 1 << "Space";
    QTest::newRow("backslash") << 0x31 << 1 << "\\";
    QTest::newRow("left arrow") << 0x50 << 1 << QString::fromUtf8("\u2190");
    QTest::newRow("application key") << 0x65 << 1 << "APPs";
    QTest::newRow("above the table") << 0x66 << 1 << "";
    QTest::newRow("zero") << 0 << 0 << "";
    QTest::newRow("key row read with modifier kind") << 0x29 << 0 << "Esc";
}

void TestKeyTable::keyNameFromCode()
{
    QFETCH(int, code);
    QFETCH(int, kind);
    QFETCH(QString, name);
    QCOMPARE(KeyNameFromCode(code, kind), name);
}

void TestKeyTable::consumerRecordIsByteExact()
{
    const QByteArray expected = recordBytes(2, {eventHex(0, 2, 0x01E9), eventHex(1, 2, 0x01E9)});
    QCOMPARE(bytesOf(MakeConsumerKeyRecord(0x01, 0xE9)).toHex(), expected.toHex());
}

void TestKeyTable::macroKeyEncoding()
{
    const QStringList mouse = {"Left", "Right", "Middle", "Back", "Forward"};
    MacroRecord record{};
    record.Events[2].Release = 1;
    record.Events[2].DelayMs = 500;
    record.Events[2].Code = 0x1234;

    EncodeMacroKey(QStringLiteral("Shift"), 2, record, mouse);  // short names are combo-only
    QCOMPARE(int(record.Events[2].EventType), 1);
    QCOMPARE(int(record.Events[2].Code), 0x1234);

    EncodeMacroKey(QStringLiteral("LShift"), 2, record, mouse);
    QCOMPARE(int(record.Events[2].EventType), 0);
    QCOMPARE(int(record.Events[2].Code), 0x02);
    EncodeMacroKey(QStringLiteral("RAlt"), 2, record, mouse);
    QCOMPARE(int(record.Events[2].Code), 0x40);
    EncodeMacroKey(QStringLiteral("RWin"), 2, record, mouse);
    QCOMPARE(int(record.Events[2].Code), 0x80);

    EncodeMacroKey(QStringLiteral("Forward"), 2, record, mouse);
    QCOMPARE(int(record.Events[2].EventType), 4);
    QCOMPARE(int(record.Events[2].Code), 16);
    EncodeMacroKey(QStringLiteral("Middle"), 2, record, mouse);
    QCOMPARE(int(record.Events[2].Code), 4);

    EncodeMacroKey(QStringLiteral("Num."), 2, record, mouse);
    QCOMPARE(int(record.Events[2].EventType), 1);
    QCOMPARE(int(record.Events[2].Code), 0x63);
    EncodeMacroKey(QString(), 2, record, mouse);
    QCOMPARE(int(record.Events[2].Code), 0);

    // Release flag and delay belong to the caller.
    QCOMPARE(int(record.Events[2].Release), 1);
    QCOMPARE(quint32(record.Events[2].DelayMs), 500u);
    QCOMPARE(int(record.Events[1].EventType), 0);
    QCOMPARE(int(record.Events[3].EventType), 0);
}

void TestKeyTable::macroKeyIndexOutsideRecordChangesNothing()
{
    FlashDataMap image{};
    std::memset(&image.MacroRecords[1], 0x5A, sizeof(MacroRecord));
    const QByteArray before = bytesOf(image.MacroRecords[1]);
    EncodeMacroKey(QStringLiteral("A"), kMacroRecordEvents, image.MacroRecords[0], {});
    EncodeMacroKey(QStringLiteral("A"), -1, image.MacroRecords[0], {});
    QCOMPARE(bytesOf(image.MacroRecords[0]), QByteArray(int(sizeof(MacroRecord)), '\0'));
    QCOMPARE(bytesOf(image.MacroRecords[1]), before);
}

void TestKeyTable::virtualKeyNames_data()
{
    QTest::addColumn<int>("virtualKey");
    QTest::addColumn<QString>("combination");
    QTest::addColumn<QString>("singleKey");
    // "(none)": macro recording takes no key row for the code.
    QTest::addColumn<QString>("recording");
    QTest::newRow("A") << 65 << "A" << "A" << "A";
    QTest::newRow("0") << 48 << "0" << "0" << "0";
    QTest::newRow("left shift") << 160 << "" << "LShift" << "LShift";
    QTest::newRow("right shift") << 161 << "" << "RShift" << "RShift";
    QTest::newRow("left alt") << 164 << "" << "LAlt" << "LAlt";
    QTest::newRow("right alt") << 165 << "" << "RAlt" << "RAlt";
    QTest::newRow("right ctrl") << 163 << "" << "RCtrl" << "RCtrl";
    QTest::newRow("left win") << 91 << "" << "LWin" << "LWin";
    QTest::newRow("space bar") << 32 << "" << "" << "Space";
    QTest::newRow("keypad 5 without NumLock") << 12 << "" << "" << "";
    QTest::newRow("keypad plus") << 107 << "Num+" << "Num+" << "Num+";
    QTest::newRow("keypad 0") << 96 << "Num0" << "Num0" << "Num0";
    QTest::newRow("grave") << 192 << "`" << "`" << "`";
    QTest::newRow("F12") << 123 << "F12" << "F12" << "F12";
    QTest::newRow("escape") << 27 << "Esc" << "Esc" << "Esc";
    QTest::newRow("print screen") << 44 << "Screen" << "Screen" << "Screen";
    QTest::newRow("generic shift") << 16 << "" << "" << "(none)";
    QTest::newRow("unknown") << 255 << "" << "" << "(none)";
    QTest::newRow("zero") << 0 << "" << "" << "(none)";
}

void TestKeyTable::virtualKeyNames()
{
    QFETCH(int, virtualKey);
    QFETCH(QString, combination);
    QFETCH(QString, singleKey);
    QCOMPARE(VirtualKeyName(virtualKey, CaptureTable::Combination), combination);
    QCOMPARE(VirtualKeyName(virtualKey, CaptureTable::SingleKey), singleKey);
    QFETCH(QString, recording);
    const auto recorded = FindVirtualKeyName(virtualKey, CaptureTable::Recording);
    QCOMPARE(recorded.value_or(QStringLiteral("(none)")), recording);
}

void TestKeyTable::everyCapturedNameCanBeStored()
{
    // Whatever the capture dialogs show, the button page and the macro editor
    // must be able to turn back into a code.
    for (int vk = 1; vk < 256; ++vk) {
        const QString single = VirtualKeyName(vk, CaptureTable::SingleKey);
        if (!single.isEmpty()) {
            const bool stored = KeyUsageFromName(single) || SideModifierBitFromName(single);
            QVERIFY2(stored, qPrintable(single));
        }
        const QString combo = VirtualKeyName(vk, CaptureTable::Combination);
        if (!combo.isEmpty()) {
            const auto usage = KeyUsageFromName(combo);
            QVERIFY2(usage && *usage != 0, qPrintable(combo));
            QCOMPARE(KeyNameFromCode(*usage, KeyEventKeyboard), combo);
            QCOMPARE(SplitKeyCombo(combo), QStringList{combo});
            // A pasted, upper-cased name finds its key again.
            QCOMPARE(KeyRowName(combo.toUpper()), combo);
        }
    }
}

QTEST_GUILESS_MAIN(TestKeyTable)
#include "tst_keytable.moc"
