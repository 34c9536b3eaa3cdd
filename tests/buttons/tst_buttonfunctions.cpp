#include "buttons/ButtonForm.h"
#include "buttons/Buttoninterface.h"
#include "core/DeviceParam.h"
#include "core/DpiCodes.h"
#include "core/KeyTable.h"
#include "core/MacroCodec.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/SensorDefines.h"
#include "devicelib/SimControl.h"
#include "dialogs/GroupKey.h"
#include "support/dialogs_helpers.h"
#include "support/link_helpers.h"
#include "support/modal_helpers.h"
#include "support/sim_helpers.h"

#include <QCheckBox>
#include <QDir>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

using modaltest::ModalDriver;

namespace {

// Bytes of the mouse's flash as hex; `hex` is padded with zero bytes to `size`.
QString flashAt(int offset, int size)
{
    return QString::fromLatin1(simtest::flash().mid(offset, size).toHex());
}
QString padded(const char* hex, int size)
{
    return QString::fromLatin1(hex).toLower().leftJustified(2 * size, QLatin1Char('0'));
}
QString codeOf(int slot)
{
    return flashAt(0x4A + 3 * slot, 3);
}
QString keysOf(int slot)
{
    return flashAt(0x7C + 52 * slot, 52);
}

QToolButton* btn(Buttoninterface& page, const char* name)
{
    return page.form()->button(name);
}

// A scroll bar stops at its end, so a step past it reads as the end.
bool listAt(Buttoninterface& page, const char* area, int position)
{
    const QScrollBar* bar = page.form()->scrollArea(area)->verticalScrollBar();
    return bar->value() == qMin(position, bar->maximum());
}

// The default mouse on a shown page (the lists scroll only when laid out).
std::unique_ptr<linktest::LinkPages> openShown()
{
    auto pages = linktest::openFreshDefaultMouse();
    DeviceWriteReady = 1;
    if (pages)
        pages->buttons->show();
    return pages && QTest::qWaitForWindowExposed(pages->buttons.get()) ? std::move(pages) : nullptr;
}

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

MacroRecord namedRecord(const char* name)
{
    MacroRecord record{};
    core::setRecordName(record, QString::fromLatin1(name));
    record.EventCount = 1;
    record.Events[0] = MakeKeyEvent(0, 1, 0x04, 20);
    return record;
}

} // namespace

class TestButtonFunctions : public QObject
{
    Q_OBJECT

private slots:
    void assignmentReachesTheMouse_data()
    {
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QString>("code");   // "": asleep, nothing may change
        QTest::addColumn<QString>("label");  // "-800": DPI_4's text first; "": the widget's text
        const char* rows[][4] = {
            {"middle", "MidKey", "010400", ""},           {"scroll left", "VolumeUp_2", "030100", ""},
            {"scroll up", "VolumeUp_14", "0b0100", ""},   {"DPI cycle", "VolumeUp_8", "020100", ""},
            {"DPI up", "VolumeUp_9", "020200", ""},       {"DPI down", "VolumeUp_10", "020300", ""},
            {"no function", "DPI_5", "000000", ""},       {"report rate", "DPI_2", "070000", ""},
            {"light strip", "VolumeUp_6", "080300", ""},  {"lock 800", "VolumeUp_22", "0a0f00", "-800"},
            {"lock 500", "VolumeUp_15", "0a0900", "-500"}, {"lock 400", "VolumeUp_16", "0a0700", "-400"},
            {"stop", "Mute", "050000", ""},               {"asleep", "MidKey", "", ""},
        };
        for (const auto& row : rows)
            QTest::newRow(row[0]) << row[1] << row[2] << row[3];
    }

