#include "buttons/ButtonForm.h"
#include "buttons/Buttoninterface.h"
#include "core/DeviceParam.h"
#include "core/DpiCodes.h"
#include "core/KeyTable.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/SensorDefines.h"
#include "devicelib/SimControl.h"
#include "dialogs/GroupKey.h"
#include "support/link_helpers.h"
#include "support/modal_helpers.h"
#include "support/sim_helpers.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

using modaltest::ModalDriver;

namespace {

constexpr int kKeyRecordBytes = 52;

// A slot's function code (hex) and key record as the mouse holds them.
QString codeOf(int slot)
{
    return QString::fromLatin1(simtest::flash().mid(0x4A + 3 * slot, 3).toHex());
}

QByteArray keysOf(int slot)
{
    return simtest::flash().mid(0x7C + kKeyRecordBytes * slot, kKeyRecordBytes);
}

// A 52-byte record from the hex of its first bytes, zero after them.
QByteArray record(const char* hex)
{
    QByteArray bytes = QByteArray::fromHex(hex);
    return bytes + QByteArray(kKeyRecordBytes - bytes.size(), '\0');
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

// The default mouse opened on a shown page (the lists scroll only when laid out).
std::unique_ptr<linktest::LinkPages> openShown()
{
    auto pages = linktest::openFreshDefaultMouse();
    if (!pages)
        return nullptr;
    DeviceWriteReady = 1;
    pages->buttons->show();
    if (!QTest::qWaitForWindowExposed(pages->buttons.get()))
        return nullptr;
    return pages;
}

} // namespace

class TestButtonFunctions : public QObject
{
    Q_OBJECT

private slots:
    void assignmentReachesTheMouse_data();
    void assignmentReachesTheMouse();
    void fireKey();
    void keysAndMultimedia();
    void menuOpensOnTheFunction_data();
    void menuOpensOnTheFunction();
    void lastLeftClickStays();
};

void TestButtonFunctions::assignmentReachesTheMouse_data()
{
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QString>("code");   // "": asleep, nothing may change
    QTest::addColumn<QString>("label");  // "-800": DPI_4's text first; "": the widget's text
    const char* rows[][4] = {
        {"middle", "MidKey", "010400", ""},         {"scroll left", "VolumeUp_2", "030100", ""},
        {"scroll up", "VolumeUp_14", "0b0100", ""}, {"DPI cycle", "VolumeUp_8", "020100", ""},
        {"DPI up", "VolumeUp_9", "020200", ""},     {"DPI down", "VolumeUp_10", "020300", ""},
        {"no function", "DPI_5", "000000", ""},     {"report rate", "DPI_2", "070000", ""},
        {"light strip", "VolumeUp_6", "080300", ""}, {"lock 800", "VolumeUp_22", "0a0f00", "-800"},
        {"lock 500", "VolumeUp_15", "0a0900", "-500"}, {"lock 400", "VolumeUp_16", "0a0700", "-400"},
        {"stop", "Mute", "050000", ""},             {"asleep", "MidKey", "", ""},
    };
    for (const auto& row : rows)
        QTest::newRow(row[0]) << row[1] << row[2] << row[3];
}

void TestButtonFunctions::assignmentReachesTheMouse()
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

void TestButtonFunctions::fireKey()
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

void TestButtonFunctions::keysAndMultimedia()
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
    QCOMPARE(keysOf(4), record("04000000" "000001000A000000" "000104000A000000" "010104000A000000"
                               "010001000A000000"));
    QCOMPARE(btn(page, "StartPause")->text(), QStringLiteral("Ctrl+A"));
    QCOMPARE(page.form()->stackedWidget->currentWidget(), page.form()->page_2);

    // The low byte of the usage or the whole usage names the same key.
    page.AssignMultimediaKey(3, 131);
    page.AssignMultimediaKey(2, 0x0183);
    QVERIFY(linktest::waitSimIdle());
    QCOMPARE(btn(page, "TopMusic")->text(), btn(page, "Player")->text());
    for (int slot : {2, 3}) {
        QCOMPARE(codeOf(slot), QStringLiteral("050000"));
        QCOMPARE(keysOf(slot), record("02000000" "000283010A000000" "010283010A000000"));
    }
    SimControl_ClearCallLog();
    page.AssignMultimediaKey(3, 100);
    page.AssignMultimediaKey(6, 131);
    QVERIFY(linktest::waitSimIdle());
    QCOMPARE(simtest::countCalls(simtest::callLog(), QStringLiteral("ProtocolDataUpdate")), 0);
}

void TestButtonFunctions::menuOpensOnTheFunction_data()
{
    QTest::addColumn<QString>("selector");
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("value");      // param1, a DPI for type 10, a consumer usage for type 5
    QTest::addColumn<QString>("checked");  // entry,choice; "": none
    QTest::addColumn<QString>("page");     // "": the menu keeps its state
    QTest::addColumn<QList<int>>("lists");  // function, multimedia, DPI list; -1: not looked at
    QTest::newRow("volume down") << "StartPause" << 4 << 5 << 0xEA << "DPI_12,VolumeDown_4" << "page_3"
                                 << QList<int>{240, 105, -1};
    QTest::newRow("back, row 2") << "RightKey" << 1 << 5 << 0x224 << "DPI_12,VolumeDown_10" << "page_3"
                                 << QList<int>{240, 210, -1};
    QTest::newRow("back, row 3") << "BackKey" << 2 << 5 << 0x224 << "DPI_12,VolumeDown_10" << "page_3"
                                 << QList<int>{240, 195, -1};
    QTest::newRow("lock 800") << "TopMusic" << 3 << 10 << 800 << "DPI_4,VolumeUp_22" << "page_8"
                              << QList<int>{225, -1, 105};
    QTest::newRow("lock 1600") << "TopMusic" << 3 << 10 << 1600 << "DPI_4" << "page_8" << QList<int>{225, -1, 0};
    QTest::newRow("wheel down") << "BackMusic" << 5 << 11 << 2 << "DPI_13,VolumeDown_14" << "page_10"
                                << QList<int>{150, -1, 0};
    QTest::newRow("type 12") << "BackMusic" << 5 << 12 << 0 << "" << "" << QList<int>{0, -1, 0};
}

void TestButtonFunctions::menuOpensOnTheFunction()
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
        const int code = type == 10 ? core::DpiToSensorCode(core::SharedSensorDefines(), p.SensorName(), value) : value;
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
    for (int i = 0; i < 3; ++i) {
        if (lists[i] >= 0)
            QVERIFY2(listAt(p, areas[i], lists[i]), areas[i]);
    }
}

void TestButtonFunctions::lastLeftClickStays()
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

QTEST_MAIN(TestButtonFunctions)
#include "tst_buttonfunctions.moc"
