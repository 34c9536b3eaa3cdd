#include "buttons/Buttoninterface.h"
#include "core/DeviceInfoFile.h"
#include "core/DeviceParam.h"
#include "core/PostMsg.h"
#include "core/DeviceScan.h"
#include "core/ProcessState.h"
#include "core/Worker.h"
#include "devicelib/HIDUsb.h"
#include "devicelib/SimControl.h"
#include "sensor/Sensor.h"
#include "settings/FormSetting.h"
#include "support/link_helpers.h"
#include "support/sim_helpers.h"

#include <QComboBox>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <thread>

namespace {

QByteArray bytesOf(const FlashDataMap& image)
{
    return QByteArray(reinterpret_cast<const char*>(&image), int(sizeof image));
}

bool waitPassEnd(int timeoutMs = 5000)
{
    return QTest::qWaitFor([] { return WorkerBusy == 0 && WorkerInstance && !WorkerInstance->isRunning(); },
                           timeoutMs);
}

} // namespace

class TestWorker : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void choosingADeviceFillsThePagesFromIt();
    void passForTheSameDeviceOpensNothing();
    void passOffTheFrameOpensNothing();
    void silentDeviceShowsItsCache();
    void silentDeviceWithoutCacheResetsThePages();
    void silentDeviceIsReadWhenItWakes();
    void identityOnTheTenthAnswerCounts();
    void hotPlugCallbacksAreCoalesced();
    void reselectionDuringAPassLinksTheNewDevice();
    void unpluggedDeviceReturnsToTheChoicePage();
    void cableMouseIsOfferedItsReceiversFirmware();

private:
    std::unique_ptr<linktest::LinkPages> m_pages;
};

void TestWorker::initTestCase()
{
    RegisterBusTypes();
    // The worker's side of hot-plug: the frame shows.
    core::setHotPlugPage(core::HotPlugOwner::Worker);
}

void TestWorker::init()
{
    QFile::remove(DeviceCachePath(DeviceCacheFileName(0x21, 0x01)));
    QVERIFY(simtest::loadScenario());
    m_pages = std::make_unique<linktest::LinkPages>();
}

void TestWorker::cleanup()
{
    StopUsbChanged();
    m_pages.reset();
}

void TestWorker::choosingADeviceFillsThePagesFromIt()
{
    const char* receiver = SimControl_DevicePath("Receiver1");
    QVERIFY(m_pages->open("Receiver1"));
    QCOMPARE(QByteArray(CurrentDevicePath().c_str()), QByteArray(receiver));
    QVERIFY(linktest::waitSimIdle());
    const QByteArray device = simtest::flash();
    QCOMPARE(bytesOf(m_pages->buttons->ShownImage()), device);
    QCOMPARE(bytesOf(m_pages->sensor->ShownImage()), device);
    QCOMPARE(bytesOf(CurrentFlashDataCopy()), device);
    QCOMPARE(m_pages->settings->FormCount(), 1);
    QCOMPARE(m_pages->buttons->SensorName(), QStringLiteral("TV3395"));
    QCOMPARE(DumpCacheFileName(), QStringLiteral("Device_CID21_MID01.bin"));
    QCOMPARE(int(SessionOnline), 1);
    const QStringList log = simtest::callLog();
    QCOMPARE(simtest::countCalls(log, QStringLiteral("UsbServerC_Start")), 1);
    QCOMPARE(simtest::countCalls(log, QStringLiteral("UsbServer_SetPCDriverStatus")), 1);

    // The report-rate widget's first write reaches the mouse.
    QVERIFY(SetReportRate(16));
    QVERIFY(linktest::waitSimIdle());
    QCOMPARE(int(linktest::imageOf(simtest::flash()).ReportRate), 16);
}

