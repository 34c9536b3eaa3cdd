#include "core/AppPaths.h"
#include "core/MacroCodec.h"
#include "core/ProcessState.h"

#include <QDataStream>
#include <QFile>
#include <QTextCodec>
#include <QtTest>

#include <cstring>
#include <optional>

using namespace core;
using namespace core::MacroKeyTable;

namespace {

MacroRow key(const char* name, bool release = false)
{
    const auto row = makeKeyRow(QString::fromUtf8(name), release);
    return row ? *row : MacroRow{};
}

QByteArray bytesOf(const MacroRecord& record)
{
    return QByteArray(reinterpret_cast<const char*>(&record), sizeof record);
}

QByteArray exportHeader(const QByteArray& name, const QByteArray& repeat, const QByteArray& count)
{
    return QByteArray::fromHex("0000000c") + QByteArray("Kvelt").leftJustified(12, '\0')
        + QByteArray::fromHex("00000030") + name.leftJustified(48, '\0') + QByteArray::fromHex("0000000c")
        + repeat.leftJustified(12, '\0') + QByteArray::fromHex(count);
}

template <typename... Values>
QByteArray streamOf(const Values&... values)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(17);
    (out << ... << values);
    return bytes;
}

void setMouseNames(const QStringList& names)
{
    LeftButtonName = names.value(0);
    RightButtonName = names.value(1);
    MiddleButtonName = names.value(2);
    BackButtonName = names.value(3);
    ForwardButtonName = names.value(4);
}

const QStringList kMouseNames = {"Left", "Right", "Middle", "Back", "Forward"};

} // namespace

class TestMacroCodec : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void macroFileIsByteExact();
    void macroFileLines_data();
    void macroFileLines();
    void keyTableLookups();
    void everyNameSurvivesItsCodes();
    void recordIsByteExact();
    void recordFromFileAndBack();
    void recordNamesAreCutAndDecodedOneWay();
    void exportIsByteExact();
    void exportRoundTripKeepsRowsAndIcons();
    void iconEntriesAreSteppedOverWithinBounds_data();
    void iconEntriesAreSteppedOverWithinBounds();
    void hostileExportsAreRefusedWhole_data();
    void hostileExportsAreRefusedWhole();
    void unsafeNamesNeverBecomePaths_data();
    void unsafeNamesNeverBecomePaths();
    void oversizedMacrosStayInsideTheRecord();

private:
    QTextCodec* m_localCodec = nullptr;
};

void TestMacroCodec::initTestCase()
{
    m_localCodec = QTextCodec::codecForLocale();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
}

void TestMacroCodec::init()
{
    setMouseNames(kMouseNames);
}

void TestMacroCodec::cleanupTestCase()
{
    QTextCodec::setCodecForLocale(m_localCodec);
}

void TestMacroCodec::macroFileIsByteExact()
{
    const QVector<MacroRow> rows = {key("A"), makeDelayRow(50), key("A", true)};
    const QByteArray text = macroFileText(3, rows);
    QCOMPARE(text, QByteArray("3\n0x04 1 0\n50ms\n0x04 1 1\n"));
    QCOMPARE(text.size(), 25);
    const MacroFileContent back = parseMacroFile(text);
    QCOMPARE(back.repeat, 3);
    QCOMPARE(back.rows, rows);
    QCOMPARE(back.rows.at(2).text, QStringLiteral("A"));
}

