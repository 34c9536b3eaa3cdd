#include "core/AppPaths.h"
#include "core/DeviceScan.h"
#include "core/FileIo.h"
#include "core/Firmware.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Registry.h"
#include "devicelib/SimControl.h"
#include "settings/UpDateRepair.h"
#include "support/choice_helpers.h"
#include "support/dialogs_helpers.h"
#include "support/full_disk.h"
#include "support/modal_helpers.h"
#include "support/sim_helpers.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {

const QString kFail = QStringLiteral("UpdateFailInfo");

// A mouse on its cable, or a class-4 receiver, of model 1 as the choice page lists them.
DeviceAllInfo listed(bool cableMouse)
{
    const core::ProductIds ids = core::ProductIds::read();
    DeviceAllInfo device;
    device.DevicePath = QString::fromLatin1(SimControl_DevicePath(cableMouse ? "Mouse1" : "Receiver1"));
    device.Pid = cableMouse ? ids.usb.value(0) : ids.w4k.value(0);
    device.Cid = 33;
    device.Mid = 1;
    device.DriveIndex = 0;
    device.SetDeviceKind(cableMouse ? 2 : 1);
    return device;
}

void listDevices(const QList<DeviceAllInfo>& devices)
{
    TileDeviceList = devices;
    FoundDeviceList = devices;
}

QString english(const char* child)
{
    return dialogtest::shippedText(0, QStringLiteral("AutoRepair"), QLatin1String(child));
}

QString recorded()
{
    return Registry::Value(Registry::DriveTestKey(), kFail);
}

// What a user sees once an update has ended, and whether a button closed the dialog.
struct Outcome {
    bool ended = false;
    bool messageShown = false;
    QString message;
    QStringList buttons;  // the texts of the shown buttons
    int percent = -1;
    bool closeEnabled = false;
    bool closed = false;
};

// Waits for the end of the update, notes what shows, then closes the dialog
// with the button meant for it (the dialog is forced shut when none works, so
// that an exec() returns).
Outcome readOutcome(QDialog* dialog, const QStringList& endTexts)
{
    Outcome seen;
    auto* tipLabel = dialog->findChild<QLabel*>(QStringLiteral("ToolText_2"));
    seen.ended = QTest::qWaitFor(
        [&] { return RepairUpgrading == 0 && UpgradeProgressSeen == 0 && endTexts.contains(tipLabel->text()); },
        20000);
    seen.messageShown = tipLabel->isVisible();
    seen.message = tipLabel->text();
    QToolButton* closer = nullptr;
    for (const char* name : {"NewHong_2", "NewHong"}) {
        auto* button = dialog->findChild<QToolButton*>(QLatin1String(name));
        if (button->isVisible() && button->isEnabled()) {
            seen.buttons << button->text();
            closer = button;
        }
    }
    seen.closeEnabled = dialog->findChild<QToolButton*>(QStringLiteral("CloseButton"))->isEnabled();
    seen.percent = dialog->findChild<QProgressBar*>(QStringLiteral("progressBar_2"))->value();
    if (closer)
        closer->click();
    seen.closed = !dialog->isVisible();
    if (!seen.closed)
        dialog->done(0);
    return seen;
}

} // namespace

class TestUpDateRepair : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void checkRefusals_data();
    void checkRefusals();
    void failedStageThenTwoStageRepair();
    void startRefusedOrStalledFails_data();
    void startRefusedOrStalledFails();
    void autoRepairWritesOrFails_data();
    void autoRepairWritesOrFails();
    void failedRepairRecordsItsStage_data();
    void failedRepairRecordsItsStage();
    void resumedRepairRunsBothStages_data();
    void resumedRepairRunsBothStages();
    void outcomeIsToldOnEveryPath_data();
    void outcomeIsToldOnEveryPath();
    void unwritableRecordStartsNothing_data();
    void unwritableRecordStartsNothing();

private:
    QString tip() const { return m_dialog->findChild<QLabel*>(QStringLiteral("ToolText_2"))->text(); }
    QToolButton* button(const char* name) const { return m_dialog->findChild<QToolButton*>(QLatin1String(name)); }
    QString m_binDir;
    std::unique_ptr<UpDateRepair> m_dialog;
};