    void assignmentReachesTheMouse()
    {
        QFETCH(QString, widget);
        QFETCH(QString, code);
        QFETCH(QString, label);
        auto pages = openShown();
        QVERIFY(pages);
        Buttoninterface& page = *pages->buttons;
        btn(page, "StartPause")->click();
        QCOMPARE(page.form()->stackedWidget->currentWidget(), page.form()->page_2);
        const QString before = codeOf(4);
        const QString beforeLabel = btn(page, "StartPause")->text();
        const QVector<int> beforeTypes = page.Types();
        QVERIFY(SimControl_SetAwake("Mouse1", !code.isEmpty()));
        QSignalSpy offline(PostMsg::instance(), &PostMsg::SigMouseOffLineo);

        btn(page, widget.toLatin1().constData())->click();
        QVERIFY(linktest::waitSimIdle());
        QCOMPARE(page.form()->stackedWidget->currentWidget(), page.form()->page);
        QCOMPARE(page.form()->stackedWidget_2->currentWidget(), page.form()->page_9);
        QCOMPARE(offline.count(), code.isEmpty() ? 1 : 0);
        if (code.isEmpty()) {
            QCOMPARE(codeOf(4), before);
            QCOMPARE(btn(page, "StartPause")->text(), beforeLabel);
            QCOMPARE(page.Types(), beforeTypes);
            return;
        }
        QCOMPARE(codeOf(4), code);
        QCOMPARE(page.Types().at(4), code.left(2).toInt(nullptr, 16));
        QCOMPARE(page.Params1().at(4), code.mid(2, 2).toInt(nullptr, 16));
        const QString own = btn(page, widget.toLatin1().constData())->text();
        QCOMPARE(btn(page, "StartPause")->text(), label.isEmpty() ? own : btn(page, "DPI_4")->text() + label);
    }

    void fireKey()
    {
        auto pages = openShown();
        QVERIFY(pages);
        Buttoninterface& page = *pages->buttons;
        btn(page, "StartPause")->click();
        // A double click sends before any dialog was confirmed: the dialog's
        // own start values go out, then the dialog opens.
        {
            ModalDriver closer;
            emit btn(page, "DPI_6")->clicked(true);
            QCOMPARE(closer.seen(), QStringList({"FireKey"}));
        }
        QVERIFY(linktest::waitSimIdle());
        QCOMPARE(codeOf(4), QStringLiteral("040a03"));

        QList<int> presets;
        const auto answer = [&presets](int interval, int count, const char* button) {
            return [&presets, interval, count, button](QWidget* modal) {
                auto* time = modal->findChild<QSpinBox*>(QStringLiteral("Time"));
                auto* shots = modal->findChild<QSpinBox*>(QStringLiteral("Count"));
                presets = {time->value(), shots->value()};
                time->setValue(interval);
                shots->setValue(count);
                modal->findChild<QAbstractButton*>(QString::fromLatin1(button))->click();
            };
        };
        {
            ModalDriver driver(answer(50, 2, "NewHong"));
            page.on_DPI_6_clicked();
        }
        QVERIFY(linktest::waitSimIdle());
        QCOMPARE(codeOf(4), QStringLiteral("043202"));
        QCOMPARE(btn(page, "StartPause")->text(), btn(page, "DPI_6")->text());
        // The dialog opens on the button's stored values whatever its label says.
        btn(page, "StartPause")->setText(QStringLiteral("renamed"));
        {
            ModalDriver driver(answer(99, 1, "NewHong_2"));
            page.on_DPI_6_clicked();
        }
        QCOMPARE(presets, QList<int>({50, 2}));
        QCOMPARE(codeOf(4), QStringLiteral("043202"));
    }