// Each file is read and written again; the second column is what is written.
void TestMacroCodec::macroFileLines_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("release flag on a last line without line end")
        << QByteArray("3\n0x04 1 1") << QByteArray("3\n0x04 1 1\n");
    QTest::newRow("CR LF")
        << QByteArray("254\r\n0x2B 1 0\r\n10ms\r\n0x40 0 1\r\n") << QByteArray("254\n0x2B 1 0\n10ms\n0x40 0 1\n");
    QTest::newRow("other flags, two or four parts dropped")
        << QByteArray("5\n0x04 1 2\n0x04 1\n0x04 1 0 0\n\n") << QByteArray("5\n");
    QTest::newRow("code outside the table is the empty key")
        << QByteArray("5\n0x99 1 0\n0x4 1 0\n") << QByteArray("5\n0x00 1 0\n0x00 1 0\n");
    QTest::newRow("delay that is no number waits 0") << QByteArray("5\nsoon\n") << QByteArray("5\n0ms\n");
    QTest::newRow("mouse button") << QByteArray("255\n0x10 4 0\n") << QByteArray("255\n0x10 4 0\n");
    QTest::newRow("empty file") << QByteArray() << QByteArray("1\n");
    QTest::newRow("repeat 0") << QByteArray("0\n") << QByteArray("1\n");
    QTest::newRow("repeat 251") << QByteArray("251\n") << QByteArray("1\n");
    QTest::newRow("repeat no number") << QByteArray("x\n") << QByteArray("1\n");
    QTest::newRow("repeat first part") << QByteArray(" 250 x\n") << QByteArray("250\n");
    QTest::newRow("repeat 253") << QByteArray("253") << QByteArray("253\n");
}

void TestMacroCodec::macroFileLines()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, written);
    const MacroFileContent content = parseMacroFile(file);
    QCOMPARE(macroFileText(content.repeat, content.rows), written);
    QCOMPARE(repeatFromHeader(QString::fromUtf8(file)), content.repeat);
}

void TestMacroCodec::keyTableLookups()
{
    QCOMPARE(KeyTextToCodes("A"), QStringList({"0x04", "1"}));
    QCOMPARE(KeyTextToCodes("LCtrl"), QStringList({"0x01", "0"}));
    QCOMPARE(KeyTextToCodes("Num."), QStringList({"0x63", "1"}));
    QCOMPARE(KeyTextToCodes("Back"), QStringList({"0x08", "4"}));
    QCOMPARE(KeyTextToCodes(""), QStringList({"0x00", "1"}));
    QVERIFY(KeyTextToCodes("Ctrl").isEmpty());
    struct Case { int code; int type; const char* name; };
    const Case cases[] = {
        {0x04, 0, "LAlt"}, {0x04, 1, "A"}, {0x04, 2, ""},   {0x20, 0, "RShift"}, {0x40, 0, "RAlt"},
        {0x40, 1, "F7"},   {0x40, 4, "F7"}, {0x01, 1, "LCtrl"}, {0x80, 2, "RWin"},  {0x58, 1, "Enter"},
        {0x2B, 0, "Tab"},  {0x00, 1, ""},   {0x64, 1, ""},    {0x104, 1, ""},
    };
    for (const Case& c : cases)
        QVERIFY2(KeyCodeToName(c.code, c.type) == QString::fromUtf8(c.name), c.name);
    QCOMPARE(MouseBitToName(16), QStringLiteral("Forward"));
    QCOMPARE(MouseBitToName(3), QString());

    // A mouse name equal to a key name gives the key, except for F1 to F12.
    setMouseNames({"F3", "A", "Middle", "Back", "Forward"});
    QCOMPARE(KeyTextToCodes("F3"), QStringList({"0x01", "4"}));
    QCOMPARE(KeyTextToCodes("A"), QStringList({"0x04", "1"}));
    MacroRecord record{};
    record.Events[5].Code = 0x77;
    FillMacroEvent("F3", 5, record);
    QCOMPARE(int(record.Events[5].EventType), 4);
    QCOMPARE(int(record.Events[5].Code), 1);
    FillMacroEvent("nothing", 5, record);
    QCOMPARE(int(record.Events[5].EventType), 1);
    QCOMPARE(int(record.Events[5].Code), 1);
    FillMacroEvent("A", kMacroRecordEvents, record);  // outside: nothing moves
    QCOMPARE(bytesOf(record).count('\0'), 592 - 2);
}