void TestUpDateRepair::initTestCase()
{
    RegisterBusTypes();
    const QString app = choicetest::prepareAppDir();
    m_binDir = app + QStringLiteral("/bin");
    const QDir shipped(QCoreApplication::applicationDirPath() + QStringLiteral("/bin"));
    for (const QString& file : shipped.entryList({QStringLiteral("*.bin")}, QDir::Files))
        QVERIFY(QFile::copy(shipped.filePath(file), m_binDir + QLatin1Char('/') + file));
    const core::ProductIds ids = core::ProductIds::read();
    Wireless1kPidList = ids.w1k;
    Wireless2kPidList = ids.w2k;
    Wireless4kPidList = ids.w4k;
    Wireless8kPidList = ids.w8k;
}

void TestUpDateRepair::init()
{
    QVERIFY(simtest::loadScenario(QStringLiteral("[Mouse1]\nModel=1\nCable=true\nVersion=0x0105\n"
                                                 "[Receiver1]\nClass=4\nMouse=Mouse1\nVersion=0x0103\n")));
    Registry::Remove(Registry::DriveTestKey(), kFail);
    QFile::remove(core::UpDateLogFile());
    MainPageIndex = 0;
    m_dialog = std::make_unique<UpDateRepair>();
    m_dialog->ResetUi();
    m_dialog->show();
}

void TestUpDateRepair::cleanup()
{
    QTRY_COMPARE(int(RepairUpgrading), 0);
    m_dialog.reset();
    listDevices({});
}

void TestUpDateRepair::checkRefusals_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QList<bool>>("cableMice");  // the listed devices, in order
    QTest::addColumn<QStringList>("inBoot");
    QTest::addColumn<QString>("message");        // empty: ready
    QTest::addColumn<bool>("mouseAsleep");

    const QString receiverFailed = QStringLiteral("211,4,33,1");
    QTest::newRow("ready") << receiverFailed << QList<bool>{true} << QStringList{"Receiver1"}
                           << QStringLiteral("ReadyUpdate") << false;
    QTest::newRow("receiver listed first") << receiverFailed << QList<bool>{false, true} << QStringList{"Receiver1"}
                                           << QStringLiteral("NoUSB") << false;
    QTest::newRow("mouse failed, cable mouse first") << QStringLiteral("210,4,33,1") << QList<bool>{true}
                                                     << QStringList{"Mouse1"} << QStringLiteral("NoRecieve") << false;
    QTest::newRow("two mice") << receiverFailed << QList<bool>{true, true} << QStringList{"Receiver1"}
                              << QStringLiteral("MultiMouse") << false;
    QTest::newRow("nothing listed") << receiverFailed << QList<bool>{} << QStringList{} << QStringLiteral("NoDevice")
                                    << false;
    QTest::newRow("no boot device") << receiverFailed << QList<bool>{true} << QStringList{}
                                    << QStringLiteral("NoDevice") << false;
    QTest::newRow("two boot devices") << receiverFailed << QList<bool>{true} << QStringList{"Receiver1", "Receiver2"}
                                      << QStringLiteral("SameDevice") << false;
    QTest::newRow("no image for the class") << QStringLiteral("211,3,33,1") << QList<bool>{true}
                                            << QStringList{"Receiver1"} << QStringLiteral("FileError") << false;
    // A failed mouse runs its firmware on its receiver: it counts only while it answers there,
    // and only when no other mouse waits in a boot loader.
    const QString mouseFailed = QStringLiteral("210,4,33,1");
    QTest::newRow("mouse failed, it answers on its receiver")
        << mouseFailed << QList<bool>{false} << QStringList{} << QStringLiteral("ReadyUpdate") << false;
    QTest::newRow("mouse failed, asleep on its receiver")
        << mouseFailed << QList<bool>{false} << QStringList{} << QStringLiteral("NoDevice") << true;
    QTest::newRow("mouse failed, it answers while two mice wait in boot loaders")
        << mouseFailed << QList<bool>{false} << QStringList{"Mouse2", "Mouse3"} << QStringLiteral("SameDevice")
        << false;
    // Not a record: the check answers nothing, and the start button it leaves writes nothing.
    QTest::newRow("three fields") << QStringLiteral("211,4,33") << QList<bool>{true} << QStringList{"Receiver1"}
                                  << QString() << false;
}

