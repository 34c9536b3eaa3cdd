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
#include "support/sim_helpers.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QScopeGuard>
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

    const QString receiverFailed = QStringLiteral("211,4,33,1");
    QTest::newRow("ready") << receiverFailed << QList<bool>{true} << QStringList{"Receiver1"} << QStringLiteral("ReadyUpdate");
    QTest::newRow("receiver listed first") << receiverFailed << QList<bool>{false, true} << QStringList{"Receiver1"}
                                           << QStringLiteral("NoUSB");
    QTest::newRow("mouse failed, cable mouse first")
        << QStringLiteral("210,4,33,1") << QList<bool>{true} << QStringList{"Mouse1"} << QStringLiteral("NoRecieve");
    QTest::newRow("two mice") << receiverFailed << QList<bool>{true, true} << QStringList{"Receiver1"} << QStringLiteral("MultiMouse");
    QTest::newRow("nothing listed") << receiverFailed << QList<bool>{} << QStringList{} << QStringLiteral("NoDevice");
    QTest::newRow("no boot device") << receiverFailed << QList<bool>{true} << QStringList{} << QStringLiteral("NoDevice");
    QTest::newRow("two boot devices") << receiverFailed << QList<bool>{true} << QStringList{"Receiver1", "Receiver2"}
                                      << QStringLiteral("SameDevice");
    QTest::newRow("no image for the class")
        << QStringLiteral("211,3,33,1") << QList<bool>{true} << QStringList{"Receiver1"} << QStringLiteral("FileError");
}

void TestUpDateRepair::checkRefusals()
{
    QFETCH(QString, record);
    QFETCH(QList<bool>, cableMice);
    QFETCH(QStringList, inBoot);
    QFETCH(QString, message);
    QVERIFY(simtest::loadScenario(QStringLiteral("[Mouse1]\nModel=1\nCable=true\n[Receiver1]\nClass=4\nMouse=Mouse1\n"
                                                 "[Receiver2]\nClass=4\nMouse=\nModel=1\n")));
    for (const QString& name : inBoot)
        QVERIFY(SimControl_SetBootMode(name.toLatin1().constData(), true));
    QList<DeviceAllInfo> devices;
    for (bool cable : cableMice)
        devices.append(listed(cable));
    listDevices(devices);
    QVERIFY(Registry::SetValue(Registry::DriveTestKey(), kFail, record));
    SimControl_ClearCallLog();

    PostMsg::instance()->EmitRepairCheckUpdate();
    QCOMPARE(tip(), english(message.toLatin1().constData()));
    QCOMPARE(button("NewHong_2")->text(), english(message == "ReadyUpdate" ? "NewHong_2" : "Confirm"));
    // A check never writes, and counts boot devices only against an image.
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

    // The repair again: receiver 0..50, record gone, then the mouse 50..100.
    m_dialog->ResetUi();
    QVERIFY(m_dialog->CheckUpdateDevices());
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
    QTest::addColumn<bool>("stall");
    QTest::newRow("refused (image body damaged)") << false;
    QTest::newRow("accepted, then silent") << true;
}

void TestUpDateRepair::startRefusedOrStalledFails()
{
    QFETCH(bool, stall);
    const QString imagePath = m_binDir + QStringLiteral("/R430K_D4K.bin");
    QFile image(imagePath);
    QVERIFY(image.open(QIODevice::ReadOnly));
    const QByteArray original = image.readAll();
    image.close();
    const auto restore = qScopeGuard([&] { core::writeFileAtomically(imagePath, original); });
    QByteArray damaged = original;
    damaged[damaged.size() - 1] = char(damaged.back() ^ 0x5A);
    if (!stall)
        QVERIFY(core::writeFileAtomically(imagePath, damaged));
    else
        SimControl_StallNextUpgrade();
    m_dialog->setWatchdogInterval(300);

    QVERIFY(SimControl_SetBootMode("Receiver1", true));
    listDevices({listed(true)});
    QVERIFY(Registry::SetValue(Registry::DriveTestKey(), kFail, QStringLiteral("211,4,33,1")));
    const bool ready = m_dialog->CheckUpdateDevices();
    button("NewHong_2")->click();
    if (!stall)
        QCOMPARE(tip(), english("UpdateFail"));  // at once, no waiting for an event
    QTRY_COMPARE(tip(), english("UpdateFail"));
    QVERIFY(ready);
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
}

void TestUpDateRepair::resumedRepairRunsBothStages()
{
    QFETCH(QString, record);
    QFETCH(QString, fault);
    QFETCH(QString, message);
    QFETCH(int, percent);
    QFETCH(int, mouseAfter);
    const bool mouseFailed = record.startsWith(QLatin1String("210"));
    // The device of the failed stage waits in its boot loader; the other one is listed.
    QVERIFY(SimControl_SetBootMode(mouseFailed ? "Mouse1" : "Receiver1", true));
    listDevices({listed(!mouseFailed)});
    QVERIFY(Registry::SetValue(Registry::DriveTestKey(), kFail, record));
    QVERIFY(m_dialog->CheckUpdateDevices());

    const QString mouseImage = m_binDir + QStringLiteral("/R430K_M.bin");
    const auto restore = qScopeGuard([&] { QFile::rename(mouseImage + ".aside", mouseImage); });
    if (fault == "unplugged")
        listDevices({});
    else if (fault == "no image")
        QVERIFY(QFile::rename(mouseImage, mouseImage + ".aside"));
    button("NewHong_2")->click();
    QTRY_COMPARE_WITH_TIMEOUT(tip(), english(message.toLatin1().constData()), 20000);
    QCOMPARE(m_dialog->findChild<QProgressBar*>(QStringLiteral("progressBar_2"))->value(), percent);
    // Either way the dialog can be closed.
    QVERIFY(button("NewHong_2")->isVisible());
    QCOMPARE(button("NewHong_2")->text(), english("Confirm"));
    QVERIFY(button("CloseButton")->isEnabled());
    QCOMPARE(SimControl_FirmwareVersion("Receiver1"), 0x0104);
    QCOMPARE(SimControl_FirmwareVersion("Mouse1"), mouseAfter);
    // The stage that had failed was written: nothing is left to resume.
    QVERIFY(recorded().isEmpty());
    QCOMPARE(int(FirmwareIdle), 1);
}

QTEST_MAIN(TestUpDateRepair)
#include "tst_updaterepair.moc"