void TestWorker::passForTheSameDeviceOpensNothing()
{
    QVERIFY(m_pages->open());
    QVERIFY(linktest::waitSimIdle());
    SimControl_ClearCallLog();
    SessionOnline = 0;
    WorkerInstance->StartPass();
    QVERIFY(waitPassEnd());
    QCOMPARE(int(SessionOnline), 1);
    QCOMPARE(simtest::countCalls(simtest::callLog(), QStringLiteral("UsbServerC_Start")), 0);

    // A reload request opens it again, even though nothing changed.
    ReloadRequested = 1;
    QSignalSpy progress(PostMsg::instance(), &PostMsg::SigUpDataParam);
    const int refills = m_pages->sensor->RefillCount();
    WorkerInstance->StartPass();
    // The image flag stays set across a reload of the same device: wait for
    // the reloaded configuration itself to reach the pages.
    QVERIFY(QTest::qWaitFor([&] { return m_pages->sensor->RefillCount() > refills && WorkerBusy == 0; }, 5000));
    QVERIFY(waitPassEnd());
    QVERIFY(linktest::waitSimIdle());
    QCOMPARE(simtest::countCalls(simtest::callLog(), QStringLiteral("UsbServerC_Start")), 1);
    QVERIFY(progress.count() >= 1);
    QCOMPARE(progress.at(0).at(0).toInt(), 1);
    QCOMPARE(int(ReloadRequested), 0);
}

void TestWorker::passOffTheFrameOpensNothing()
{
    PostMsg::instance()->EmitSelectMouseInfo(linktest::recordOf("Receiver1"));
    MainPageIndex = 0;
    SimControl_ClearCallLog();
    WorkerInstance->StartPass();
    QVERIFY(waitPassEnd());
    QCOMPARE(simtest::countCalls(simtest::callLog(), QStringLiteral("UsbServerC_Start")), 0);
    QCOMPARE(m_pages->sensor->RefillCount(), 0);
}

void TestWorker::silentDeviceShowsItsCache()
{
    FlashDataMap cached = EmptyFlashDataMap();
    cached.ReportRate = 2;
    cached.SleepTime = 12;
    cached.DpiLevelCount = 3;
    QVERIFY(WriteDeviceInfoFile(DeviceCacheFileName(0x21, 0x01), cached));
    const DeviceAllInfo rec = linktest::recordOf("Receiver1");
    QCOMPARE(rec.DriveIndex, 0);
    QCOMPARE(int(rec.Cid), 0x21);
    QVERIFY(SimControl_SetAwake("Mouse1", false));
    QSignalSpy sleep(PostMsg::instance(), &PostMsg::SigLightToFrom);
    PostMsg::instance()->EmitSelectMouseInfo(rec);
    WorkerInstance->StartChosenDevice();
    QVERIFY(waitPassEnd());
    QCOMPARE(bytesOf(m_pages->buttons->ShownImage()), bytesOf(cached));
    QCOMPARE(bytesOf(m_pages->sensor->ShownImage()), bytesOf(cached));
    QCOMPARE(m_pages->settings->FormCount(), 1);
    QCOMPARE(m_pages->settings->FormResetCount(), 0);
    QCOMPARE(sleep.count(), 1);
    QCOMPARE(sleep.at(0).at(0).toInt(), 120);
    QCOMPARE(int(OfflineAtStart), 1);
    QVERIFY(!CurrentDeviceInfoCopy().Online);
    // The configuration box lists the mouse's configurations too.
    auto* box = m_pages->buttons->findChild<QComboBox*>(QStringLiteral("ProjectChoose"));
    QCOMPARE(box->count(), 4);
    QCOMPARE(box->currentIndex(), 0);
    QVERIFY(box->isEnabled());
    // A cached image is no device configuration: nothing is written, the
    // cache is not rewritten from it, and each act is told the mouse is offline.
    QSignalSpy offline(PostMsg::instance(), &PostMsg::SigMouseOffLineo);
    QVERIFY(!SetReportRate(1));
    QVERIFY(DumpCacheFileName().isEmpty());
    box->setCurrentIndex(2);
    emit box->activated(2);
    QCOMPARE(box->currentIndex(), 0);
    QCOMPARE(offline.count(), 2);
    QCOMPARE(simtest::countCalls(simtest::callLog(), QStringLiteral("UsbServer_SetCurrentConfig")), 0);
}

