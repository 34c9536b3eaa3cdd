// The macro page against the simulated mouse: macros from the device stored
// as files without disturbing the editor, macro files sent to a button,
// macro export files, and the settings export. Rows are written as "vA"
// (press of A), "^A" (release) and "50ms".
#include "buttons/ButtonForm.h"
#include "buttons/Buttoninterface.h"
#include "core/FlashDataMap.h"
#include "core/MacroCodec.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "dialogs/UpDataParam.h"
#include "macro/Macro.h"
#include "settings/FormSetting.h"
#include "support/dialogs_helpers.h"
#include "support/keys_input.h"
#include "support/link_helpers.h"
#include "support/modal_helpers.h"
#include "support/sim_helpers.h"

#include <QAbstractButton>
#include <QToolButton>
#include <QDataStream>
#include <QDir>
#include <QListWidget>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

#include <cstring>

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
        QTest::newRow("file of a macro not shown") << "m1" << true << true;
        QTest::newRow("writes not ready") << "m1" << false << false;
        QTest::newRow("no such file") << "zz" << true << false;
        QTest::newRow("name longer than a record") << QString(31, QLatin1Char('n')) << true << false;
    }

    void downloadSendsTheMacroFile()
    {
        QFETCH(QString, name);
        QFETCH(bool, ready);
        QFETCH(bool, sent);
        writeFile(pathOf(QString(31, QLatin1Char('n')) + ".ini"), "3\n0x04 1 0\n");
        // The save came after the button page's wait began; another macro is shown now.
        showMacro(QStringLiteral("m2"));
        FlashDataMap image = CurrentFlashDataCopy();
        image.ButtonFunction[2] = {6, 2, 3};
        StoreCurrentFlashData(image);
        DeviceWriteReady = ready ? 1 : 0;
        PostMsg::instance()->EmitMacroDownLoadData(name + QChar(0), 2);
        QVERIFY(linktest::waitSimIdle());

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

        // The shown macro goes out with its rows and comes back on another computer.
        const QString m1 = QDir::homePath() + QStringLiteral("/m1.exp");
        showMacro(QStringLiteral("m1"));
        Macro::setNextFileForTesting(m1);
        page()->ExPortMacro();
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
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QByteArray>("created");
        QTest::newRow("new name") << exportHead("Kvelt", "nn", 0) << "" << QByteArray("3\n");
        QTest::newRow("listed name") << exportHead("Kvelt", "m1", 0) << "SameMacro" << QByteArray();
        QTest::newRow("listed name, wrong tag") << exportHead("Other", "m1", 0) << "SameMacro" << QByteArray();
        QTest::newRow("wrong tag") << exportHead("Other", "nn", 0) << "" << QByteArray();
        QTest::newRow("2^31 - 1 rows") << exportHead("Kvelt", "nn", 0x7FFFFFFF) << "" << QByteArray();
        QTest::newRow("rows missing") << exportHead("Kvelt", "nn", 2) << "" << QByteArray();
        QTest::newRow("name over 30 bytes") << exportHead("Kvelt", QByteArray(31, 'n'), 0) << "" << QByteArray();
        QTest::newRow("name is a path") << exportHead("Kvelt", "../nn", 0) << "" << QByteArray();
    }

    void importChecksTheWholeFileFirst()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, dialog);
        QFETCH(QByteArray, created);
        const QString path = QDir::homePath() + QStringLiteral("/in.exp");
        writeFile(path, file);
        const int listed = macros()->count();
        const QStringList before = QDir(core::macroFolderPath()).entryList(QDir::Files);
        modaltest::ModalDriver driver;
        Macro::setNextFileForTesting(path);
        page()->InPortMacro();

        QCOMPARE(driver.seen(), dialog.isEmpty() ? QStringList() : QStringList{dialog});
        QCOMPARE(readFile(pathOf("m1.ini")), QByteArray("3\n0x04 1 0\n50ms\n0x04 1 1\n"));
        QCOMPARE(macros()->count(), listed + (created.isEmpty() ? 0 : 1));
        if (created.isEmpty())
            QCOMPARE(QDir(core::macroFolderPath()).entryList(QDir::Files), before);
        else
            QCOMPARE(readFile(pathOf("nn.ini")), created);
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