void TestUpDateRepair::checkRefusals()
{
    QFETCH(QString, record);
    QFETCH(QList<bool>, cableMice);
    QFETCH(QStringList, inBoot);
    QFETCH(QString, message);
    QFETCH(bool, mouseAsleep);
    QVERIFY(simtest::loadScenario(QStringLiteral("[Mouse1]\nModel=1\nCable=true\n[Receiver1]\nClass=4\nMouse=Mouse1\n"
                                                 "[Receiver2]\nClass=4\nMouse=\nModel=1\n"
                                                 "[Mouse2]\nModel=1\nCable=true\n[Mouse3]\nModel=1\nCable=true\n")));
    // The dialog was ready for a repair before, as when the repair button opens it a second time.
    QVERIFY(SimControl_SetBootMode("Receiver1", true));
    listDevices({listed(true)});
    QVERIFY(Registry::SetValue(Registry::DriveTestKey(), kFail, QStringLiteral("211,4,33,1")));
    QVERIFY(m_dialog->CheckUpdateDevices());
    m_dialog->ResetUi();
    QVERIFY(SimControl_SetBootMode("Receiver1", false));
    for (const QString& name : inBoot)
        QVERIFY(SimControl_SetBootMode(name.toLatin1().constData(), true));
    QVERIFY(SimControl_SetAwake("Mouse1", !mouseAsleep));
    QList<DeviceAllInfo> devices;
    for (bool cable : cableMice)
        devices.append(listed(cable));
    listDevices(devices);
    QVERIFY(Registry::SetValue(Registry::DriveTestKey(), kFail, record));
    SimControl_ClearCallLog();

    PostMsg::instance()->EmitRepairCheckUpdate();
    QCOMPARE(tip(), message.isEmpty() ? QString() : english(message.toLatin1().constData()));
    QCOMPARE(button("NewHong_2")->text(),
             english(message == "ReadyUpdate" || message.isEmpty() ? "NewHong_2" : "Confirm"));
    // A check never writes, and counts boot devices only against an image.
    if (message != "ReadyUpdate")
        button("NewHong_2")->click();
    const QStringList calls = simtest::callLog();
    QCOMPARE(simtest::countCalls(calls, QStringLiteral("UsbUpgrade_Start")), 0);
    if (message == "FileError")
        QCOMPARE(simtest::countCalls(calls, QStringLiteral("UsbUpgradeC_FindBootDevices")), 0);
    QCOMPARE(recorded(), record);
}