void TestMacroCodec::everyNameSurvivesItsCodes()
{
    QStringList names;
    for (char c = 'A'; c <= 'Z'; ++c)
        names << QString(QChar(c));
    for (int i = 0; i <= 9; ++i)
        names << QString::number(i) << QStringLiteral("Num%1").arg(i);
    for (int i = 1; i <= 12; ++i)
        names << QStringLiteral("F%1").arg(i);
    names << "Enter" << "Esc" << "BackSpace" << "Tab" << "Space" << "-" << "=" << "[" << "]" << "\\" << ";" << "'"
          << "`" << "," << "." << "/" << "CapsLock" << "Screen" << "Scroll" << "Pause" << "Insert" << "Home"
          << "PgUp" << "Del" << "End" << "PgDn" << QString::fromUtf8("→") << QString::fromUtf8("←")
          << QString::fromUtf8("↓") << QString::fromUtf8("↑") << "NumLock" << "Num/" << "Num*" << "Num-" << "Num+"
          << "Num." << "APPs" << "" << "LCtrl" << "LShift" << "LAlt" << "LWin" << "RCtrl" << "RShift" << "RAlt"
          << "RWin" << kMouseNames;
    QCOMPARE(names.size(), 109);
    QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), 109);
    for (const QString& name : names) {
        const QStringList codes = KeyTextToCodes(name);
        QVERIFY2(codes.size() == 2, qPrintable(name));
        QVERIFY2(KeyCodeToText(codes.at(0), codes.at(1).toInt()) == name, qPrintable(name));
    }
}

void TestMacroCodec::recordIsByteExact()
{
    const MacroRecord record = recordFromRows("ab", {key("A"), makeDelayRow(20), key("A", true)});
    const QByteArray expected = QByteArray::fromHex("02" "6162") + QByteArray(28, '\0') + QByteArray::fromHex("02")
        + QByteArray::fromHex("0001040014000000" "0101040000000000") + QByteArray(68 * 8, '\0');
    QCOMPARE(bytesOf(record).toHex(), expected.toHex());
    QCOMPARE(bytesOf(recordFromRows("ab", {})), QByteArray::fromHex("026162") + QByteArray(589, '\0'));
}

void TestMacroCodec::recordFromFileAndBack()
{
    const MacroFileContent content = parseMacroFile("3\n0x04 1 0\n50ms\n0x04 1 1\n");
    MacroRecord record = recordFromRows("m1", content.rows);
    QCOMPARE(int(record.EventCount), 2);
    QCOMPARE(bytesOf(record).mid(32, 16).toHex(), QByteArray("0001040032000000" "0101040000000000"));
    QCOMPARE(rowsFromRecord(record), content.rows);
    QCOMPARE(int(recordFromRows("m1", parseMacroFile("3\n").rows).EventCount), 0);

    // A trailing delay is no event; one event decodes to one row, its delay unseen.
    record = recordFromRows("m1", {key("LWin"), makeDelayRow(30)});
    QCOMPARE(int(record.EventCount), 1);
    QCOMPARE(quint32(record.Events[0].DelayMs), 0u);
    record.Events[0].DelayMs = 99;
    QCOMPARE(rowsFromRecord(record), QVector<MacroRow>({key("LWin")}));

    // Device events decode code first; a row keeps the code it was made with,
    // so a click recorded under one language is sent the same under the next.
    record = MacroRecord{};
    record.EventCount = 3;
    record.Events[0] = MakeKeyEvent(0, KeyEventKeyboard, 0x58, 5);
    record.Events[1] = MakeKeyEvent(1, KeyEventConsumer, 0x04, 6);
    record.Events[2] = MakeKeyEvent(1, KeyEventMouse, 0x02, 0);
    const QVector<MacroRow> rows = rowsFromRecord(record);
    setMouseNames({"Gauche", "Droite", "Milieu", "Retour", "Avant"});
    QCOMPARE(macroFileText(7, rows), QByteArray("7\n0x28 1 0\n5ms\n0x00 1 1\n6ms\n0x02 4 1\n"));
    QCOMPARE(rows.at(4).text, QStringLiteral("Right"));
}

