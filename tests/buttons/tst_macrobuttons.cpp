#include "buttons/ButtonForm.h"
#include "buttons/Buttoninterface.h"
#include "core/DeviceParam.h"
#include "core/MacroCodec.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "devicelib/SimControl.h"
#include "support/link_helpers.h"
#include "support/sim_helpers.h"

#include <QDir>
#include <QFile>
#include <QScrollArea>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

namespace {

void writeMacroFiles(const QStringList& names, const QByteArray& text = "1\n")
{
    QDir folder(core::macroFolderPath());
    folder.removeRecursively();
    QVERIFY(folder.mkpath(QStringLiteral(".")));
    for (const QString& name : names) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    }
}

QList<QToolButton*> macroButtons(Buttoninterface& page)
{
    return page.form()->scrollArea_7->widget()->findChildren<QToolButton*>();
}

QToolButton* macroButton(Buttoninterface& page, const QString& name)
{
    for (QToolButton* b : macroButtons(page)) {
        if (b->text() == name)
            return b;
    }
    return nullptr;
}

QString hexAt(int offset, int size)
{
    return QString::fromLatin1(simtest::flash().mid(offset, size).toHex());
}

QString codeOf(int slot)
{
    return hexAt(0x4A + 3 * slot, 3);
}

MacroRecord namedRecord(const char* name)
{
    MacroRecord record{};
    core::setRecordName(record, QString::fromLatin1(name));
    record.EventCount = 1;
    record.Events[0] = MakeKeyEvent(0, 1, 0x04, 20);
    return record;
}

} // namespace

class TestMacroButtons : public QObject
{
    Q_OBJECT

private slots:
    void listing_data();
    void listing();
    void assign();
    void editsFollowTheCarriers();
    void deleteBeforeTheDumpSendsNothing();
};

void TestMacroButtons::listing_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("placeholders");
    QTest::newRow("three and the list") << QStringList{"m2.ini", "M1.ini", "m3.ini", "list.xml"}
                                        << QStringList{"M1", "m2", "m3"} << 4;
    QTest::newRow("seven") << QStringList{"a.ini", "b.ini", "c.ini", "d.ini", "e.ini", "f.ini", "g.ini"}
                           << QStringList{"a", "b", "c", "d", "e", "f", "g"} << 0;
    QTest::newRow("odd names") << QStringList{"a.ini.ini", "b.txt"} << QStringList{"a", "b.txt"} << 5;
    QTest::newRow("none") << QStringList() << QStringList() << 0;
}

void TestMacroButtons::listing()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, names);
    QFETCH(int, placeholders);
    writeMacroFiles({"x.ini", "y.ini"});
    Buttoninterface page;
    QCOMPARE(page.MacroButtons(), QStringList({"x", "y"}));
    writeMacroFiles(files);
    page.SlotAddMacroButton();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(page.MacroButtons(), names);
    int disabled = 0;
    for (QToolButton* b : macroButtons(page))
        disabled += b->isEnabled() ? 0 : 1;
    QCOMPARE(disabled, placeholders);
    QCOMPARE(macroButtons(page).size(), names.size() + placeholders);
}

void TestMacroButtons::assign()
{
    auto pages = linktest::openFreshDefaultMouse();
    QVERIFY(pages);
    DeviceWriteReady = 1;
    Buttoninterface& page = *pages->buttons;
    const QString longName(31, QLatin1Char('n'));
    writeMacroFiles({"m1.ini", longName + ".ini"}, "3\n0x04 1 0\n50ms\n0x04 1 1\n");
    page.SlotAddMacroButton();

    page.form()->button("BackKey")->click();
    macroButton(page, QStringLiteral("m1"))->click();
    QVERIFY(linktest::waitSimIdle());
    QCOMPARE(codeOf(2), QStringLiteral("060203"));
    QCOMPARE(hexAt(0x85C, 48), QStringLiteral("026d31") + QString(56, QLatin1Char('0'))
                                    + QStringLiteral("02" "0001040032000000" "0101040000000000"));
    QCOMPARE(page.form()->button("BackKey")->text(), page.MacroLabelPrefix() + QStringLiteral("m1"));
    QCOMPARE(page.Types().at(2), 6);
    QCOMPARE(page.form()->stackedWidget->currentWidget(), page.form()->page);

    // A name the record cannot hold would come back from the mouse as another macro.
    const QString before = codeOf(5);
    page.form()->button("BackMusic")->click();
    macroButton(page, longName)->click();
    QVERIFY(linktest::waitSimIdle());
    QCOMPARE(codeOf(5), before);
}

