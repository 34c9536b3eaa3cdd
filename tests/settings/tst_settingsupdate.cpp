// The settings page's firmware update on the simulated mouse on its cable and
// its receiver: every update ends visibly, with its record and log when it
// failed, and no image means no write at all.
#include "core/AppPaths.h"
#include "core/DeviceScan.h"
#include "core/FileIo.h"
#include "core/Firmware.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Registry.h"
#include "core/Worker.h"
#include "devicelib/SimControl.h"
#include "dialogs/UpDateWarning.h"
#include "settings/FormSetting.h"
#include "settings/UpDateRepair.h"
#include "support/choice_helpers.h"
#include "support/dialogs_helpers.h"
#include "support/link_helpers.h"
#include "support/full_disk.h"
#include "support/sim_helpers.h"
#include "support/sync_faults.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <optional>

namespace {

const QString kFail = QStringLiteral("UpdateFailInfo");

QString recorded()
{
    return Registry::Value(Registry::DriveTestKey(), kFail);
}

QString tip()
{
    return UpdateRepairDialog->findChild<QLabel*>(QStringLiteral("ToolText_2"))->text();
}

} // namespace

class TestSettingsUpdate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pageUpdate_data();
    void pageUpdate();
    void checkRefusals_data();
    void checkRefusals();

private:
    QString m_binDir;
};

void TestSettingsUpdate::initTestCase()
{
    RegisterBusTypes();
    m_binDir = choicetest::prepareAppDir() + QStringLiteral("/bin");
    const QDir shipped(QCoreApplication::applicationDirPath() + QStringLiteral("/bin"));
    for (const QString& file : shipped.entryList({QStringLiteral("*.bin")}, QDir::Files))
        QVERIFY(QFile::copy(shipped.filePath(file), m_binDir + QLatin1Char('/') + file));
}

void TestSettingsUpdate::pageUpdate_data()
{
    QTest::addColumn<int>("receiverVersion");
    QTest::addColumn<int>("mouseVersion");
    QTest::addColumn<QString>("receiverLabel"); // shown instead of what was read; empty: as read
    QTest::addColumn<QString>("record");   // before; a receiver recorded failed waits in its boot loader
    QTest::addColumn<QString>("fault");    // fail40, refused, short, stall, nobin, bootReceiver2, unplugCable,
                                           // unplug<percent>, second, fulldisk, nofoldersync or none
    QTest::addColumn<QString>("message");  // AutoRepair text, or FormSetting text of a refusal
    QTest::addColumn<int>("receiverAfter");
    QTest::addColumn<int>("mouseAfter");

    const QString none;
    const QString receiverFailed = QStringLiteral("211,4,33,1");
    const int r3 = 0x0103, r4 = 0x0104, m5 = 0x0105, m7 = 0x0107;
    QTest::newRow("both newer") << r3 << m5 << none << none << "none" << "UpdateSuccess" << r4 << m7;
    QTest::newRow("only the mouse newer") << r4 << m5 << none << none << "none" << "UpdateSuccess" << r4 << m7;
    QTest::newRow("resume the receiver") << r3 << m5 << none << receiverFailed << "none" << "UpdateSuccess" << r4 << m7;
    // The receiver is written in front of a mouse left in its boot loader: the mouse stays the
    // device to repair until its own stage ends well.
    const QString mouseFailed = QStringLiteral("210,4,33,1");
    QTest::newRow("resume the mouse") << r3 << m5 << none << mouseFailed << "none" << "UpdateSuccess" << r4 << m7;
    QTest::newRow("resume the mouse, receiver fails") << r3 << m5 << none << mouseFailed << "fail40" << "UpdateFail"
                                                      << r3 << m5;
    // Recorded through an 8000 Hz receiver, resumed through the 4000 Hz one open now.
    QTest::newRow("resume the mouse, recorded on another receiver") << r3 << m5 << none << "210,8,33,1" << "none"
                                                                    << "UpdateSuccess" << r4 << m7;
    // A package upgrade takes the mouse's image away once the receiver is written: the mouse
    // still waits, so the update failed.
    QTest::newRow("resume the mouse, its image gone") << r3 << m5 << none << mouseFailed << "mouseGone" << "UpdateFail"
                                                      << r4 << m5;
    QTest::newRow("fails at 40 %") << r3 << m5 << none << none << "fail40" << "UpdateFail" << r3 << m5;
    QTest::newRow("start refused") << r3 << m5 << none << none << "refused" << "UpdateFail" << r3 << m5;
    // Offered whatever its first bytes say; the device library finds the body short.
    QTest::newRow("body shorter than the library reads") << r3 << m5 << none << none << "short" << "UpdateFail" << r3
                                                         << m5;
    QTest::newRow("accepted, then silent") << r3 << m5 << none << none << "stall" << "UpdateFail" << r3 << m5;
    QTest::newRow("resume without image") << r3 << m5 << none << receiverFailed << "nobin" << "NoDevice" << r3 << m5;
    // The label was stale: the receiver runs the image already and nothing follows.
    QTest::newRow("nothing to write after all") << r4 << m7 << "v1.3" << none << "none" << "VerNew" << r4 << m7;
    // A stage finds two devices to write, or none: the mouse's cable was
    // pulled while the receiver was written.
    QTest::newRow("second receiver in boot loader") << r3 << m5 << none << none << "bootReceiver2" << "SameDevice" << r3 << m5;
    QTest::newRow("cable pulled during the update") << r3 << m5 << none << none << "unplugCable" << "WiredMode" << r4 << m5;
    // The receiver pulled out while its image is written, at any point, and
    // the mouse stage that follows a written receiver failing.
    QTest::newRow("receiver removed at 0 %") << r3 << m5 << none << none << "unplug0" << "UpdateFail" << r3 << m5;
    QTest::newRow("receiver removed at 53 %") << r3 << m5 << none << none << "unplug53" << "UpdateFail" << r3 << m5;
    QTest::newRow("receiver removed at 99 %") << r3 << m5 << none << none << "unplug99" << "UpdateFail" << r3 << m5;
    QTest::newRow("second stage fails") << r3 << m5 << none << none << "second" << "UpdateFail" << r4 << m5;
    // Its record cannot be written: nothing starts, and the dialog says why.
    QTest::newRow("record not writable") << r3 << m5 << none << none << "fulldisk" << "NotRecorded" << r3 << m5;
    // A file system that cannot sync a folder holds the record as well as any.
    QTest::newRow("no folder sync") << r3 << m5 << none << none << "nofoldersync" << "UpdateSuccess" << r4 << m7;
}