void TestMacroCodec::recordNamesAreCutAndDecodedOneWay()
{
    MacroRecord record{};
    std::memcpy(record.Name, "ab\0cd", 5);
    record.NameLength = 5;
    QCOMPARE(recordName(record), QStringLiteral("ab"));
    std::memset(record.Name, 'x', sizeof record.Name);
    record.NameLength = 200;
    QCOMPARE(recordName(record), QString(30, 'x'));

    const QString wide = QString::fromUtf8("é").repeated(20);  // 40 bytes
    for (const QString& name : {QString(40, 'n'), wide, QStringLiteral("a") + wide}) {
        setRecordName(record, name);
        const QString kept = recordName(record);
        QVERIFY(name.startsWith(kept));
        QVERIFY(kept.toUtf8().size() >= 29 && kept.toUtf8().size() <= 30);
        QCOMPARE(int(record.NameLength), kept.toUtf8().size());
        const int rest = 30 - record.NameLength;
        QCOMPARE(QByteArray(record.Name + record.NameLength, rest).count('\0'), rest);
    }
}

void TestMacroCodec::exportIsByteExact()
{
    QByteArray bytes;
    QVERIFY(writeExport("ab", 3, {}, &bytes));
    QCOMPARE(bytes.size(), 88);
    QCOMPARE(bytes.toHex(), exportHeader("ab", "3", "00000000").toHex());

    QVERIFY(writeExport("ab", 3, {{key("A"), {}}, {makeDelayRow(10), {}}, {key("A", true), {}}}, &bytes));
    const QByteArray rows = QByteArray::fromHex("000000020041" "ffffffff" "000000023000"
                                                "00000008" "00310030006d0073" "ffffffff"
                                                "000000020041" "ffffffff" "000000023100");
    QCOMPARE(bytes.toHex(), (exportHeader("ab", "3", "00000003") + rows).toHex());

    QVERIFY(writeExport(QString(60, 'n'), 255, {}, &bytes));
    QCOMPARE(bytes.mid(20, 48), QByteArray(47, 'n') + '\0');
}

void TestMacroCodec::exportRoundTripKeepsRowsAndIcons()
{
    const QVector<MacroExportRow> rows = {{key("A"), {}},
                                          {makeDelayRow(50), {}},
                                          {key("Middle", true), {}},
                                          {makeDelayRow(65535), {}},
                                          {key("RAlt"), {}}};
    QByteArray bytes;
    QVERIFY(writeExport(QString::fromUtf8("宏 1"), 254, rows, &bytes));
    MacroExport back;
    QString error;
    QCOMPARE(readExport(bytes, &back, &error), MacroExportStatus::Ok);
    QCOMPARE(back.name, QString::fromUtf8("宏 1"));
    QCOMPARE(back.repeat, 254);
    QCOMPARE(back.rows.size(), rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(back.rows.at(i).row, rows.at(i).row);
        QVERIFY(!back.rows.at(i).icon.isValid());  // the reader gives each row the icon of its kind
    }

    // Read under another language, the mouse row takes that language's name.
    setMouseNames({"Links", "Rechts", "Mitte", "Zurück", "Vor"});
    QCOMPARE(readExport(bytes, &back, &error), MacroExportStatus::Refused);
    QCOMPARE(readExport(bytes, &back, &error, {{"Middle", 0x04}, {"Left", 0x01}}), MacroExportStatus::Ok);
    QCOMPARE(back.rows.at(2).row, key("Mitte", true));
}

