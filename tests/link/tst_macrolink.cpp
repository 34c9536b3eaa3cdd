// The macro page against the simulated mouse: macros from the device stored
// as files without disturbing the editor, macro files sent to a button,
// macro export files, and the settings export. Rows are written as "vA"
// (press of A), "^A" (release) and "50ms".
#include "buttons/ButtonForm.h"
#include "buttons/Buttoninterface.h"
#include "core/AppPaths.h"
#include "core/DeviceInfoFile.h"
#include "core/FlashDataMap.h"
#include "core/MacroCodec.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "dialogs/UpDataParam.h"
#include "macro/Macro.h"
#include "settings/FormSetting.h"
#include "support/dialogs_helpers.h"
#include "support/full_disk.h"
#include "support/keys_input.h"
#include "support/link_helpers.h"
#include "support/modal_helpers.h"
#include "support/sim_helpers.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QToolButton>
#include <QDataStream>
#include <QDir>
#include <QListWidget>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

#include <cstring>

#include <sys/stat.h>

using dialogtest::widget;

namespace {

QString pathOf(const QString& fileName)
{
    return core::macroFolderPath() + QLatin1Char('/') + fileName;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// A 592-byte record: name length, 30 name bytes, event count, events.
MacroRecord recordOf(const QByteArray& name, int events, const QByteArray& eventHex)
{
    QByteArray bytes = char(name.size()) + name.leftJustified(kMacroNameBytes, '\0') + char(events)
                       + QByteArray::fromHex(eventHex);
    bytes = bytes.leftJustified(int(sizeof(MacroRecord)), '\0');
    MacroRecord record;
    std::memcpy(&record, bytes.constData(), sizeof record);
    return record;
}

// The head of an export file: three blocks and the row count.
QByteArray exportHead(const QByteArray& tag, const QByteArray& name, qint32 rows)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    const QByteArray repeat("3");
    for (const QByteArray& block :
         {tag.leftJustified(12, '\0'), name.leftJustified(48, '\0'), repeat.leftJustified(12, '\0')})
        out.writeBytes(block.constData(), uint(block.size()));
    out << rows;
    return bytes;
}

QByteArray pngOf(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return bytes;
}

// A pixmap icon as Qt streams it: one picture (none for an empty `png`),
// then the file it came from, its size, mode and state.
QByteArray pixmapIcon(const QByteArray& png, const QString& file, quint32 mode, quint32 state)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(17);
    out << QStringLiteral("QPixmapIconEngine") << qint32(1) << qint32(png.isEmpty() ? 0 : 1);
    out.writeRawData(png.constData(), png.size());
    out << file << QSize(16, 16) << mode << state;
    return bytes;
}

// A press row of the export stream with the given icon entry.
QByteArray pressRow(const QString& key, const QByteArray& icon)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(17);
    out << key;
    out.writeRawData(icon.constData(), icon.size());
    out << "0";
    return bytes;
}

// What keepNoticeText() records for the macro notice's `child` text; none for "".
QStringList noticesOf(const QString& child)
{
    if (child.isEmpty())
        return {};
    return {QStringLiteral("MakeMacro: ") + dialogtest::shippedText(0, "MakeMacro", child)};
}

} // namespace