    void keysAndMultimedia()
    {
        auto pages = openShown();
        QVERIFY(pages);
        Buttoninterface& page = *pages->buttons;
        btn(page, "StartPause")->click();
        {
            ModalDriver driver([](QWidget* modal) {
                modal->findChild<QCheckBox*>(QStringLiteral("Ctrl"))->setChecked(true);
                qobject_cast<GroupKey*>(modal)->on_lineEdit_textEdited(QStringLiteral("a"));
                modal->findChild<QAbstractButton*>(QStringLiteral("NewHong"))->click();
            });
            emit btn(page, "DPI_8")->clicked(false);
            QCOMPARE(driver.seen(), QStringList({"GroupKey"}));
        }
        QVERIFY(linktest::waitSimIdle());
        QCOMPARE(codeOf(4), QStringLiteral("050000"));
        QCOMPARE(keysOf(4), padded("04000000" "000001000A000000" "000104000A000000" "010104000A000000"
                                   "010001000A000000", 52));
        QCOMPARE(btn(page, "StartPause")->text(), QStringLiteral("Ctrl+A"));
        QCOMPARE(page.form()->stackedWidget->currentWidget(), page.form()->page_2);

        // The low byte of the usage or the whole usage names the same key.
        page.AssignMultimediaKey(3, 131);
        page.AssignMultimediaKey(2, 0x0183);
        QVERIFY(linktest::waitSimIdle());
        QCOMPARE(btn(page, "TopMusic")->text(), btn(page, "Player")->text());
        for (int slot : {2, 3}) {
            QCOMPARE(codeOf(slot), QStringLiteral("050000"));
            QCOMPARE(keysOf(slot), padded("02000000" "000283010A000000" "010283010A000000", 52));
        }
        SimControl_ClearCallLog();
        page.AssignMultimediaKey(3, 100);
        page.AssignMultimediaKey(6, 131);
        QVERIFY(linktest::waitSimIdle());
        QCOMPARE(simtest::countCalls(simtest::callLog(), QStringLiteral("ProtocolDataUpdate")), 0);
    }

    void menuOpensOnTheFunction_data()
    {
        QTest::addColumn<QString>("selector");
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("value");         // param1, a DPI for type 10, a consumer usage for type 5
        QTest::addColumn<QString>("checked");   // entry,choice; "": none
        QTest::addColumn<QString>("page");      // "": the menu keeps its state
        QTest::addColumn<QList<int>>("lists");  // function, multimedia, DPI list; -1: not looked at
        QTest::newRow("volume down") << "StartPause" << 4 << 5 << 0xEA << "DPI_12,VolumeDown_4" << "page_3"
                                     << QList<int>{240, 105, -1};
        QTest::newRow("back, row 2") << "RightKey" << 1 << 5 << 0x224 << "DPI_12,VolumeDown_10" << "page_3"
                                     << QList<int>{240, 210, -1};
        QTest::newRow("back, row 3") << "BackKey" << 2 << 5 << 0x224 << "DPI_12,VolumeDown_10" << "page_3"
                                     << QList<int>{240, 195, -1};
        QTest::newRow("lock 800") << "TopMusic" << 3 << 10 << 800 << "DPI_4,VolumeUp_22" << "page_8"
                                  << QList<int>{225, -1, 105};
        QTest::newRow("lock 1600") << "TopMusic" << 3 << 10 << 1600 << "DPI_4" << "page_8"
                                   << QList<int>{225, -1, 0};
        QTest::newRow("wheel down") << "BackMusic" << 5 << 11 << 2 << "DPI_13,VolumeDown_14" << "page_10"
                                    << QList<int>{150, -1, 0};
        QTest::newRow("type 12") << "BackMusic" << 5 << 12 << 0 << "" << "" << QList<int>{0, -1, 0};
    }

    void menuOpensOnTheFunction()
    {
        QFETCH(QString, selector);
        QFETCH(int, slot);
        QFETCH(int, type);
        QFETCH(int, value);
        QFETCH(QString, checked);
        QFETCH(QString, page);
        QFETCH(QList<int>, lists);
        auto pages = openShown();
        QVERIFY(pages);
        Buttoninterface& p = *pages->buttons;
        if (type == 5) {
            QVERIFY(SetButtonKeys(slot, {5, 0, 0}, core::MakeConsumerKeyRecord(quint8(value >> 8), quint8(value))));
        } else {
            const int code =
                type == 10 ? core::DpiToSensorCode(core::SharedSensorDefines(), p.SensorName(), value) : value;
            QVERIFY(SetButtonFunction(slot, quint8(type), quint8(code), 0));
        }
        p.SlotUpDataButtonUIB(CurrentFlashDataCopy());
        QWidget* const menuBefore = p.form()->stackedWidget->currentWidget();

        btn(p, selector.toLatin1().constData())->click();
        QStringList names;
        for (QWidget* area : {p.form()->page_2, static_cast<QWidget*>(p.form()->stackedWidget_2)}) {
            for (QToolButton* b : area->findChildren<QToolButton*>())
                names << (b->isChecked() ? b->objectName() : QString());
        }
        names.removeAll(QString());
        QCOMPARE(names.join(QLatin1Char(',')), checked);
        QCOMPARE(p.form()->stackedWidget->currentWidget(), page.isEmpty() ? menuBefore : p.form()->page_2);
        if (!page.isEmpty())
            QCOMPARE(p.form()->stackedWidget_2->currentWidget()->objectName(), page);
        const char* areas[] = {"scrollArea_4", "scrollArea_3", "scrollArea_10"};
        for (int i = 0; i < 3; ++i)
            QVERIFY2(lists[i] < 0 || listAt(p, areas[i], lists[i]), areas[i]);
    }