void TestMacroCodec::iconEntriesAreSteppedOverWithinBounds_data()
{
    QTest::addColumn<QByteArray>("icon");
    QTest::addColumn<bool>("accepted");
    const auto png = [](quint32 width, quint32 height, int dataBytes) {
        QByteArray bytes("\x89PNG\r\n\x1a\n", 8);
        QDataStream out(&bytes, QIODevice::Append);
        out << quint32(13);
        out.writeRawData("IHDR", 4);
        out << width << height << quint8(8) << quint8(6) << quint8(0) << quint8(0) << quint8(0) << quint32(0);
        out << quint32(dataBytes);
        out.writeRawData("IDAT", 4);
        out.writeRawData(QByteArray(dataBytes, 'x').constData(), dataBytes);
        out << quint32(0) << quint32(0);
        out.writeRawData("IEND", 4);
        out << quint32(0);
        return bytes;
    };
    // A pixmap icon as Qt writes it: key, count, then per picture the image
    // (marker and PNG), file name, size, mode and state.
    // The entry's size is side x side, or side x height where a height is given.
    const auto pixmapIcon = [](const QVector<QByteArray>& pictures, const QString& file, qint32 side, quint32 mode,
                               quint32 state, std::optional<qint32> height = std::nullopt) {
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setVersion(17);
        out << QStringLiteral("QPixmapIconEngine") << qint32(pictures.size());
        for (const QByteArray& picture : pictures) {
            out << qint32(picture.isEmpty() ? 0 : 1);
            out.writeRawData(picture.constData(), picture.size());
            out << file << side << height.value_or(side) << mode << state;
        }
        return bytes;
    };
    const QByteArray small = png(16, 16, 200);
    QTest::newRow("no icon") << QByteArray::fromHex("ffffffff") << true;
    QTest::newRow("a row icon") << pixmapIcon({small}, "/opt/x/Picture/MacroDown.png", 16, 0, 1) << true;
    QTest::newRow("every mode and state") << pixmapIcon({small}, "", 256, 3, 0) << true;
    QTest::newRow("a named file, not opened") << pixmapIcon({QByteArray()}, "/etc/passwd", -1, 0, 1) << true;
    QTest::newRow("two pictures") << pixmapIcon({small, png(32, 32, 10)}, "", 32, 0, 1) << true;
    QTest::newRow("a theme name") << streamOf(QStringLiteral("QIconLoaderEngine"), QStringLiteral("edit-copy"))
                                  << true;
    QTest::newRow("mode 4") << pixmapIcon({small}, "", 16, 4, 1) << false;
    QTest::newRow("state 2") << pixmapIcon({small}, "", 16, 0, 2) << false;
    QTest::newRow("4096 pixels wide") << pixmapIcon({png(4096, 16, 10)}, "", 16, 0, 1) << false;
    QTest::newRow("picture over 64 KiB") << pixmapIcon({png(16, 16, 70000)}, "", 16, 0, 1) << false;
    QTest::newRow("picture of no PNG") << pixmapIcon({QByteArray("BM") + small}, "", 16, 0, 1) << false;
    QTest::newRow("picture cut") << pixmapIcon({small.left(60)}, "", 16, 0, 1) << false;
    QTest::newRow("nine pictures") << pixmapIcon(QVector<QByteArray>(9, small), "", 16, 0, 1) << false;
    QTest::newRow("size 5000") << pixmapIcon({small}, "", 5000, 0, 1) << false;
    QTest::newRow("compressed vector picture")
        << streamOf(QStringLiteral("svg"), QHash<int, QString>(), 1, QHash<int, QByteArray>{{0, QByteArray(100, 'z')}}, 0)
        << false;
    QTest::newRow("key of 100000 characters") << streamOf(QString(100000, 'k')) << false;
    // Each bound at its limit and one past it, on each side.
    QTest::newRow("picture 256 x 256") << pixmapIcon({png(256, 256, 10)}, "", 16, 0, 1) << true;
    QTest::newRow("picture 257 wide") << pixmapIcon({png(257, 16, 10)}, "", 16, 0, 1) << false;
    QTest::newRow("picture 257 high") << pixmapIcon({png(16, 257, 10)}, "", 16, 0, 1) << false;
    QTest::newRow("picture 1 x 1") << pixmapIcon({png(1, 1, 10)}, "", 16, 0, 1) << true;
    QTest::newRow("picture 0 wide") << pixmapIcon({png(0, 16, 10)}, "", 16, 0, 1) << false;
    QTest::newRow("picture 0 high") << pixmapIcon({png(16, 0, 10)}, "", 16, 0, 1) << false;
    // Signature, header chunk, data chunk and end chunk: 57 bytes besides the data.
    QTest::newRow("picture of 64 KiB") << pixmapIcon({png(16, 16, 65536 - 57)}, "", 16, 0, 1) << true;
    QTest::newRow("picture of 64 KiB + 1") << pixmapIcon({png(16, 16, 65536 - 56)}, "", 16, 0, 1) << false;
    QTest::newRow("eight pictures") << pixmapIcon(QVector<QByteArray>(8, small), "", 16, 0, 1) << true;
    QTest::newRow("no pictures") << streamOf(QStringLiteral("QPixmapIconEngine"), qint32(0)) << true;
    QTest::newRow("-1 pictures") << streamOf(QStringLiteral("QPixmapIconEngine"), qint32(-1)) << false;
    QTest::newRow("size 257 wide") << pixmapIcon({small}, "", 257, 0, 1, 16) << false;
    QTest::newRow("size 257 high") << pixmapIcon({small}, "", 16, 0, 1, 257) << false;
    QTest::newRow("size -2 wide") << pixmapIcon({small}, "", -2, 0, 1, 16) << false;
    QTest::newRow("size -2 high") << pixmapIcon({small}, "", 16, 0, 1, -2) << false;
    QTest::newRow("file name of 8 KiB") << pixmapIcon({small}, QString(4096, 'f'), 16, 0, 1) << true;
    QTest::newRow("file name of 8 KiB + 2") << pixmapIcon({small}, QString(4097, 'f'), 16, 0, 1) << false;
    QTest::newRow("theme name of 8 KiB") << streamOf(QStringLiteral("QIconLoaderEngine"), QString(4096, 't')) << true;
    QTest::newRow("theme name of 8 KiB + 2")
        << streamOf(QStringLiteral("QIconLoaderEngine"), QString(4097, 't')) << false;
}