void TestMacroButtons::editsFollowTheCarriers()
{
    auto pages = linktest::openFreshDefaultMouse();
    QVERIFY(pages);
    DeviceWriteReady = 1;
    Buttoninterface& page = *pages->buttons;
    KeyRecord keys{};
    keys.EventCount = 2;
    keys.Events[0] = MakeKeyEvent(0, 1, 0x04, 10);
    QVERIFY(SetButtonKeys(5, {5, 0, 0}, keys));
    QVERIFY(SetButtonMacro(1, {6, 1, 2}, namedRecord("abcdef")));
    QVERIFY(SetButtonMacro(5, {6, 5, 2}, namedRecord("abcdef")));
    QVERIFY(SetButtonMacro(3, {6, 3, 1}, namedRecord("../x")));
    QSignalSpy toMacroPage(PostMsg::instance(), &PostMsg::SigButtonToMacro);
    page.SlotUpDataButtonUIB(CurrentFlashDataCopy());
    // A name from the mouse that is no safe file name stays on the label only.
    QCOMPARE(toMacroPage.count(), 2);
    QCOMPARE(page.form()->button("TopMusic")->text(), page.MacroLabelPrefix() + QStringLiteral("../x"));

    // Carriers are told by their records, whatever their labels show.
    page.form()->button("RightKey")->setText(QStringLiteral("stale"));
    page.SlotMacroRename(QStringLiteral("abcdef"), QStringLiteral("gh"));
    QVERIFY(linktest::waitSimIdle());
    for (int slot : {1, 5})
        QCOMPARE(hexAt(0x3BC + 592 * slot, 32), QStringLiteral("026768") + QString(56, QLatin1Char('0')) + "01");
    QCOMPARE(page.form()->button("RightKey")->text(), page.MacroLabelPrefix() + QStringLiteral("gh"));

    writeMacroFiles({"gh.ini"}, "7\n0x04 1 0\n");
    page.SlotUpDataMacro(QStringLiteral("gh"), 1);
    QVERIFY(linktest::waitSimIdle());
    QCOMPARE(codeOf(1), QStringLiteral("060107"));
    QSignalSpy download(PostMsg::instance(), &PostMsg::SigMacroDownLoadData);
    page.SlotUpDataMacro(QStringLiteral("gh"), 0);
    QCOMPARE(download.count(), 2);
    QCOMPARE(download.at(1), QVariantList({QStringLiteral("gh"), 5}));

    page.SlotDeleteMacroButton(page.MacroLabelPrefix() + QStringLiteral("gh"));
    QVERIFY(linktest::waitSimIdle());
    QCOMPARE(codeOf(1), QStringLiteral("010200"));
    QCOMPARE(codeOf(5), QStringLiteral("020100"));
    QCOMPARE(hexAt(0x7C + 52 * 5, 52), QString(104, QLatin1Char('0')));
    QVERIFY(!page.form()->button("BackMusic")->isChecked());

    SimControl_ClearCallLog();
    page.SlotDeleteMacroButton(page.MacroLabelPrefix() + QStringLiteral("none"));
    QVERIFY(linktest::waitSimIdle());
    QCOMPARE(simtest::countCalls(simtest::callLog(), QStringLiteral("ProtocolDataUpdate")), 1);
}

void TestMacroButtons::deleteBeforeTheDumpSendsNothing()
{
    QVERIFY(simtest::loadScenario());
    linktest::LinkPages pages;
    SimControl_ClearCallLog();
    pages.buttons->SlotDeleteMacroButton(QStringLiteral("Macro_m1"));
    QVERIFY(linktest::waitSimIdle());
    QCOMPARE(simtest::countCalls(simtest::callLog(), QStringLiteral("ProtocolDataUpdate")), 0);
}

QTEST_MAIN(TestMacroButtons)
#include "tst_macrobuttons.moc"