void TestUpDateRepair::failedStageThenTwoStageRepair()
{
    // A receiver update failed at 40 %: the receiver stays in its boot loader.
    QVERIFY(SimControl_SetBootMode("Receiver1", true));
    listDevices({listed(true)});
    QVERIFY(Registry::SetValue(Registry::DriveTestKey(), kFail, QStringLiteral("211,4,33,1")));
    QVERIFY(m_dialog->CheckUpdateDevices());
    SimControl_FailNextUpgrade(40);
    button("NewHong_2")->click();
    QCOMPARE(int(FirmwareIdle), 0);
    QTRY_COMPARE(tip(), english("UpdateFail"));
    QCOMPARE(int(FirmwareIdle), 1);
    QCOMPARE(int(RepairUpgrading), 0);
    QCOMPARE(recorded(), QStringLiteral("211,4,33,1"));
    QFile log(core::UpDateLogFile());
    QVERIFY(log.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromLocal8Bit(log.readAll()).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 9);  // eight lines, each ended
    QCOMPARE(lines.first(), QStringLiteral("image: R430K_D4K (receiver)"));
    QVERIFY(SimControl_InBootMode("Receiver1"));

    // The repair again, as the repair button opens it: reset, its check's message in place of the
    // failure's; receiver 0..50, record gone, then the mouse 50..100.
    m_dialog->ResetUi();
    PostMsg::instance()->EmitRepairCheckUpdate();
    QCOMPARE(tip(), english("ReadyUpdate"));
    QSignalSpy progress(PostMsg::instance(), &PostMsg::SigAutoRepairProgress);
    bool closedWhileWriting = false;
    bool watchedWhileWriting = false;  // the worker must not drop a device in its boot loader
    connect(PostMsg::instance(), &PostMsg::SigAutoRepairProgress, m_dialog.get(), [&] {
        m_dialog->on_CloseButton_clicked();
        QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
        closedWhileWriting = closedWhileWriting || !m_dialog->isVisible();
        watchedWhileWriting = watchedWhileWriting || FirmwareIdle == 1;
    });
    button("NewHong_2")->click();
    QTRY_COMPARE_WITH_TIMEOUT(tip(), english("UpdateSuccess"), 20000);
    QVERIFY(!closedWhileWriting);
    QVERIFY(!watchedWhileWriting);
    QList<int> values;
    for (const QList<QVariant>& row : progress)
        values.append(row.first().toInt());
    QVERIFY(values.contains(50));
    QVERIFY(std::is_sorted(values.begin(), values.end()));
    QCOMPARE(values.first(), 0);
    QCOMPARE(values.last(), 100);
    QCOMPARE(SimControl_FirmwareVersion("Receiver1"), 0x0104);
    QCOMPARE(SimControl_FirmwareVersion("Mouse1"), 0x0107);
    QVERIFY(recorded().isEmpty());
    QCOMPARE(int(FirmwareIdle), 1);
    QCOMPARE(m_dialog->findChild<QProgressBar*>(QStringLiteral("progressBar_2"))->value(), 100);
    // Done: OK closes.
    button("NewHong_2")->click();
    QVERIFY(!m_dialog->isVisible());
}

void TestUpDateRepair::startRefusedOrStalledFails_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("refused (image body damaged)") << "refused";
    QTest::newRow("accepted, then silent") << "stall";
    // The program quits in the middle: nothing will end the repair later.
    QTest::newRow("dialog destroyed while writing") << "destroyed";
}

void TestUpDateRepair::startRefusedOrStalledFails()
{
    QFETCH(QString, fault);
    const QString imagePath = m_binDir + QStringLiteral("/R430K_D4K.bin");
    QFile image(imagePath);
    QVERIFY(image.open(QIODevice::ReadOnly));
    const QByteArray original = image.readAll();
    image.close();
    const auto restore = qScopeGuard([&] { core::writeFileAtomically(imagePath, original); });
    QByteArray damaged = original;
    damaged[damaged.size() - 1] = char(damaged.back() ^ 0x5A);
    if (fault == "refused")
        QVERIFY(core::writeFileAtomically(imagePath, damaged));
    else
        SimControl_StallNextUpgrade();
    m_dialog->setWatchdogInterval(fault == "stall" ? 300 : UpDateRepair::kWatchdogMs);

    QVERIFY(SimControl_SetBootMode("Receiver1", true));
    listDevices({listed(true)});
    QVERIFY(Registry::SetValue(Registry::DriveTestKey(), kFail, QStringLiteral("211,4,33,1")));
    const bool ready = m_dialog->CheckUpdateDevices();
    QSignalSpy buttonShown(PostMsg::instance(), &PostMsg::SigUpDateButton);
    button("NewHong_2")->click();
    QVERIFY(ready);
    if (fault == "destroyed") {
        // While it runs, its record is no repair to offer...
        QVERIFY(core::unfinishedUpdateFields().isEmpty());
        QCOMPARE(buttonShown.first().first().toBool(), true);
        m_dialog.reset();
        // ... and once it is gone, it is.
        QCOMPARE(core::unfinishedUpdateFields().join(QLatin1Char(',')), QStringLiteral("211,4,33,1"));
        QCOMPARE(buttonShown.last().first().toBool(), false);
        QCOMPARE(int(FirmwareIdle), 1);
        QCOMPARE(int(RepairUpgrading), 0);
        return;
    }
    if (fault == "refused")
        QCOMPARE(tip(), english("UpdateFail"));  // at once, no waiting for an event
    QTRY_COMPARE(tip(), english("UpdateFail"));
    QCOMPARE(int(FirmwareIdle), 1);
    QCOMPARE(int(RepairUpgrading), 0);
    QCOMPARE(recorded(), QStringLiteral("211,4,33,1"));
    QVERIFY(button("CloseButton")->isEnabled());
    QCOMPARE(SimControl_FirmwareVersion("Receiver1"), 0x0103);
}