class TestMacroLink : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<linktest::LinkPages> m_pages;

    Macro* page() const { return m_pages->macro.get(); }
    QListWidget* macros() const { return widget<QListWidget>(page(), "listWidgetHong"); }
    QListWidget* rows() const { return widget<QListWidget>(page(), "listWidgetKey"); }

    QString rowsText() const
    {
        QStringList texts;
        for (int i = 0; i < rows()->count(); ++i) {
            const QListWidgetItem* item = rows()->item(i);
            const bool delay = item->text().endsWith(QLatin1String("ms"));
            texts << (delay ? QString() : item->type() == 1 ? QStringLiteral("^") : QStringLiteral("v")) + item->text();
        }
        return texts.join(QLatin1Char(' '));
    }

    void showMacro(const QString& name)
    {
        const QList<QListWidgetItem*> found = macros()->findItems(name, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        macros()->setCurrentItem(found.first());
        QTest::mouseClick(macros()->viewport(), Qt::LeftButton, {}, macros()->visualItemRect(found.first()).center());
    }

private slots:
    void init()
    {
        dialogtest::chooseLanguage(0);
        MacroRecording = false;
        QDir(core::macroFolderPath()).removeRecursively();
        QVERIFY(QDir().mkpath(core::macroFolderPath()));
        writeFile(pathOf("m1.ini"), "3\n0x04 1 0\n50ms\n0x04 1 1\n");
        writeFile(pathOf("m2.ini"), "1\n0x05 1 0\n");
        writeFile(pathOf("ab.ini"), "3\n");
        m_pages = linktest::openFreshDefaultMouse();
        QVERIFY(m_pages);
        DeviceWriteReady = 1;
    }

    void cleanup()
    {
        if (m_pages && MacroRecording)
            page()->on_StopRecord_clicked();
        m_pages.reset();
        QVERIFY(!MacroRecording);
    }

    void refillStoresTheMacroAndSparesTheEditor_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("before");  // "", "edit" or "record"
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("rowsAfter");
        QTest::newRow("another macro shown") << "m1" << "" << QByteArray("xy") << "vA 50ms ^A";
        QTest::newRow("the macro shown is rebuilt") << "xy" << "" << QByteArray("xy") << "vLShift 15ms vA 30ms ^A";
        QTest::newRow("unsaved rows stay") << "xy" << "edit" << QByteArray("xy") << "";
        QTest::newRow("a recording goes on") << "xy" << "record" << QByteArray("xy") << "vA ^A";
        QTest::newRow("unsafe name") << "m1" << "" << QByteArray("../../Macro") << "vA 50ms ^A";
    }

    void refillStoresTheMacroAndSparesTheEditor()
    {
        QFETCH(QString, shown);
        QFETCH(QString, before);
        QFETCH(QByteArray, name);
        QFETCH(QString, rowsAfter);
        const QByteArray onDisk = "1\n0x05 1 0\n10ms\n0x05 1 1\n";
        writeFile(pathOf("xy.ini"), onDisk);
        page()->SlotChangeLanguage(0);
        const int listed = macros()->count();
        if (shown == QLatin1String("xy"))
            macros()->addItem(shown);
        showMacro(shown);
        if (before == QLatin1String("edit")) {
            rows()->setCurrentRow(0);
            widget<QAbstractButton>(page(), "DeleteKey")->click();
        } else if (before == QLatin1String("record")) {
            page()->show();
            QVERIFY(QTest::qWaitForWindowExposed(page()));
            widget<QAbstractButton>(page(), "StartRecord")->click();
        }
        FlashDataMap image = CurrentFlashDataCopy();
        image.ButtonFunction[1] = {6, 1, 5};
        image.MacroRecords[1] = recordOf(name, 3, "000002000f000000" "000104001e000000" "0101040000000000");
        // "../../Macro" from the macro folder is the user's settings file.
        const QByteArray settings = readFile(pathOf("../../Macro.ini"));
        QSignalSpy added(PostMsg::instance(), &PostMsg::SigAddMacroButton);
        PostMsg::instance()->EmitButtonToMacro(image, 1);

        const bool safe = name == "xy";
        const QByteArray fromMouse = "5\n0x02 0 0\n15ms\n0x04 1 0\n30ms\n0x04 1 1\n";
        QCOMPARE(readFile(pathOf("xy.ini")), safe ? fromMouse : onDisk);
        QCOMPARE(readFile(pathOf("../../Macro.ini")), settings);
        QCOMPARE(added.count(), safe ? 1 : 0);
        QCOMPARE(macros()->count(), listed + (safe ? 1 : 0));
        QCOMPARE(macros()->currentItem()->text(), shown);
        if (before == QLatin1String("record")) {
            QVERIFY(MacroRecording);
            keytest::sendKey(page(), QEvent::KeyPress, keytest::letter('A'));
            keytest::sendKey(page(), QEvent::KeyRelease, keytest::letter('A'));
            QCOMPARE(rowsText().remove(QRegularExpression(QStringLiteral(" \\d+ms"))), rowsAfter);
        } else {
            QCOMPARE(rowsText(), rowsAfter);
        }
    }

    void downloadSendsTheMacroFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("ready");
        QTest::addColumn<bool>("sent");
        QTest::addColumn<QString>("notice");
        QTest::newRow("file of a macro not shown") << "m1" << true << true << "";
        QTest::newRow("writes not ready") << "m1" << false << false << "";
        QTest::newRow("no such file") << "zz" << true << false << "";
        QTest::newRow("name longer than a record") << QString(31, QLatin1Char('n')) << true << false << "NameTooLong";
        QTest::newRow("more events than a record") << "long" << true << false << "MacroTooLong";
    }

    void downloadSendsTheMacroFile()
    {
        QFETCH(QString, name);
        QFETCH(bool, ready);
        QFETCH(bool, sent);
        QFETCH(QString, notice);
        writeFile(pathOf(QString(31, QLatin1Char('n')) + ".ini"), "3\n0x04 1 0\n");
        writeFile(pathOf("long.ini"), "3\n" + QByteArray("0x04 1 0\n5ms\n0x04 1 1\n5ms\n").repeated(36));
        // The save came after the button page's wait began; another macro is shown now.
        showMacro(QStringLiteral("m2"));
        FlashDataMap image = CurrentFlashDataCopy();
        image.ButtonFunction[2] = {6, 2, 3};
        StoreCurrentFlashData(image);
        DeviceWriteReady = ready ? 1 : 0;
        QStringList notices;
        {
            modaltest::ModalDriver driver(modaltest::keepNoticeText(&notices));
            PostMsg::instance()->EmitMacroDownLoadData(name + QChar(0), 2);
            QVERIFY(linktest::waitSimIdle());
        }
        QCOMPARE(notices, noticesOf(notice));

        QCOMPARE(simtest::countCalls(simtest::callLog(), QStringLiteral("ProtocolDataUpdate")), sent ? 1 : 0);
        if (!sent)
            return;
        const QByteArray flash = simtest::flash();
        QCOMPARE(flash.mid(0x50, 3).toHex(), QByteArray("060203"));
        QCOMPARE(flash.mid(0x85C, 3).toHex(), QByteArray("026d31"));
        QCOMPARE(int(flash.at(0x85C + 31)), 2);
        QCOMPARE(flash.mid(0x85C + 32, 16).toHex(), QByteArray("0001040032000000" "0101040000000000"));
    }

    void exportWritesTheStreamAndReadsBack()
    {
        const QString exported = QDir::homePath() + QStringLiteral("/ab.exp");
        macros()->setCurrentItem(macros()->findItems(QStringLiteral("ab"), Qt::MatchExactly).first());
        Macro::setNextFileForTesting(exported);
        page()->ExPortMacro();
        const QByteArray nameBlock = "000000306162" + QByteArray(46 * 2, '0');
        QCOMPARE(readFile(exported).toHex(), "0000000c4b76656c7400000000000000" + nameBlock
                                                 + "0000000c330000000000000000000000" + "00000000");

        // Chosen in the list but not opened, a macro goes out from its file; shown, from the page.
        const QString listed = QDir::homePath() + QStringLiteral("/m1-listed.exp");
        macros()->setCurrentItem(macros()->findItems(QStringLiteral("m1"), Qt::MatchExactly).first());
        Macro::setNextFileForTesting(listed);
        page()->ExPortMacro();
        // The shown macro goes out with its rows and comes back on another computer.
        const QString m1 = QDir::homePath() + QStringLiteral("/m1.exp");
        showMacro(QStringLiteral("m1"));
        Macro::setNextFileForTesting(m1);
        page()->ExPortMacro();
        // The icons go as pixels: nothing tells where the program lives.
        QByteArray folder;
        {
            QDataStream out(&folder, QIODevice::WriteOnly);
            out << AppDir();
        }
        for (const QString& exported : {listed, m1}) {
            QVERIFY2(!readFile(exported).contains(folder.mid(4)), qPrintable(exported));
            QVERIFY2(!readFile(exported).contains(AppDir().toUtf8()), qPrintable(exported));
            QCOMPARE(readFile(exported).count("\x89PNG"), 3);  // still one picture per row
        }
        QCOMPARE(readFile(listed), readFile(m1));
        const QByteArray original = readFile(pathOf("m1.ini"));
        QVERIFY(QFile::remove(pathOf("m1.ini")));
        m_pages->macro = std::make_unique<Macro>();
        Macro::setNextFileForTesting(m1);
        page()->InPortMacro();
        QCOMPARE(readFile(pathOf("m1.ini")), original);
        QCOMPARE(macros()->currentItem()->text(), QStringLiteral("m1"));
        QCOMPARE(rowsText(), QStringLiteral("vA 50ms ^A"));
    }

    void importChecksTheWholeFileFirst_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("dialog");  // SameMacro, or the macro notice's text
        QTest::addColumn<QByteArray>("created");
        const QByteArray picture = pngOf(16, 16);
        QTest::newRow("new name") << exportHead("Kvelt", "nn", 0) << "" << QByteArray("3\n");
        QTest::newRow("listed name") << exportHead("Kvelt", "m1", 0) << "SameMacro" << QByteArray();
        QTest::newRow("listed name, wrong tag") << exportHead("Other", "m1", 0) << "SameMacro" << QByteArray();
        QTest::newRow("wrong tag") << exportHead("Other", "nn", 0) << "ImportRefused" << QByteArray();
        QTest::newRow("2^31 - 1 rows") << exportHead("Kvelt", "nn", 0x7FFFFFFF) << "ImportRefused" << QByteArray();
        QTest::newRow("rows missing") << exportHead("Kvelt", "nn", 2) << "ImportRefused" << QByteArray();
        QTest::newRow("row of no known key")
            << exportHead("Kvelt", "nn", 1) + pressRow("Nope", QByteArray::fromHex("ffffffff")) << "ImportRefused"
            << QByteArray();
        QTest::newRow("name over 30 bytes") << exportHead("Kvelt", QByteArray(31, 'n'), 0) << "NameTooLong"
                                            << QByteArray();
        QTest::newRow("name is a path") << exportHead("Kvelt", "../nn", 0) << "NameUnsafe" << QByteArray();
        // Icons: read by their structure, never loaded, expanded or decoded.
        QTest::newRow("icon of mode 4") << exportHead("Kvelt", "nn", 1) + pressRow("A", pixmapIcon(picture, "", 4, 1))
                                        << "ImportRefused" << QByteArray();
        QTest::newRow("icon of state 2") << exportHead("Kvelt", "nn", 1) + pressRow("A", pixmapIcon(picture, "", 0, 2))
                                         << "ImportRefused" << QByteArray();
        QTest::newRow("icon of 4096 pixels")
            << exportHead("Kvelt", "nn", 1) + pressRow("A", pixmapIcon(pngOf(4096, 4096), "", 0, 1))
            << "ImportRefused" << QByteArray();
        QByteArray svg;
        {
            QDataStream out(&svg, QIODevice::WriteOnly);
            out << QStringLiteral("svg") << QHash<int, QString>() << 1
                << QHash<int, QByteArray>{{0, qCompress(QByteArray(1 << 20, ' '))}} << 0;
        }
        QTest::newRow("compressed vector icon") << exportHead("Kvelt", "nn", 1) + pressRow("A", svg) << "ImportRefused"
                                                << QByteArray();
        // Noise hardly compresses: 139 rows of 128 x 128 pictures make about 4 MB.
        QImage noise(128, 128, QImage::Format_ARGB32);
        for (int y = 0; y < noise.height(); ++y) {
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, uint(x * 2654435761u ^ y * 40503u));
        }
        QByteArray noisePng;
        QBuffer noiseBuffer(&noisePng);
        noiseBuffer.open(QIODevice::WriteOnly);
        noise.save(&noiseBuffer, "png");
        QByteArray manyIcons = exportHead("Kvelt", "nn", core::kMacroMaxRows);
        for (int i = 0; i < core::kMacroMaxRows; ++i)
            manyIcons += pressRow("A", pixmapIcon(noisePng, "", 0, 1));
        QTest::newRow("139 rows of large icons") << manyIcons << "" << "3\n" + QByteArray("0x04 1 0\n").repeated(139);
        QTest::newRow("icon naming a FIFO")
            << exportHead("Kvelt", "nn", 1) + pressRow("A", pixmapIcon({}, QDir::homePath() + "/fifo", 0, 1)) << ""
            << QByteArray("3\n0x04 1 0\n");
    }

    void importChecksTheWholeFileFirst()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, dialog);
        QFETCH(QByteArray, created);
        const QString path = QDir::homePath() + QStringLiteral("/in.exp");
        writeFile(path, file);
        QVERIFY(QFile::exists(QDir::homePath() + "/fifo") || mkfifo(qPrintable(QDir::homePath() + "/fifo"), 0600) == 0);
        const int listed = macros()->count();
        const QStringList before = QDir(core::macroFolderPath()).entryList(QDir::Files);
        QStringList notices;
        {
            modaltest::ModalDriver driver(modaltest::keepNoticeText(&notices));
            Macro::setNextFileForTesting(path);
            page()->InPortMacro();
            rows()->grab();  // the list paints every imported row
        }
        if (dialog == QLatin1String("SameMacro"))
            QCOMPARE(notices.value(0).section(':', 0, 0), dialog);
        else
            QCOMPARE(notices, noticesOf(dialog));
        QCOMPARE(readFile(pathOf("m1.ini")), QByteArray("3\n0x04 1 0\n50ms\n0x04 1 1\n"));
        QCOMPARE(macros()->count(), listed + (created.isEmpty() ? 0 : 1));
        if (created.isEmpty())
            QCOMPARE(QDir(core::macroFolderPath()).entryList(QDir::Files), before);
        else
            QCOMPARE(readFile(pathOf("nn.ini")), created);
    }

    void importedRowsShowTheIconOfTheirKind_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("exported by the program") << "export";
        QTest::newRow("icons naming another picture") << "named";
        QTest::newRow("icons naming the program's pictures, as once written") << "old";
    }

    void importedRowsShowTheIconOfTheirKind()
    {
        QFETCH(QString, source);
        showMacro(QStringLiteral("m1"));
        QList<QImage> kinds;  // press, delay, release as the page draws them
        for (int i = 0; i < 3; ++i)
            kinds << rows()->item(i)->icon().pixmap(16, 16).toImage();
        const QString path = QDir::homePath() + QStringLiteral("/in.exp");
        if (source == QLatin1String("export")) {
            Macro::setNextFileForTesting(path);
            page()->ExPortMacro();
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QByteArray bytes = file.readAll();
            bytes.replace(QByteArray::fromHex("00000030") + "m1", QByteArray::fromHex("00000030") + "nn");
            QVERIFY(file.seek(0) && file.write(bytes) == bytes.size());
        } else {
            const QString other = QDir::homePath() + QStringLiteral("/other.png");
            QImage green(16, 16, QImage::Format_RGB32);
            green.fill(Qt::green);
            QVERIFY(green.save(other));
            const QByteArray icon = source == QLatin1String("old")
                                        ? pixmapIcon(pngOf(16, 16), AppDir() + "/Picture/Macro/MacroDown.png", 0, 1)
                                        : pixmapIcon({}, other, 0, 1);
            QByteArray bytes = exportHead("Kvelt", "nn", 3) + pressRow("A", icon);
            QDataStream out(&bytes, QIODevice::Append);
            out << QStringLiteral("50ms");
            out.writeRawData(icon.constData(), icon.size());
            bytes += pressRow("A", icon).chopped(6) + QByteArray::fromHex("000000023100");
            writeFile(path, bytes);
        }
        QStringList notices;
        {
            modaltest::ModalDriver driver(modaltest::keepNoticeText(&notices));
            Macro::setNextFileForTesting(path);
            page()->InPortMacro();
        }
        QCOMPARE(notices, QStringList());
        QCOMPARE(macros()->currentItem()->text(), QStringLiteral("nn"));
        QCOMPARE(rowsText(), QStringLiteral("vA 50ms ^A"));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(rows()->item(i)->icon().pixmap(16, 16).toImage(), kinds.at(i));
        QCOMPARE(readFile(pathOf("nn.ini")), QByteArray("3\n0x04 1 0\n50ms\n0x04 1 1\n"));
    }

    void importReadsMouseNamesOfEveryLanguage_data()
    {
        QTest::addColumn<int>("exportedIn");
        QTest::addColumn<int>("importedIn");
        QTest::newRow("English to Chinese") << 0 << 1;
        QTest::newRow("English to Russian") << 0 << 4;
        QTest::newRow("Japanese to English") << 5 << 0;
        QTest::newRow("Traditional Chinese to Korean") << 2 << 3;
    }

    void importReadsMouseNamesOfEveryLanguage()
    {
        QFETCH(int, exportedIn);
        QFETCH(int, importedIn);
        const QByteArray rowsOnDisk = "1\n0x01 4 0\n10ms\n0x01 4 1\n10ms\n0x10 4 0\n10ms\n0x08 4 1\n10ms\n0x04 1 0\n";
        const auto useLanguage = [this](int index) {
            dialogtest::chooseLanguage(index);
            page()->SlotChangeLanguage(index);
        };
        useLanguage(exportedIn);
        writeFile(pathOf("mm.ini"), rowsOnDisk);
        macros()->addItem(QStringLiteral("mm"));
        macros()->setCurrentRow(macros()->count() - 1);
        const QString path = QDir::homePath() + QStringLiteral("/mm.exp");
        Macro::setNextFileForTesting(path);
        page()->ExPortMacro();
        // The file names the mouse rows in the language it was written in.
        QByteArray leftName;
        QDataStream names(&leftName, QIODevice::WriteOnly);
        names << dialogtest::shippedText(exportedIn, "Macro", "ChooseEvent4");
        QVERIFY(readFile(path).contains(leftName));
        delete macros()->takeItem(macros()->count() - 1);
        QVERIFY(QFile::remove(pathOf("mm.ini")));

        useLanguage(importedIn);
        QStringList notices;
        {
            modaltest::ModalDriver driver(modaltest::keepNoticeText(&notices));
            Macro::setNextFileForTesting(path);
            page()->InPortMacro();
        }
        useLanguage(0);
        QCOMPARE(notices, QStringList());
        QCOMPARE(readFile(pathOf("mm.ini")), rowsOnDisk);
    }

    void failedExportsAreTold_data()
    {
        QTest::addColumn<QString>("kind");  // "macro", "long", or "settings" and its variants
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("notice");
        QTest::newRow("macro written") << "macro" << "out.exp" << "";
        QTest::newRow("macro over the rows of a file") << "long" << "long.exp" << "ExportTooLong";
        QTest::newRow("macro into no folder") << "macro" << "in.file/out.exp" << "FileNotSaved";
        QTest::newRow("settings written") << "settings" << "out.bin" << "";
        QTest::newRow("settings into no folder") << "settings" << "in.file/out.bin" << "FileNotSaved";
        // Only the mouse's own configuration goes out, and only what the import takes back.
        QTest::newRow("settings never read from the mouse") << "unread" << "out.bin" << "FileNotSaved";
        QTest::newRow("settings of a sleeping mouse, from its cache") << "cached" << "out.bin" << "";
        QTest::newRow("settings the import would refuse") << "rate0" << "out.bin" << "FileNotSaved";
        // Over an older export on a full disk: the older one stays whole.
        QTest::newRow("macro over an export, full disk") << "macro" << "old.exp" << "FileNotSaved";
        QTest::newRow("settings over an export, full disk") << "settings" << "old.bin" << "FileNotSaved";
    }

    void failedExportsAreTold()
    {
        QFETCH(QString, kind);
        QFETCH(QString, target);
        QFETCH(QString, notice);
        writeFile(QDir::homePath() + QStringLiteral("/in.file"), "x");
        const QByteArray longMacro = "3\n" + QByteArray("0x04 1 0\n5ms\n0x04 1 1\n5ms\n").repeated(36);
        writeFile(pathOf("long.ini"), longMacro);
        macros()->addItem(QStringLiteral("long"));
        const QString path = QDir::homePath() + QLatin1Char('/') + target;
        QFile::remove(path);
        const bool settings = kind != QLatin1String("macro") && kind != QLatin1String("long");
        FlashDataMap image = CurrentFlashDataCopy();
        if (kind == QLatin1String("unread") || kind == QLatin1String("cached")) {
            // The mouse sleeps: this session never read it.
            core::setImageFromOpenDevice(false);
            StoreCurrentFlashData(EmptyFlashDataMap());
            QFile::remove(DeviceInfoDir() + QLatin1Char('/') + CacheFileName());
            image.DpiLevelCount = 3;
            if (kind == QLatin1String("cached"))
                QVERIFY(WriteDeviceInfoFile(CacheFileName(), image));
        } else if (kind == QLatin1String("rate0")) {
            image.ReportRate = 0;
            StoreCurrentFlashData(image);
        }
        const bool fullDisk = target.startsWith(QLatin1String("old."));
        QByteArray old;
        for (int i = 0; fullDisk && i < 10464; ++i)
            old += char(i * 7);
        if (fullDisk)
            writeFile(path, old);
        QStringList notices;
        {
            std::unique_ptr<hostile::FullDisk> full(fullDisk ? new hostile::FullDisk : nullptr);
            modaltest::ModalDriver driver([&](QWidget* modal) {
                full.reset();
                modaltest::keepNoticeText(&notices)(modal);
            });
            if (settings) {
                UpDataParam::setNextExportFileForTesting(path);
                QCOMPARE(UpDataParam::RunExport(m_pages->buttons.get()), notice.isEmpty());
            } else {
                macros()->setCurrentItem(macros()->findItems(kind == "long" ? "long" : "m1", Qt::MatchExactly).first());
                Macro::setNextFileForTesting(path);
                page()->ExPortMacro();
            }
        }
        QCOMPARE(notices, noticesOf(notice));
        if (fullDisk)
            QCOMPARE(readFile(path), old);
        else
            QCOMPARE(QFile::exists(path), notice.isEmpty());
        QCOMPARE(readFile(pathOf("long.ini")), longMacro);
        if (settings && notice.isEmpty()) {  // what is written imports back
            FlashDataMap back = EmptyFlashDataMap();
            QCOMPARE(UpDataParam::ImportParamFile(path, &back), 0);
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(&back), int(sizeof back)),
                     QByteArray(reinterpret_cast<const char*>(&image), int(sizeof image)));
        }
    }

    void saveDialogsAddTheExtension_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        QTest::newRow("settings") << "settings" << "myconfig" << "myconfig.bin";
        QTest::newRow("settings with its own extension") << "settings" << "my.cfg" << "my.cfg";
        QTest::newRow("macro") << "macro" << "mymacro" << "mymacro.ini";
        QTest::newRow("macro with .ini") << "macro" << "m.ini" << "m.ini";
    }

    void saveDialogsAddTheExtension()
    {
        QFETCH(QString, kind);
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        const QString folder = QDir::homePath() + QStringLiteral("/saves");
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(folder));
        // The user types a name into the dialog and presses Enter.
        modaltest::ModalDriver driver([folder, typed](QWidget* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            auto* name = files ? files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
            if (!name) {
                dialog->close();
                return;
            }
            files->setDirectory(folder);
            name->setText(typed);
            QTest::keyClick(name, Qt::Key_Return);
        });
        if (kind == QLatin1String("settings")) {
            m_pages->buttons->form()->OutputData->click();
        } else {
            macros()->setCurrentItem(macros()->findItems(QStringLiteral("m1"), Qt::MatchExactly).first());
            page()->ExPortMacro();
        }
        QCOMPARE(driver.seen(), QStringList{"QFileDialog"});
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{saved});
    }

    void refillNeverShortensTheUsersFile_data()
    {
        QTest::addColumn<QByteArray>("onDisk");
        QTest::addColumn<bool>("kept");
        const QByteArray keys = QByteArray("0x04 1 0\n5ms\n0x04 1 1\n5ms\n");
        QTest::newRow("160 events, 70 on the button") << "3\n" + keys.repeated(80) << true;
        QTest::newRow("waits before and after the keys") << QByteArray("3\n40ms\n0x04 1 0\n5ms\n0x04 1 1\n9ms\n")
                                                          << true;
        QTest::newRow("another macro of that name") << QByteArray("3\n0x05 1 0\n") << false;
    }

    void refillNeverShortensTheUsersFile()
    {
        QFETCH(QByteArray, onDisk);
        QFETCH(bool, kept);
        writeFile(pathOf("xy.ini"), onDisk);
        // The button carries what the file's first 70 events give, as a send of it would.
        FlashDataMap image = CurrentFlashDataCopy();
        image.ButtonFunction[1] = {6, 1, 3};
        image.MacroRecords[1] = core::recordFromRows(QStringLiteral("xy"), core::parseMacroFile(
                                    kept ? onDisk : QByteArray("3\n0x04 1 0\n5ms\n0x04 1 1\n")).rows);
        PostMsg::instance()->EmitButtonToMacro(image, 1);
        QCOMPARE(readFile(pathOf("xy.ini")), kept ? onDisk : QByteArray("3\n0x04 1 0\n5ms\n0x04 1 1\n"));
    }

    void settingsExportKeepsTheImage()
    {
        const QString first = QDir::homePath() + QStringLiteral("/a.bin");
        const QString second = QDir::homePath() + QStringLiteral("/b.bin");
        // The first through the button page's own button.
        UpDataParam::setNextExportFileForTesting(first);
        m_pages->buttons->form()->OutputData->click();
        UpDataParam::setNextExportFileForTesting(second);
        QVERIFY(UpDataParam::RunExport(m_pages->settings.get()));
        const QByteArray bytes = readFile(first);
        QCOMPARE(bytes.left(36).toHex(),
                 QByteArray("0000000c4b76656c7400000000000000" "0000000c545633333935000000000000" "000028bc"));
        const FlashDataMap image = CurrentFlashDataCopy();
        QCOMPARE(bytes.mid(36), QByteArray(reinterpret_cast<const char*>(&image), int(sizeof image)));
        QCOMPARE(readFile(second), bytes);
        UpDataParam::setNextExportFileForTesting(QString());
        QVERIFY(!UpDataParam::RunExport(m_pages->settings.get()));
    }
};

QTEST_MAIN(TestMacroLink)
#include "tst_macrolink.moc"