void TestMacroCodec::iconEntriesAreSteppedOverWithinBounds()
{
    QFETCH(QByteArray, icon);
    QFETCH(bool, accepted);
    // Two rows, so a picture read too short or too long breaks the next row.
    const QByteArray row = QByteArray::fromHex("000000020041") + icon + QByteArray::fromHex("000000023000");
    MacroExport result;
    QString error;
    QCOMPARE(readExport(exportHeader("ab", "3", "00000002") + row + row, &result, &error),
             accepted ? MacroExportStatus::Ok : MacroExportStatus::Refused);
    QCOMPARE(result.rows.size(), accepted ? 2 : 0);
}

void TestMacroCodec::hostileExportsAreRefusedWhole_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("status");
    const int refused = int(MacroExportStatus::Refused);
    const QByteArray pressA = QByteArray::fromHex("000000020041" "ffffffff" "000000023000");
    QTest::newRow("2^31-1 rows") << exportHeader("ab", "3", "7fffffff") + pressA << refused;
    QTest::newRow("140 rows") << exportHeader("ab", "3", "0000008c") + pressA.repeated(140) << refused;
    QTest::newRow("139 rows") << exportHeader("ab", "3", "0000008b") + pressA.repeated(139)
                              << int(MacroExportStatus::Ok);
    QTest::newRow("no rows") << exportHeader("ab", "3", "00000000") << int(MacroExportStatus::Ok);
    QTest::newRow("negative count") << exportHeader("ab", "3", "ffffffff") << refused;
    QTest::newRow("one row missing") << exportHeader("ab", "3", "00000002") + pressA << refused;
    QTest::newRow("row cut inside its flag") << exportHeader("ab", "3", "00000001") + pressA.left(14) << refused;
    QTest::newRow("key name outside the table")
        << exportHeader("ab", "3", "00000001") + QByteArray::fromHex("00000002003fffffffff000000023000") << refused;
    QTest::newRow("path in the name") << exportHeader("../../Macro", "3", "00000000") << refused;
    QTest::newRow("bytes after the last row") << exportHeader("ab", "3", "00000001") + pressA + "x" << refused;
    QTest::newRow("header cut") << exportHeader("ab", "3", "").left(40) << refused;
    QByteArray wrongTag = exportHeader("ab", "3", "00000000");
    wrongTag[4] = 'k';
    QTest::newRow("wrong tag") << wrongTag << int(MacroExportStatus::WrongTag);
    QTest::newRow("no export at all") << QByteArray("3\n0x04 1 0\n") << int(MacroExportStatus::WrongTag);
}