void TestUpDateRepair::autoRepairWritesOrFails_data()
{
    QTest::addColumn<bool>("images");
    QTest::newRow("image shipped") << true;
    QTest::newRow("empty bin") << false;
}

void TestUpDateRepair::autoRepairWritesOrFails()
{
    QFETCH(bool, images);
    // A fresh instance on the stack, as the main window runs it: no check before.
    m_dialog.reset();
    listDevices({listed(false)});
    const QString aside = m_binDir + QStringLiteral("-aside");
    const auto restore = qScopeGuard([&] {
        if (QDir(aside).exists() && QDir(m_binDir).removeRecursively())
            QDir().rename(aside, m_binDir);
    });
    if (!images)
        QVERIFY(QDir().rename(m_binDir, aside) && QDir().mkpath(m_binDir));
    QSignalSpy buttonShown(PostMsg::instance(), &PostMsg::SigUpDateButton);
    SimControl_ClearCallLog();
    {
        UpDateRepair repair;
        repair.show();
        repair.StartAutoRepair(0);
        const auto* text = repair.findChild<QLabel*>(QStringLiteral("ToolText_2"));
        if (images) {
            QTRY_COMPARE(text->text(), english("UpdateSuccess"));
            QCOMPARE(SimControl_FirmwareVersion("Receiver1"), 0x0104);
        } else {
            QCOMPARE(text->text(), english("FileError"));
            QCOMPARE(simtest::countCalls(simtest::callLog(), QStringLiteral("UsbUpgrade_Start")), 0);
            QCOMPARE(SimControl_FirmwareVersion("Receiver1"), 0x0103);
        }
        QCOMPARE(buttonShown.last().first().toBool(), images);
    }
    QCOMPARE(int(FirmwareIdle), 1);
}

void TestUpDateRepair::failedRepairRecordsItsStage_data()
{
    QTest::addColumn<bool>("cableMouse");  // the device to repair
    QTest::addColumn<QString>("record");
    QTest::newRow("receiver stage") << false << QStringLiteral("211,4,33,1");
    QTest::newRow("mouse stage") << true << QStringLiteral("210,0,33,1");
}

void TestUpDateRepair::failedRepairRecordsItsStage()
{
    QFETCH(bool, cableMouse);
    QFETCH(QString, record);
    // No record before: the automatic repair starts without a check.
    m_dialog.reset();
    listDevices({listed(cableMouse)});
    SimControl_FailNextUpgrade(40);
    {
        UpDateRepair repair;
        repair.show();
        repair.StartAutoRepair(0);
        const auto* text = repair.findChild<QLabel*>(QStringLiteral("ToolText_2"));
        QTRY_COMPARE(text->text(), english("UpdateFail"));
    }
    QCOMPARE(recorded(), record);
    QVERIFY(QFile::exists(core::UpDateLogFile()));
}

void TestUpDateRepair::resumedRepairRunsBothStages_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("fault");  // what keeps the second stage from running
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("mouseAfter");

    QTest::newRow("mouse failed: receiver, then mouse")
        << QStringLiteral("210,4,33,1") << QString() << QStringLiteral("UpdateSuccess") << 100 << 0x0107;
    QTest::newRow("receiver failed, mouse then unplugged")
        << QStringLiteral("211,4,33,1") << QStringLiteral("unplugged") << QStringLiteral("UpdateFail") << 50 << 0x0105;
    QTest::newRow("receiver failed, mouse image gone")
        << QStringLiteral("211,4,33,1") << QStringLiteral("no image") << QStringLiteral("UpdateFail") << 50 << 0x0105;
    // A receiver already on its image is not written again.
    QTest::newRow("mouse failed, its receiver current, the mouse alone")
        << QStringLiteral("210,4,33,1") << QStringLiteral("receiver current") << QStringLiteral("UpdateSuccess") << 100
        << 0x0107;
    // The mouse stays the device to repair while the receiver is written in front of it.
    QTest::newRow("mouse failed: receiver fails in front of it")
        << QStringLiteral("210,4,33,1") << QStringLiteral("receiver fails") << QStringLiteral("UpdateFail") << 20
        << 0x0105;
}