    void lastLeftClickStays()
    {
        auto pages = openShown();
        QVERIFY(pages);
        Buttoninterface& page = *pages->buttons;
        ButtonForm* ui = page.form();
        QCOMPARE(codeOf(0), QStringLiteral("010100"));
        ModalDriver notices;
        btn(page, "FireKey")->click();
        QCOMPARE(notices.seen(), QStringList({"LeftButtonOnly"}));
        QVERIFY(!btn(page, "FireKey")->isChecked());
        QCOMPARE(ui->stackedWidget->currentWidget(), ui->page);

        // Selected by its number while the menu is open for another button, the
        // only left-click button still cannot lose it, by any kind of function.
        btn(page, "StartPause")->click();
        btn(page, "Number1")->click();
        QVERIFY(btn(page, "FireKey")->isChecked());
        QCOMPARE(ui->stackedWidget->currentWidget(), ui->page_2);
        const QByteArray before = simtest::flash();
        btn(page, "RightKey_3")->click();
        btn(page, "Number1")->click();
        btn(page, "VolumeUp_22")->click();
        page.AssignMultimediaKey(0, 131);
        page.AssignKeyCombo(0, QStringLiteral("A"));
        QVERIFY(linktest::waitSimIdle());
        QCOMPARE(simtest::flash(), before);
        QCOMPARE(notices.seen().count(), 5);
        QVERIFY(!btn(page, "FireKey")->isChecked());

        // With two left-click buttons either may change.
        QVERIFY(SetButtonFunction(2, 1, 1, 0));
        page.SlotUpDataButtonUIB(CurrentFlashDataCopy());
        btn(page, "FireKey")->click();
        QVERIFY(btn(page, "LeftKey_3")->isChecked());
        btn(page, "RightKey_3")->click();
        QVERIFY(linktest::waitSimIdle());
        QCOMPARE(codeOf(0), QStringLiteral("010200"));
        QCOMPARE(notices.seen().count(), 5);
    }

    void macroListing_data()
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