// The mouse's cable goes in while the pass for its sleeping receiver waits for the pages to take
// the cached image: the reselection asked meanwhile must not be lost, or the frame would show the
// mouse on its cable while its link stays on the receiver.
void TestWorker::reselectionDuringAPassLinksTheNewDevice()
{
    FlashDataMap cached = EmptyFlashDataMap();
    QVERIFY(WriteDeviceInfoFile(DeviceCacheFileName(0x21, 0x01), cached));
    QVERIFY(SimControl_SetAwake("Mouse1", false));
    PostMsg::instance()->EmitSelectMouseInfo(linktest::recordOf("Receiver1"));
    OfflineAtStart = 0;
    SimControl_ClearCallLog();
    WorkerInstance->StartChosenDevice();
    // No event is processed here: once the pass has found the mouse silent it waits for the pages.
    const QDeadlineTimer deadline(5000);
    while (OfflineAtStart == 0 && !deadline.hasExpired())
        QThread::yieldCurrentThread();
    QCOMPARE(int(OfflineAtStart), 1);
    QVERIFY(WorkerInstance->isRunning());
    QVERIFY(SimControl_Plug("Mouse1", true));
    const DeviceAllInfo cable = linktest::recordOf("Mouse1");
    WorkerInstance->SelectAndStart(cable);
    QCOMPARE(QByteArray(CurrentDevicePath().c_str()), cable.DevicePath.toLatin1());
    QTRY_VERIFY_WITH_TIMEOUT(
        simtest::callsStartingWith(simtest::callLog(), {"UsbServerC_Start"}).value(1).contains(cable.DevicePath), 15000);
    QVERIFY(waitPassEnd(15000));
    // The remembered pass was the last one asked for: its end starts none.
    QCoreApplication::sendPostedEvents(WorkerInstance);
    QVERIFY(!WorkerInstance->isRunning());
    QCOMPARE(int(WorkerBusy), 0);
}

void TestWorker::silentDeviceWithoutCacheResetsThePages()
{
    const DeviceAllInfo rec = linktest::recordOf("Receiver1");
    QVERIFY(SimControl_SetAwake("Mouse1", false));
    QSignalSpy indexes(PostMsg::instance(), &PostMsg::SigMouseIndex);
    PostMsg::instance()->EmitSelectMouseInfo(rec);
    WorkerInstance->StartChosenDevice();
    QVERIFY(waitPassEnd());
    QCOMPARE(m_pages->buttons->ResetCount(), 1);
    QCOMPARE(m_pages->sensor->ResetCount(), 1);
    QCOMPARE(m_pages->settings->FormResetCount(), 1);
    QCOMPARE(m_pages->settings->FormCount(), 0);
    QCOMPARE(indexes.count(), 1);
    QCOMPARE(m_pages->settings->SleepSeconds(), 60);
    QCOMPARE(int(ButtonPageUpdating), 0);
    QCOMPARE(int(SensorPageUpdating), 0);
}

void TestWorker::silentDeviceIsReadWhenItWakes()
{
    const DeviceAllInfo rec = linktest::recordOf("Receiver1");
    QVERIFY(SimControl_SetAwake("Mouse1", false));
    PostMsg::instance()->EmitSelectMouseInfo(rec);
    WorkerInstance->StartChosenDevice();
    QVERIFY(waitPassEnd());
    QVERIFY(!core::imageFromOpenDevice());
    QSignalSpy closeNotice(PostMsg::instance(), &PostMsg::SigCloseOffOnline);
    QVERIFY(SimControl_SetAwake("Mouse1", true));
    // The connection stays open for a silent device: it answers once awake.
    QVERIFY(QTest::qWaitFor([] { return core::imageFromOpenDevice() && SensorPageFilled == 1; }, 8000));
    QVERIFY(QTest::qWaitFor([&closeNotice] { return closeNotice.count() == 1; }, 4000));
    QCOMPARE(int(OfflineAtStart), 0);
}