void TestUpDateRepair::resumedRepairRunsBothStages()
{
    QFETCH(QString, record);
    QFETCH(QString, fault);
    QFETCH(QString, message);
    QFETCH(int, percent);
    QFETCH(int, mouseAfter);
    const bool mouseFailed = record.startsWith(QLatin1String("210"));
    const bool receiverCurrent = fault == "receiver current";
    if (receiverCurrent)
        QVERIFY(simtest::loadScenario(QStringLiteral("[Mouse1]\nModel=1\nCable=true\nVersion=0x0105\n"
                                                     "[Receiver1]\nClass=4\nMouse=Mouse1\nVersion=0x0104\n")));
    // The device of the failed stage waits in its boot loader; the other one is listed.
    QVERIFY(SimControl_SetBootMode(mouseFailed ? "Mouse1" : "Receiver1", true));
    DeviceAllInfo other = listed(!mouseFailed);
    if (receiverCurrent)
        other.UsbVersionText = QStringLiteral("v1.4");
    listDevices({other});
    SimControl_ClearCallLog();
    QVERIFY(Registry::SetValue(Registry::DriveTestKey(), kFail, record));
    QVERIFY(m_dialog->CheckUpdateDevices());

    const QString mouseImage = m_binDir + QStringLiteral("/R430K_M.bin");
    const auto restore = qScopeGuard([&] { QFile::rename(mouseImage + ".aside", mouseImage); });
    if (fault == "unplugged")
        listDevices({});
    else if (fault == "no image")
        QVERIFY(QFile::rename(mouseImage, mouseImage + ".aside"));
    else if (fault == "receiver fails")
        SimControl_FailNextUpgrade(40);
    button("NewHong_2")->click();
    QTRY_COMPARE_WITH_TIMEOUT(tip(), english(message.toLatin1().constData()), 20000);
    QCOMPARE(m_dialog->findChild<QProgressBar*>(QStringLiteral("progressBar_2"))->value(), percent);
    // Either way the dialog can be closed.
    QVERIFY(button(fault == "receiver fails" ? "NewHong" : "NewHong_2")->isVisible());
    QCOMPARE(button("NewHong_2")->text(), english("Confirm"));
    QVERIFY(button("CloseButton")->isEnabled());
    QCOMPARE(SimControl_FirmwareVersion("Receiver1"), fault == "receiver fails" ? 0x0103 : 0x0104);
    QCOMPARE(SimControl_FirmwareVersion("Mouse1"), mouseAfter);
    if (receiverCurrent)
        QCOMPARE(simtest::countCalls(simtest::callLog(), QStringLiteral("UsbUpgrade_Start")), 1);
    // The stage that had failed was written, and nothing is left to resume; or it was not.
    QCOMPARE(recorded(), fault == "receiver fails" ? record : QString());
    QCOMPARE(int(FirmwareIdle), 1);
}

void TestUpDateRepair::outcomeIsToldOnEveryPath_data()
{
    QTest::addColumn<bool>("mainWindow");  // else the choice page's repair button
    QTest::addColumn<QString>("fault");    // none, fail, second (stage), unplug<percent>
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("success");
    QTest::addColumn<int>("percent");  // where the bar stops

    // The main window's Space key: a fresh dialog writes the listed receiver
    // without a check and without any state that shows the message line.
    QTest::newRow("main window, success") << true << "none" << 0 << true << 100;
    QTest::newRow("main window, library failure") << true << "fail" << 3 << false << 40;
    QTest::newRow("main window, removed at 0 %") << true << "unplug0" << 4 << false << 0;
    QTest::newRow("main window, removed at 53 %") << true << "unplug53" << 0 << false << 53;
    QTest::newRow("main window, removed at 99 %") << true << "unplug99" << 5 << false << 99;
    // The choice page's repair button: the kept dialog, reset, checked, then
    // started; a failed mouse stage makes it write the receiver, then the mouse.
    QTest::newRow("repair button, success") << false << "none" << 5 << true << 100;
    QTest::newRow("repair button, library failure") << false << "fail" << 0 << false << 20;
    QTest::newRow("repair button, removed at 0 %") << false << "unplug0" << 3 << false << 0;
    QTest::newRow("repair button, removed at 53 %") << false << "unplug53" << 4 << false << 26;
    QTest::newRow("repair button, removed at 99 %") << false << "unplug99" << 0 << false << 49;
    QTest::newRow("repair button, second stage fails") << false << "second" << 2 << false << 65;
}