void TestMacroCodec::hostileExportsAreRefusedWhole()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, status);
    MacroExport result;
    result.rows.append(MacroExportRow{});
    QString error;
    QCOMPARE(int(readExport(bytes, &result, &error)), status);
    // An accepted file here holds the 88-byte header and press rows of 16 bytes each.
    const bool accepted = status == int(MacroExportStatus::Ok);
    QCOMPARE(result.rows.size(), accepted ? (bytes.size() - 88) / 16 : 0);
    QCOMPARE(error.isEmpty(), accepted);
    if (QByteArray(QTest::currentDataTag()) == "wrong tag")
        QCOMPARE(result.name, QStringLiteral("ab"));  // a listed name is told before the tag
}

void TestMacroCodec::unsafeNamesNeverBecomePaths_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("safe");
    QTest::newRow("plain") << "Macro 1" << true;
    QTest::newRow("wide") << QString::fromUtf8("宏.v2") << true;
    QTest::newRow("40 bytes") << QString(40, 'n') << true;
    QTest::newRow("up and out") << "../../Macro" << false;
    QTest::newRow("up") << "../x" << false;
    QTest::newRow("separator") << "a/b" << false;
    QTest::newRow("backslash") << "a\\b" << false;
    QTest::newRow("dot") << "." << false;
    QTest::newRow("dots") << ".." << false;
    QTest::newRow("dots only") << "...." << false;
    QTest::newRow("hidden by the list") << "x.xml" << false;
    QTest::newRow("renamed by the list") << "a.ini" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("control") << "a\nb" << false;
    QTest::newRow("NUL") << QString("a") + QChar(0) << false;
    QTest::newRow("colon") << "c:x" << false;
}

void TestMacroCodec::unsafeNamesNeverBecomePaths()
{
    QFETCH(QString, name);
    QFETCH(bool, safe);
    QCOMPARE(isSafeMacroName(name), safe);
    QCOMPARE(macroFilePath(name).isEmpty(), !safe);
    QVERIFY(QDir().mkpath(UserDataDir()));
    QVERIFY(QFile(MacroIniPath()).open(QIODevice::WriteOnly));
    QString error;
    QCOMPARE(writeMacroFile(name, 3, {key("A")}, &error), safe);
    QCOMPARE(QFile(MacroIniPath()).size(), 0);
    MacroFileContent content;
    QCOMPARE(readMacroFile(name, &content, &error), safe);
    if (safe)
        QCOMPARE(content.rows, QVector<MacroRow>({key("A")}));
    else
        QVERIFY(error.contains(name));
}

void TestMacroCodec::oversizedMacrosStayInsideTheRecord()
{
    QVector<MacroRow> rows;
    for (int i = 0; i < 100; ++i)
        rows << key("B") << makeDelayRow(quint32(i));
    const MacroRecord record = recordFromRows("long", rows);
    QCOMPARE(int(record.EventCount), kMacroRecordEvents);
    QCOMPARE(quint32(record.Events[68].DelayMs), 68u);
    QCOMPARE(quint32(record.Events[69].DelayMs), 0u);  // the wait before a key that is not sent

    MacroRecord claimed = record;
    claimed.EventCount = 200;
    QCOMPARE(rowsFromRecord(claimed).size(), kMacroMaxRows);

    QByteArray bytes;
    QVERIFY(!writeExport("long", 1, QVector<MacroExportRow>(kMacroMaxRows + 1), &bytes));
}

QTEST_GUILESS_MAIN(TestMacroCodec)
#include "tst_macrocodec.moc"