void TestWorker::identityOnTheTenthAnswerCounts()
{
    const char* path = SimControl_DevicePath("Receiver1");
    QVERIFY(SimControl_AnswerAfter("Receiver1", 9));
    DeviceAllInfo rec;
    rec.DevicePath = QString::fromLatin1(path);
    QCOMPARE(WorkerInstance->FillDeviceInfo(rec, path), int(Worker::Matched));
    QCOMPARE(int(rec.Cid), 0x21);
    QCOMPARE(int(rec.Mid), 1);
    QCOMPARE(int(rec.DeviceKind), 1);
    QCOMPARE(rec.DriveIndex, 0);
    QVERIFY(rec.Online);

    QVERIFY(SimControl_AnswerAfter("Receiver1", 10));
    DeviceAllInfo silent;
    QCOMPARE(WorkerInstance->FillDeviceInfo(silent, path), int(Worker::NotIdentified));
    QCOMPARE(silent.DriveIndex, 2);
    QCOMPARE(int(silent.Mid), 0);
}

void TestWorker::hotPlugCallbacksAreCoalesced()
{
    QVERIFY(m_pages->open());
    QVERIFY(linktest::waitSimIdle());
    QSignalSpy setver(PostMsg::instance(), &PostMsg::SigSetver);
    std::thread library([] {
        for (int i = 0; i < 20; ++i)
            Worker::OnUsbChanged();
    });
    library.join();
    QCOMPARE(setver.count(), 0);   // nothing ran on the library's thread
    QTRY_COMPARE(setver.count(), 1);
    // Every call came before the rescan ran: nothing further is queued.
    QCoreApplication::processEvents();
    QCOMPARE(setver.count(), 1);
    QCOMPARE(setver.at(0).at(0).toInt(), 4);
    // The rescan finds the open receiver again and keeps its path.
    QCOMPARE(QByteArray(CurrentDevicePath().c_str()), QByteArray(SimControl_DevicePath("Receiver1")));
    QVERIFY(!WorkerInstance->DeviceList().isEmpty());
    QCOMPARE(WorkerInstance->DeviceList().first().DriveIndex, 0);
}

void TestWorker::unpluggedDeviceReturnsToTheChoicePage()
{
    QVERIFY(m_pages->open());
    QVERIFY(linktest::waitSimIdle());
    QSignalSpy mainDialog(PostMsg::instance(), &PostMsg::SigChangeMainDialog);
    QVERIFY(StartUsbChanged(&Worker::OnUsbChanged, 50));
    QVERIFY(SimControl_Plug("Receiver1", false));
    QVERIFY(QTest::qWaitFor([&mainDialog] { return mainDialog.count() >= 1; }, 5000));
    QCOMPARE(mainDialog.at(0).at(0).toInt(), 0);
    QVERIFY(CurrentDeviceInfoCopy().DevicePath.isEmpty());
}

void TestWorker::cableMouseIsOfferedItsReceiversFirmware()
{
    // The mouse on its cable, its class-4 receiver, and a foreign class-1
    // receiver that already runs the shipped receiver firmware.
    const char* scenario = "[Mouse1]\nModel=1\nCable=true\nAwake=true\n"
                           "[Receiver1]\nClass=1\nMouse=\nVersion=0x0104\nAddress=0x01,0x02,0x03\n"
                           "[Receiver2]\nClass=4\nMouse=Mouse1\nVersion=0x0103\n";
    QVERIFY(simtest::loadScenario(scenario));
    QVERIFY(m_pages->open("Mouse1"));
    QVERIFY(linktest::waitSimIdle());
    QVERIFY(CurrentDeviceInfoCopy().RestrictedKind);
    ReceiverUpdateAvailable = 0;
    MouseUpdateAvailable = 0;
    QSignalSpy labels(PostMsg::instance(), &PostMsg::SigLabelTextB);
    Worker::OnUsbChanged();
    QVERIFY(QTest::qWaitFor([&labels] { return labels.count() == 1; }, 3000));
    QCOMPARE(WorkerInstance->DeviceList().size(), 3);
    QCOMPARE(labels.at(0).at(0).toString(), QStringLiteral("v1.3"));
    QCOMPARE(labels.at(0).at(1).toString(), QStringLiteral("true"));
    QCOMPARE(int(ReceiverUpdateAvailable), 1);
    QCOMPARE(int(MouseUpdateAvailable), 1);
    QCOMPARE(m_pages->settings->ReceiverOffer(), true);
}

QTEST_MAIN(TestWorker)
#include "tst_worker.moc"