void TestUpDateRepair::outcomeIsToldOnEveryPath()
{
    QFETCH(bool, mainWindow);
    QFETCH(QString, fault);
    QFETCH(int, language);
    QFETCH(bool, success);
    QFETCH(int, percent);
    m_dialog.reset();
    dialogtest::chooseLanguage(language);
    const auto english = qScopeGuard([] { dialogtest::chooseLanguage(0); });
    const auto shipped = [language](const char* child) {
        return dialogtest::shippedText(language, QStringLiteral("AutoRepair"), QLatin1String(child));
    };
    if (!mainWindow) {
        QVERIFY(SimControl_SetBootMode("Mouse1", true));
        QVERIFY(Registry::SetValue(Registry::DriveTestKey(), kFail, QStringLiteral("210,4,33,1")));
    }
    listDevices({listed(false)});
    if (fault == "fail")
        SimControl_FailNextUpgrade(40);
    else if (fault.startsWith(QLatin1String("unplug")))
        SimControl_UnplugDuringNextUpgrade(fault.mid(6).toInt());
    // Armed once the receiver stage runs: the mouse stage's start takes it.
    QObject armer;
    if (fault == "second")
        connect(PostMsg::instance(), &PostMsg::SigAutoRepairProgress, &armer, [armed = false]() mutable {
            if (!std::exchange(armed, true))
                SimControl_FailNextUpgrade(30);
        });

    const QStringList endTexts{shipped("UpdateSuccess"), shipped("UpdateFail")};
    Outcome seen;
    if (mainWindow) {
        // As the main window runs it: started, then exec().
        UpDateRepair repair(nullptr);
        repair.StartAutoRepair(0);
        modaltest::ModalDriver driver([&](QWidget*) { seen = readOutcome(&repair, endTexts); });
        repair.exec();
    } else {
        // As the repair button opens the kept dialog.
        UpDateRepair repair(nullptr);
        repair.ResetUi();
        repair.setModal(true);
        PostMsg::instance()->EmitRepairCheckUpdate();
        repair.show();
        QCOMPARE(repair.findChild<QLabel*>(QStringLiteral("ToolText_2"))->text(), shipped("ReadyUpdate"));
        repair.findChild<QToolButton*>(QStringLiteral("NewHong_2"))->click();
        const auto* tipLabel = repair.findChild<QLabel*>(QStringLiteral("ToolText_2"));
        QTRY_VERIFY_WITH_TIMEOUT(endTexts.contains(tipLabel->text()) && RepairUpgrading == 0, 20000);
        // The device that left, or came back from its boot loader, makes the
        // choice page rescan and ask again.
        PostMsg::instance()->EmitRepairCheckUpdate();
        seen = readOutcome(&repair, endTexts);
    }
    QVERIFY(seen.ended);
    QCOMPARE(seen.message, shipped(success ? "UpdateSuccess" : "UpdateFail"));
    QVERIFY(seen.messageShown);
    QCOMPARE(seen.percent, percent);
    QVERIFY(!seen.buttons.isEmpty());
    for (const QString& text : seen.buttons)
        QVERIFY2(text == shipped("Confirm") || text == shipped("Cancel"), qPrintable(text));
    QVERIFY(seen.closeEnabled);
    QVERIFY(seen.closed);
    QCOMPARE(recorded().isEmpty(), success);
}