void TestSettingsUpdate::pageUpdate()
{
    QFETCH(int, receiverVersion);
    QFETCH(int, mouseVersion);
    QFETCH(QString, receiverLabel);
    QFETCH(QString, record);
    QFETCH(QString, fault);
    QFETCH(QString, message);
    QFETCH(int, receiverAfter);
    QFETCH(int, mouseAfter);

    QVERIFY(simtest::loadScenario(QStringLiteral("[Mouse1]\nModel=1\nCable=true\nVersion=0x%1\n"
                                                 "[Receiver1]\nClass=4\nMouse=Mouse1\nVersion=0x%2\n%3")
                                      .arg(mouseVersion, 4, 16, QLatin1Char('0'))
                                      .arg(receiverVersion, 4, 16, QLatin1Char('0'))
                                      .arg(fault == "bootReceiver2" ? "[Receiver2]\nClass=4\nMouse=\nModel=1\n" : "")));
    if (fault == "bootReceiver2")
        QVERIFY(SimControl_SetBootMode("Receiver2", true));
    Registry::Remove(Registry::DriveTestKey(), kFail);
    Registry::Remove(Registry::DriveTestKey(), QStringLiteral("MouseVer331"));
    QFile::remove(core::UpDateLogFile());
    const bool mouseWaits = record.startsWith(QLatin1String("210"));
    if (!record.isEmpty()) {
        if (!mouseWaits)
            QVERIFY(SimControl_SetBootMode("Receiver1", true));
        QVERIFY(Registry::SetValue(Registry::DriveTestKey(), kFail, record));
    }
    const QString imagePath = m_binDir + QStringLiteral("/R430K_D4K.bin");
    QFile image(imagePath);
    QVERIFY(image.open(QIODevice::ReadOnly));
    const QByteArray original = image.readAll();
    image.close();
    const QString aside = m_binDir + QStringLiteral("-aside");
    const auto restore = qScopeGuard([&] {
        if (QDir(aside).exists() && QDir(m_binDir).removeRecursively())
            QDir().rename(aside, m_binDir);
        core::writeFileAtomically(imagePath, original);
    });
    if (fault == "refused") {
        QByteArray damaged = original;
        damaged[damaged.size() - 1] = char(damaged.back() ^ 0x5A);
        QVERIFY(core::writeFileAtomically(imagePath, damaged));
    } else if (fault == "short") {
        QVERIFY(core::writeFileAtomically(imagePath, original.chopped(1)));
    } else if (fault == "nobin") {
        QVERIFY(QDir().rename(m_binDir, aside) && QDir().mkpath(m_binDir));
    } else if (fault == "fail40") {
        SimControl_FailNextUpgrade(40);
    } else if (fault == "stall") {
        SimControl_StallNextUpgrade();
    } else if (fault.startsWith(QLatin1String("unplug")) && fault != "unplugCable") {
        SimControl_UnplugDuringNextUpgrade(fault.mid(6).toInt());
    }

    linktest::LinkPages pages;
    // The mouse of a pulled cable stays reachable through its receiver.
    QVERIFY(pages.open(fault == "unplugCable" || mouseWaits ? "Receiver1" : "Mouse1"));
    // The mouse's own update failed in this run, after its page was read.
    if (mouseWaits)
        QVERIFY(SimControl_SetBootMode("Mouse1", true));
    WorkerInstance->FindDevices(core::vendorId(), core::ProductIds::read().searchOrder());
    QCOMPARE(WorkerInstance->DeviceList().size(), record.isEmpty() ? 2 : 1);
    FormSetting* page = pages.settings.get();
    page->show();
    page->SetVer(0);
    if (!receiverLabel.isEmpty())
        page->SlotLabelText(0, receiverLabel);
    // Only a silent stage may wait for the watchdog; a refused start fails at once.
    page->setUpdateTimings(10, fault == "stall" ? 300 : 60000);
    MainPageIndex = 1;
    core::setHotPlugPage(core::HotPlugOwner::Worker);  // the frame shows the settings page
    SimControl_ClearCallLog();
    QSignalSpy progress(PostMsg::instance(), &PostMsg::SigProgress);
    // What the store holds once the receiver is written, before any mouse stage.
    QString afterReceiver = QStringLiteral("(not written)");
    const QString mouseImage = m_binDir + QStringLiteral("/R430K_M.bin");
    const auto mouseImageBack = qScopeGuard([&] { QFile::rename(mouseImage + ".aside", mouseImage); });
    connect(PostMsg::instance(), &PostMsg::SigLabelText, page, [&](int index, const QString&) {
        if (index != 0)
            return;
        afterReceiver = recorded();
        if (fault == "mouseGone")
            QFile::rename(mouseImage, mouseImage + ".aside");
    });
    // From its first stage to its end the update's own record is no repair to offer, between
    // its stages too.
    bool offeredWhileRunning = false;
    QTimer look;
    connect(&look, &QTimer::timeout, page, [&] {
        if (UpdateCheckRunning == 1
            && (page->UpdateStageOf(core::kReceiverImage) != 0 || page->UpdateStageOf(core::kMouseImage) != 0))
            offeredWhileRunning = offeredWhileRunning || !core::unfinishedUpdateFields().isEmpty();
    });
    look.start(0);

    page->on_Receive_2_clicked();
    QVERIFY(UpdateRepairDialog->isVisible());
    const bool pageText = QStringList{"NoDevice", "VerNew", "SameDevice", "WiredMode"}.contains(message);
    const QString expected =
        dialogtest::shippedText(0, pageText ? QStringLiteral("FormSetting") : QStringLiteral("AutoRepair"), message);
    std::optional<hostile::FullDisk> full;
    std::optional<hostile::NoFolderSync> unsynced;
    if (message == "NoDevice") {
        QCOMPARE(tip(), expected);
        // Nothing to count boot devices against.
        QCOMPARE(simtest::countCalls(simtest::callLog(), QStringLiteral("UsbUpgradeC_FindBootDevices")), 0);
    } else {
        QCOMPARE(tip(), dialogtest::shippedText(0, QStringLiteral("AutoRepair"), QStringLiteral("ReadyUpdate")));
        if (fault == "unplugCable") {
            connect(PostMsg::instance(), &PostMsg::SigProgress, page, [pulled = false](int, int kind) mutable {
                if (kind != 0 || pulled)
                    return;
                pulled = SimControl_Plug("Mouse1", false);
                Worker::OnUsbChanged();  // the library's hot-plug call
            });
        }
        // Armed once the receiver stage runs: the mouse stage's start takes it.
        if (fault == "second")
            connect(PostMsg::instance(), &PostMsg::SigProgress, page, [armed = false](int, int kind) mutable {
                if (kind == 0 && !std::exchange(armed, true))
                    SimControl_FailNextUpgrade(30);
            });
        if (fault == "fulldisk")
            QVERIFY(full.emplace().made());
        if (fault == "nofoldersync")
            unsynced.emplace(EOPNOTSUPP);
        UpdateRepairDialog->findChild<QToolButton*>(QStringLiteral("NewHong_2"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(tip(), expected, 20000);
        full.reset();
        unsynced.reset();
        // The stage is closed on a later tick: the device watch comes back.
        QTRY_COMPARE(int(UpdateCheckRunning), 0);
        QCOMPARE(int(FirmwareIdle), 1);
        QVERIFY(!offeredWhileRunning);
        // Once it has ended, a record it leaves is one to repair.
        QCOMPARE(core::unfinishedUpdateFields().join(QLatin1Char(',')), recorded());
        if (message.startsWith(QLatin1String("Update"))) {
            // The device that left or came back makes the worker rescan; the
            // outcome stays to be read.
            QSignalSpy asked(PostMsg::instance(), &PostMsg::SigCheckUpdate);
            Worker::OnUsbChanged();
            QTRY_VERIFY(!asked.isEmpty());
            QCOMPARE(tip(), expected);
            QVERIFY(UpdateRepairDialog->findChild<QLabel*>(QStringLiteral("ToolText_2"))->isVisible());
            auto* cancel = UpdateRepairDialog->findChild<QToolButton*>(QStringLiteral("NewHong"));
            QVERIFY(cancel->isVisible() && cancel->isEnabled());
            QCOMPARE(cancel->text(), dialogtest::shippedText(0, QStringLiteral("AutoRepair"), QStringLiteral("Cancel")));
        }
        const QHash<QString, int> stopsAt{
            {"unplug0", 0}, {"unplug53", 26}, {"unplug99", 49}, {"second", 65}, {"mouseGone", 50}};
        if (stopsAt.contains(fault))
            QCOMPARE(UpdateRepairDialog->findChild<QProgressBar*>(QStringLiteral("progressBar_2"))->value(),
                     stopsAt.value(fault));
        // The dialog can be closed again.
        QVERIFY(UpdateRepairDialog->findChild<QToolButton*>(QStringLiteral("CloseButton"))->isEnabled());
    }
    if (pageText) // only what was written was started
        QCOMPARE(simtest::countCalls(simtest::callLog(), QStringLiteral("UsbUpgrade_Start")),
                 int(receiverAfter != receiverVersion) + int(mouseAfter != mouseVersion));
    QCOMPARE(SimControl_FirmwareVersion("Receiver1"), receiverAfter);
    QCOMPARE(SimControl_FirmwareVersion("Mouse1"), mouseAfter);

    const bool success = message == "UpdateSuccess";
    QList<int> percents;
    for (const QList<QVariant>& row : progress)
        if (row.at(1).toInt() == 0)
            percents.append(row.at(0).toInt());
    QFile log(core::UpDateLogFile());
    // The receiver written in front of the waiting mouse is the one the record names from then on.
    if (mouseWaits && receiverAfter != receiverVersion)
        QCOMPARE(afterReceiver, QStringLiteral("210,4,33,1"));
    if (success) {
        QVERIFY(recorded().isEmpty());
        QCOMPARE(page->findChild<QLabel*>(QStringLiteral("label_7"))->text(), QStringLiteral("v1.7"));
        QCOMPARE(Registry::Value(Registry::DriveTestKey(), QStringLiteral("MouseVer331")),
                 QStringLiteral("v1.7"));
        // Two images share the bar: receiver 0..50, mouse 50..100.
        QVERIFY(std::is_sorted(percents.begin(), percents.end()));
        QCOMPARE(percents.first(), 0);
        QVERIFY(percents.contains(50));
        QCOMPARE(percents.last(), 100);
        QVERIFY(!log.exists());
        // A receiver already on the image ends its stage without a write.
        QCOMPARE(page->UpdateStageOf(core::kReceiverImage), receiverVersion == 0x0104 ? 4u : 2u);
    } else if (fault == "mouseGone") {
        QCOMPARE(recorded(), record);
        QCOMPARE(page->UpdateStageOf(core::kReceiverImage), 2u);
        QCOMPARE(page->UpdateStageOf(core::kMouseImage), 4u);
        QVERIFY(SimControl_InBootMode("Mouse1"));
    } else if (message == "UpdateFail") {
        const bool mouseStage = fault == "second";
        QCOMPARE(recorded(), mouseStage || mouseWaits ? QStringLiteral("210,4,33,1") : QStringLiteral("211,4,33,1"));
        QCOMPARE(page->UpdateStageOf(mouseStage ? core::kMouseImage : core::kReceiverImage), 3u);
        QVERIFY(log.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList lines = QString::fromLocal8Bit(log.readAll()).split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 9);  // eight lines, each ended
    } else {
        QCOMPARE(recorded(), record);
    }
    if (message == "NotRecorded")
        QCOMPARE(simtest::countCalls(simtest::callLog(), QStringLiteral("UsbUpgrade_Start")), 0);
    // The outcome of one update never stands in the way of the next, in the same run.
    if ((fault == "fail40" || fault == "fulldisk") && !mouseWaits) {
        page->on_Receive_2_clicked();
        QCOMPARE(tip(), dialogtest::shippedText(0, QStringLiteral("AutoRepair"), QStringLiteral("ReadyUpdate")));
        UpdateRepairDialog->findChild<QToolButton*>(QStringLiteral("NewHong_2"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(tip(), dialogtest::shippedText(0, QStringLiteral("AutoRepair"),
                                                                 QStringLiteral("UpdateSuccess")), 20000);
        QTRY_COMPARE(int(UpdateCheckRunning), 0);
        QCOMPARE(SimControl_FirmwareVersion("Receiver1"), 0x0104);
        QCOMPARE(SimControl_FirmwareVersion("Mouse1"), 0x0107);
        QVERIFY(recorded().isEmpty());
    }
    UpdateRepairDialog->hide();
    page->WarningDialog()->hide();
}

void TestSettingsUpdate::checkRefusals_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("unplug");  // after opening
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("message"); // FormSetting text

    const QString pair = QStringLiteral("[Mouse1]\nCable=true\n[Receiver1]\nClass=4\nMouse=Mouse1\n");
    const QString secondPair = QStringLiteral("[Mouse2]\n[Receiver2]\nClass=4\nMouse=Mouse2\n");
    QTest::newRow("nothing listed") << pair << "Mouse1" << "Mouse1,Receiver1" << QString() << "Error";
    QTest::newRow("no mouse on its cable") << QStringLiteral("[Mouse1]\n[Receiver1]\nClass=4\nMouse=Mouse1\n") + secondPair
                                           << "Receiver1" << QString() << QString() << "NoUSB";
    QTest::newRow("no receiver, nothing to resume") << pair << "Mouse1" << "Receiver1" << QString() << "NoRecieve";
    QTest::newRow("resume for another CID") << pair << "Mouse1" << "Receiver1" << "211,4,34,1" << "Error";
    QTest::newRow("two receivers") << pair + secondPair << "Mouse1" << QString() << QString() << "MultiDongle";
    QTest::newRow("two mice on their cable")
        << pair + QStringLiteral("[Mouse2]\nCable=true\n") << "Mouse1" << QString() << QString() << "MultiMouse";
}

void TestSettingsUpdate::checkRefusals()
{
    QFETCH(QString, scenario);
    QFETCH(QString, open);
    QFETCH(QString, unplug);
    QFETCH(QString, record);
    QFETCH(QString, message);
    QVERIFY(simtest::loadScenario(scenario));
    Registry::Remove(Registry::DriveTestKey(), kFail);
    if (!record.isEmpty())
        QVERIFY(Registry::SetValue(Registry::DriveTestKey(), kFail, record));
    linktest::LinkPages pages;
    QVERIFY(pages.open(open.toLatin1().constData()));
    for (const QString& name : unplug.split(QLatin1Char(','), Qt::SkipEmptyParts))
        QVERIFY(SimControl_Plug(name.toLatin1().constData(), false));
    WorkerInstance->FindDevices(core::vendorId(), core::ProductIds::read().searchOrder());
    FormSetting* page = pages.settings.get();
    page->show();
    page->SetVer(0);
    SimControl_ClearCallLog();

    page->on_Receive_2_clicked();
    QVERIFY(UpdateRepairDialog->isVisible());
    QCOMPARE(tip(), dialogtest::shippedText(0, QStringLiteral("FormSetting"), message));
    QCOMPARE(simtest::countCalls(simtest::callLog(), QStringLiteral("UsbUpgrade_Start")), 0);
    QCOMPARE(recorded(), record);
    UpdateRepairDialog->hide();
}

QTEST_MAIN(TestSettingsUpdate)
#include "tst_settingsupdate.moc"