    void macroListing()
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
        QCOMPARE(macroButtons(page).size(), names.size() + placeholders);
    }

    void macroAssign()
    {
        auto pages = openShown();
        QVERIFY(pages);
        Buttoninterface& page = *pages->buttons;
        writeMacroFiles({"m1.ini"}, "3\n0x04 1 0\n50ms\n0x04 1 1\n");
        page.SlotAddMacroButton();
        const auto clickMacro = [&page](const QString& name) {
            for (QToolButton* b : macroButtons(page)) {
                if (b->text() == name && b->isVisible())
                    b->click();
            }
        };
        btn(page, "BackKey")->click();
        btn(page, "DPI_10")->click();
        QCOMPARE(page.form()->stackedWidget_2->currentWidget(), page.form()->page_5);
        clickMacro(QStringLiteral("m1"));
        QVERIFY(linktest::waitSimIdle());
        QCOMPARE(codeOf(2), QStringLiteral("060203"));
        QCOMPARE(flashAt(0x85C, 48), padded("026d31", 31) + "02" "0001040032000000" "0101040000000000");
        QCOMPARE(btn(page, "BackKey")->text(), page.MacroLabelPrefix() + QStringLiteral("m1"));
        QCOMPARE(page.Types().at(2), 6);
        QCOMPARE(page.form()->stackedWidget->currentWidget(), page.form()->page);
    }

    void macroTheRecordCannotHoldIsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("keys");
        QTest::addColumn<QString>("notice");  // "" when the macro is sent
        // Either would come back from the mouse as another, shorter macro.
        QTest::newRow("name over 30 bytes") << QString(31, QLatin1Char('n')) << 1 << "NameTooLong";
        QTest::newRow("71 events") << "long" << 71 << "MacroTooLong";
        QTest::newRow("70 events") << "long" << 70 << "";
    }

    void macroTheRecordCannotHoldIsRefused()
    {
        QFETCH(QString, name);
        QFETCH(int, keys);
        QFETCH(QString, notice);
        auto pages = openShown();
        QVERIFY(pages);
        Buttoninterface& page = *pages->buttons;
        QByteArray text = "3\n";
        for (int i = 0; i < keys; ++i)
            text += i % 2 ? "0x04 1 1\n20ms\n" : "0x04 1 0\n20ms\n";
        writeMacroFiles({name + ".ini"}, text);
        page.SlotAddMacroButton();
        const QString before = codeOf(5);
        btn(page, "BackMusic")->click();
        btn(page, "DPI_10")->click();
        QStringList notices;
        {
            modaltest::ModalDriver driver(modaltest::keepNoticeText(&notices));
            for (QToolButton* b : macroButtons(page)) {
                if (b->text() == name && b->isVisible())
                    b->click();
            }
            QVERIFY(linktest::waitSimIdle());
        }
        const QString said = notice.isEmpty() ? QString() : dialogtest::shippedText(0, "MakeMacro", notice);
        QCOMPARE(notices, notice.isEmpty() ? QStringList() : QStringList{"MakeMacro: " + said});
        QCOMPARE(codeOf(5) == before, !notice.isEmpty());
        QCOMPARE(page.form()->stackedWidget->currentWidget(), page.form()->page);
        QFile file(core::macroFolderPath() + "/" + name + ".ini");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), text);
    }

    void macroEditsFollowTheirButtons()
    {
        auto pages = openShown();
        QVERIFY(pages);
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
        QCOMPARE(btn(page, "TopMusic")->text(), page.MacroLabelPrefix() + QStringLiteral("../x"));

        // Carriers are told by their records, whatever their labels show.
        btn(page, "RightKey")->setText(QStringLiteral("stale"));
        page.SlotMacroRename(QStringLiteral("abcdef"), QStringLiteral("gh"));
        QVERIFY(linktest::waitSimIdle());
        for (int slot : {1, 5})
            QCOMPARE(flashAt(0x3BC + 592 * slot, 32), padded("026768", 31) + "01");
        QCOMPARE(btn(page, "RightKey")->text(), page.MacroLabelPrefix() + QStringLiteral("gh"));

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
        QCOMPARE(keysOf(5), padded("", 52));
        QVERIFY(!btn(page, "BackMusic")->isChecked());
        SimControl_ClearCallLog();
        page.SlotDeleteMacroButton(page.MacroLabelPrefix() + QStringLiteral("none"));
        QVERIFY(linktest::waitSimIdle());
        QCOMPARE(simtest::countCalls(simtest::callLog(), QStringLiteral("ProtocolDataUpdate")), 1);

        // Before the open mouse's own image has arrived nothing is sent.
        pages.reset();
        QVERIFY(simtest::loadScenario());
        linktest::LinkPages unopened;
        SimControl_ClearCallLog();
        unopened.buttons->SlotDeleteMacroButton(QStringLiteral("Macro_m1"));
        QVERIFY(linktest::waitSimIdle());
        QCOMPARE(simtest::countCalls(simtest::callLog(), QStringLiteral("ProtocolDataUpdate")), 0);
    }
};

QTEST_MAIN(TestButtonFunctions)
#include "tst_buttonfunctions.moc"