void TestUpDateRepair::unwritableRecordStartsNothing_data()
{
    QTest::addColumn<bool>("automatic");  // the main window's automatic repair, else the repair button
    QTest::addColumn<int>("language");
    QTest::newRow("repair button, its record standing") << false << 0;
    QTest::newRow("automatic repair") << true << 4;
}

void TestUpDateRepair::unwritableRecordStartsNothing()
{
    QFETCH(bool, automatic);
    QFETCH(int, language);
    dialogtest::chooseLanguage(language);
    const auto english = qScopeGuard([] { dialogtest::chooseLanguage(0); });
    const QString before = automatic ? QString() : QStringLiteral("211,4,33,1");
    if (!automatic) {
        QVERIFY(SimControl_SetBootMode("Receiver1", true));
        QVERIFY(Registry::SetValue(Registry::DriveTestKey(), kFail, before));
    }
    listDevices({listed(!automatic)});
    UpDateRepair repair;
    repair.ResetUi();
    repair.show();
    QVERIFY(automatic || repair.CheckUpdateDevices());
    SimControl_ClearCallLog();
    {
        hostile::FullDisk full;
        QVERIFY(full.made());
        if (automatic)
            repair.StartAutoRepair(0);
        else
            repair.findChild<QToolButton*>(QStringLiteral("NewHong_2"))->click();
    }
    const auto* tipLabel = repair.findChild<QLabel*>(QStringLiteral("ToolText_2"));
    if (!automatic) {
        // The repair's first stage is the one its record already names: that record stands on
        // the disk, so nothing needs writing and the repair runs.
        QTRY_COMPARE_WITH_TIMEOUT(
            tipLabel->text(), dialogtest::shippedText(language, QStringLiteral("AutoRepair"), QStringLiteral("UpdateSuccess")),
            20000);
        QVERIFY(recorded().isEmpty());
        return;
    }
    QCOMPARE(tipLabel->text(), dialogtest::shippedText(language, QStringLiteral("AutoRepair"), QStringLiteral("NotRecorded")));
    QVERIFY(tipLabel->isVisible());
    QCOMPARE(simtest::countCalls(simtest::callLog(), QStringLiteral("UsbUpgrade_Start")), 0);
    QCOMPARE(int(RepairUpgrading), 0);
    QCOMPARE(int(FirmwareIdle), 1);
    auto* confirm = repair.findChild<QToolButton*>(QStringLiteral("NewHong_2"));
    QVERIFY(confirm->isVisible());
    QCOMPARE(confirm->text(), dialogtest::shippedText(language, QStringLiteral("AutoRepair"), QStringLiteral("Confirm")));
    // The record is as it was, also for the next write that reaches the disk.
    QCOMPARE(recorded(), before);
    QVERIFY(Registry::SetValue(Registry::DriveTestKey(), QStringLiteral("MouseVer331"), QStringLiteral("v1.5")));
    QSettings stored(Registry::FilePath(), QSettings::IniFormat);
    QCOMPARE(stored.value(Registry::DriveTestKey().replace(QLatin1Char('\\'), QLatin1Char('/')) + "/" + kFail).toString(),
             before);
    confirm->click();
    QVERIFY(!repair.isVisible());

    // Opened again once the disk has room, the same dialog shows its ready state and runs.
    repair.ResetUi();
    repair.show();
    if (automatic) {
        repair.StartAutoRepair(0);
    } else {
        PostMsg::instance()->EmitRepairCheckUpdate();
        QCOMPARE(tipLabel->text(), dialogtest::shippedText(language, QStringLiteral("AutoRepair"), QStringLiteral("ReadyUpdate")));
        confirm->click();
    }
    QTRY_COMPARE_WITH_TIMEOUT(tipLabel->text(),
                              dialogtest::shippedText(language, QStringLiteral("AutoRepair"), QStringLiteral("UpdateSuccess")),
                              20000);
    QCOMPARE(SimControl_FirmwareVersion("Receiver1"), 0x0104);
    QVERIFY(recorded().isEmpty());
}

QTEST_MAIN(TestUpDateRepair)
#include "tst_updaterepair.moc"
