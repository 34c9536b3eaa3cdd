// The simulated devices as the program finds them: identities, pairing,
// configurations, firmware updates, scenario events and the kept flash.
#include "devicelib/HIDUsb.h"
#include "devicelib/SimControl.h"
#include "support/devicelib_SimHarness.h"
#include "support/sim_helpers.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <mutex>
#include <vector>

using devicelib_test::Report;
using devicelib_test::ReportSink;

namespace {

const char* const kDefault = "[Mouse1]\n[Receiver1]\nClass=4\nMouse=Mouse1\n";

std::atomic<int> g_hotplugCalls{0};
void onHotplug()
{
    ++g_hotplugCalls;
}

std::mutex g_eventsMutex;
std::vector<QByteArray> g_events;
std::vector<std::thread::id> g_eventThreads;
void onUpgradeEvent(const unsigned char* ev)
{
    std::lock_guard<std::mutex> lock(g_eventsMutex);
    g_events.emplace_back(reinterpret_cast<const char*>(ev), 3);
    g_eventThreads.push_back(std::this_thread::get_id());
}
bool upgradeFinished()
{
    std::lock_guard<std::mutex> lock(g_eventsMutex);
    return !g_events.empty() && g_events.back().at(1) == 2;
}

QStringList find(const char* pid)
{
    int count = 5;
    const char** paths = UsbFinderC_FindHidDevicesByDefaultDeviceId("0x3A2F", pid, &count);
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << QString::fromLatin1(paths[i]);
    return out;
}

QByteArray identity(const char* name)
{
    const HidDeviceIdentity id = UsbFinderC_GetDeviceInfo(SimControl_DevicePath(name));
    return QByteArray() + char(id.Cid) + char(id.Mid) + char(id.Kind);
}

QByteArray shippedImage(const char* name)
{
    QFile f(QCoreApplication::applicationDirPath() + "/bin/" + name + ".bin");
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int pairStatusReports(int status)
{
    int n = 0;
    for (const Report& r : ReportSink::instance().reports())
        n += (r.type == 6 && r.data.size() == 1 && r.data[0] == char(status)) ? 1 : 0;
    return n;
}

} // namespace

class TestDeviceSimulation : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        SimControl_SetBusMicroseconds(0);
        QVERIFY(simtest::loadScenario(kDefault));
        g_hotplugCalls = 0;
        std::lock_guard<std::mutex> lock(g_eventsMutex);
        g_events.clear();
        g_eventThreads.clear();
    }
    void cleanup()
    {
        StopUsbChanged();
        UsbServer_Exit();
    }

    void receiverIdentifiesItselfAndItsMouse()
    {
        const QStringList found = find("0x4141");
        QCOMPARE(found, QStringList{QString::fromLatin1(SimControl_DevicePath("Receiver1"))});
        QVERIFY(find("0x4101").isEmpty()); // no cable plugged
        QVERIFY(find("0x4241").isEmpty()); // no Pro receiver
        QCOMPARE(identity("Receiver1"), QByteArray("\x21\x01\x01", 3));
        unsigned char attr[12] = {};
        QVERIFY(UsbFinderC_GetUsbDeviceAttribute(SimControl_DevicePath("Receiver1"), attr));
        QCOMPARE(QByteArray(reinterpret_cast<char*>(attr), 12), QByteArray("\x2f\x3a\x41\x41\0\0\0\0\x03\x01\0\0", 12));
        QCOMPARE(UsbFinderC_GetVersion(SimControl_DevicePath("Receiver1")), 0x0105);
        int slave = 0;
        QVERIFY(UsbFinderC_GetSlaveVersion(SimControl_DevicePath("Receiver1"), &slave));
        QCOMPARE(slave, 0x0103);

        unsigned char link[10];
        memset(link, 0xCC, sizeof link);
        QVERIFY(UsbFinderC_GetDeviceOnLineWithUsbAddress(SimControl_DevicePath("Receiver1"), link));
        QCOMPARE(int(link[6]), 1);
        QVERIFY(link[7] | link[8] | link[9]);
        QCOMPARE(QByteArray(reinterpret_cast<char*>(link), 6), QByteArray(6, '\0'));

        QVERIFY(SimControl_SetAwake("Mouse1", false)); // still found, no longer answering
        QCOMPARE(find("0x4141").size(), 1);
        QVERIFY(!UsbFinderC_GetDeviceOnLineWithUsbAddress(SimControl_DevicePath("Receiver1"), link));
        QCOMPARE(int(link[6]), 0);
    }

    void cableMouseCarriesItsReceiverAddress()
    {
        QVERIFY(simtest::loadScenario("[Mouse1]\nCable=true\n[Mouse2]\nModel=2\nCable=true\n"
                                             "[Receiver1]\nClass=8\nMouse=Mouse1\n"));
        QCOMPARE(find("0x4101").size(), 1);
        QCOMPARE(find("0x4201").size(), 1);
        QCOMPARE(find("0x4181").size(), 1);
        // A mouse on its cable reports a kind outside the receiver kinds.
        QCOMPARE(identity("Mouse1"), QByteArray("\x21\x01\x02", 3));
        QCOMPARE(identity("Receiver1"), QByteArray("\x21\x01\x05", 3));
        unsigned char cable[10] = {}, receiver[10] = {};
        QVERIFY(UsbFinderC_GetDeviceOnLineWithUsbAddress(SimControl_DevicePath("Mouse1"), cable));
        QVERIFY(UsbFinderC_GetDeviceOnLineWithUsbAddress(SimControl_DevicePath("Receiver1"), receiver));
        QCOMPARE(QByteArray(reinterpret_cast<char*>(cable + 7), 3),
                 QByteArray(reinterpret_cast<char*>(receiver + 7), 3));
        unsigned char unpaired[10] = {};
        QVERIFY(UsbFinderC_GetDeviceOnLineWithUsbAddress(SimControl_DevicePath("Mouse2"), unpaired));
        QCOMPARE(QByteArray(reinterpret_cast<char*>(unpaired + 7), 3), QByteArray(3, '\0'));
    }

    void identityAnswersAfterSilentCalls()
    {
        QVERIFY(SimControl_AnswerAfter("Receiver1", 9));
        for (int i = 0; i < 9; ++i)
            QCOMPARE(identity("Receiver1"), QByteArray(3, '\0'));
        QCOMPARE(identity("Receiver1"), QByteArray("\x21\x01\x01", 3));
    }

    void receiverLightAndLongRange()
    {
        const char* path = SimControl_DevicePath("Receiver1");
        unsigned char rgb[10] = {2, 1, 2, 3, 4, 5, 6, 7, 8, 9};
        QVERIFY(UsbFinderC_Set4KDongleRGB(path, rgb));
        unsigned char back[10] = {};
        QVERIFY(UsbFinderC_Get4KDongleRGBValue(path, back));
        QCOMPARE(QByteArray(reinterpret_cast<char*>(back), 10), QByteArray(reinterpret_cast<char*>(rgb), 10));
        rgb[0] = 4;
        QVERIFY(!UsbFinderC_Set4KDongleRGB(path, rgb));

        unsigned char probe = 's';
        QVERIFY(UsbFinderC_GetLongRangeMode(path, &probe));
        QCOMPARE(int(probe), 0);
        QVERIFY(UsbFinderC_SetLongRangeMode(path, true));
        QVERIFY(UsbFinderC_GetLongRangeMode(path, &probe));
        QCOMPARE(int(probe), 1);
        QVERIFY(devicelib_test::openDevice("Receiver1"));
        QVERIFY(SimControl_SetLongRange("Receiver1", false));
        Report r;
        QVERIFY(ReportSink::instance().waitForType(23, 5000, &r));
        QCOMPARE(r.data, QByteArray(10, '\0'));

        QVERIFY(simtest::loadScenario("[Mouse1]\n[Receiver1]\nClass=1\nMouse=Mouse1\n"));
        QVERIFY(!UsbFinderC_Get4KDongleRGBValue(SimControl_DevicePath("Receiver1"), back)); // no light
    }

    void hotplugChangesCloseTogetherGiveOneCall()
    {
        QVERIFY(StartUsbChanged(&onHotplug, 150));
        QTRY_VERIFY_WITH_TIMEOUT(g_hotplugCalls == 1, 5000); // the first call after registering
        QVERIFY(SimControl_Plug("Receiver1", false));
        QVERIFY(SimControl_Plug("Receiver1", true));
        QVERIFY(SimControl_Plug("Mouse1", true));
        QTRY_VERIFY_WITH_TIMEOUT(g_hotplugCalls == 2, 5000);
        QTest::qWait(400);
        QCOMPARE(g_hotplugCalls.load(), 2);
        StopUsbChanged();
        QVERIFY(SimControl_Plug("Mouse1", false));
        QTest::qWait(400);
        QCOMPARE(g_hotplugCalls.load(), 2);
    }

    void receiverLightButtonIsReported()
    {
        QVERIFY(devicelib_test::openDevice("Receiver1"));
        QVERIFY(SimControl_PressReceiverLightButton("Receiver1"));
        Report r;
        QVERIFY(ReportSink::instance().waitForType(21, 5000, &r));
        QCOMPARE(r.data.size(), 10);
        QCOMPARE(int(r.data[0]), 2); // factory mode 1 -> 2
        unsigned char rgb[10] = {};
        QVERIFY(UsbFinderC_Get4KDongleRGBValue(SimControl_DevicePath("Receiver1"), rgb));
        QCOMPARE(int(rgb[0]), 2);
    }

    void cableMouseTakesAReceiverIdentifier()
    {
        QVERIFY(simtest::loadScenario("[Mouse1]\nCable=true\n[Receiver1]\nClass=1\nAddress=1,2,3\n"));
        QCOMPARE(identity("Receiver1"), QByteArray("\x21\x00\x00", 3));
        const unsigned char record[5] = {3, 2, 1, 0, 0}; // link buffer bytes 9, 8, 7
        QVERIFY(UsbFinderC_SetDongleIDToMouse(SimControl_DevicePath("Mouse1"), record));
        QVERIFY(SimControl_IsPairedWith("Mouse1", "Receiver1"));
        QCOMPARE(identity("Receiver1"), QByteArray("\x21\x01\x00", 3));
        QVERIFY(!UsbFinderC_SetDongleIDToMouse(SimControl_DevicePath("Receiver1"), record)); // not a cable mouse
    }

    void callLogNamesTheCalls()
    {
        SimControl_ClearCallLog();
        QVERIFY(devicelib_test::openDevice("Receiver1"));
        QVERIFY(UsbServer_ReadAllFlashData());
        QVERIFY(UsbServer_SetPCDriverStatus(1));
        QByteArray log(SimControl_CallLog(nullptr, 0) + 1, '\0');
        SimControl_CallLog(log.data(), log.size());
        const QList<QByteArray> lines = log.left(log.indexOf('\0')).split('\n');
        QVERIFY(lines.size() >= 3);
        QVERIFY(lines[0].startsWith("UsbServerC_Start("));
        QCOMPARE(lines[1], QByteArray("UsbServer_ReadAllFlashData()"));
        QCOMPARE(lines[2], QByteArray("UsbServer_SetPCDriverStatus(1)"));
    }

    void pairingSucceedsWithAPairableMouse()
    {
        QVERIFY(simtest::loadScenario("[Simulator]\nPairDelayMs=10\n[Mouse1]\n[Receiver1]\nClass=2\n"));
        QCOMPARE(identity("Receiver1"), QByteArray("\x21\x00\x04", 3)); // knows no model yet
        QVERIFY(!UsbFinderC_GetDeviceOnLine(SimControl_DevicePath("Receiver1")));
        QVERIFY(StartUsbChanged(&onHotplug, 0));
        QTRY_VERIFY_WITH_TIMEOUT(g_hotplugCalls >= 1, 5000);
        const int callsBefore = g_hotplugCalls;
        QVERIFY(devicelib_test::openDevice("Receiver1"));
        QVERIFY(UsbServer_EnterDonglePairOnlyCid(0x21));
        QVERIFY(ReportSink::instance().waitFor([](const Report& r) { return r.type == 6 && r.data == "\x01"; }, 5000));
        QVERIFY(SimControl_SetPairable("Mouse1", true));
        QVERIFY(ReportSink::instance().waitFor([](const Report& r) { return r.type == 6 && r.data == "\x03"; }, 5000));
        QVERIFY(SimControl_IsPairedWith("Mouse1", "Receiver1"));
        QCOMPARE(identity("Receiver1"), QByteArray("\x21\x01\x04", 3));
        QVERIFY(UsbFinderC_GetDeviceOnLine(SimControl_DevicePath("Receiver1")));
        QTRY_VERIFY_WITH_TIMEOUT(g_hotplugCalls > callsBefore, 5000);
        QVERIFY(UsbServer_ReadDonglePairStatus());
        QTRY_COMPARE_WITH_TIMEOUT(pairStatusReports(3), 2, 5000);
        QCOMPARE(pairStatusReports(2), 0);
    }

    // Pairing asked again while the mouse found first is still being bound: the mouse is still
    // in pairing mode, so the new pairing finds it instead of timing out.
    void pairingAskedAgainKeepsTheMouseFound()
    {
        QVERIFY(simtest::loadScenario("[Simulator]\nPairDelayMs=1500\nPairTimeoutMs=100\n[Mouse1]\nPairable=true\n"
                                      "[Receiver1]\nClass=4\n"));
        QVERIFY(devicelib_test::openDevice("Receiver1"));
        QVERIFY(UsbServer_EnterDonglePairOnlyCid(0x21));
        QVERIFY(UsbServer_EnterDonglePairOnlyCid(0x21));
        Report result;
        QVERIFY(ReportSink::instance().waitFor(
            [](const Report& r) { return r.type == 6 && (r.data == "\x02" || r.data == "\x03"); }, 5000, &result));
        QCOMPARE(result.data, QByteArray("\x03"));
        QVERIFY(SimControl_IsPairedWith("Mouse1", "Receiver1"));
    }

    void pairingFailsWithoutAPairableMouse()
    {
        QVERIFY(simtest::loadScenario("[Simulator]\nPairTimeoutMs=100\n[Mouse1]\nModel=2\nPairable=true\n"
                                             "[Receiver1]\nClass=4\n"));
        QVERIFY(devicelib_test::openDevice("Receiver1"));
        QVERIFY(UsbServer_EnterDonglePairOnlyCid(0x21)); // the pairable mouse is of the other model
        QVERIFY(ReportSink::instance().waitFor([](const Report& r) { return r.type == 6 && r.data == "\x02"; }, 5000));
        QVERIFY(!SimControl_IsPairedWith("Mouse1", "Receiver1"));

        QVERIFY(simtest::loadScenario("[Simulator]\nPairTimeoutMs=100\n[Mouse1]\nPairable=true\n"
                                             "[Receiver1]\nClass=4\n"));
        QVERIFY(devicelib_test::openDevice("Receiver1"));
        QVERIFY(UsbServer_EnterDonglePairOnlyCid(0x22)); // wrong customer
        QVERIFY(ReportSink::instance().waitFor([](const Report& r) { return r.type == 6 && r.data == "\x02"; }, 5000));
        QCOMPARE(pairStatusReports(3), 0);
    }

    void pairingTakesTheMouseFromItsOldReceiver()
    {
        QVERIFY(simtest::loadScenario("[Simulator]\nPairDelayMs=0\n[Mouse1]\nPairable=true\n"
                                             "[ReceiverA]\nClass=4\nMouse=Mouse1\n[ReceiverB]\nClass=4\n"));
        QVERIFY(devicelib_test::openDevice("ReceiverB"));
        QVERIFY(UsbServer_EnterDonglePairOnlyCid(0x21));
        QVERIFY(ReportSink::instance().waitFor([](const Report& r) { return r.type == 6 && r.data == "\x03"; }, 5000));
        QVERIFY(SimControl_IsPairedWith("Mouse1", "ReceiverB"));
        QVERIFY(!UsbFinderC_GetDeviceOnLine(SimControl_DevicePath("ReceiverA")));
        QCOMPARE(identity("ReceiverA"), QByteArray("\x21\x00\x01", 3));
    }

    void pairingTakesTheReceiverFromItsOldMouse()
    {
        // Both mice of one model, told apart by their firmware version.
        QVERIFY(simtest::loadScenario("[Simulator]\nPairDelayMs=0\n[Mouse1]\n[Mouse2]\nVersion=0x0106\n"
                                             "Pairable=true\n[Receiver1]\nClass=4\nMouse=Mouse1\n"));
        const char* receiver = SimControl_DevicePath("Receiver1");
        QCOMPARE(UsbFinderC_GetVersion(receiver), 0x0105);
        QVERIFY(devicelib_test::openDevice("Receiver1"));
        QVERIFY(UsbServer_EnterDonglePairOnlyCid(0x21));
        QVERIFY(ReportSink::instance().waitFor([](const Report& r) { return r.type == 6 && r.data == "\x03"; }, 5000));
        QVERIFY(SimControl_IsPairedWith("Mouse2", "Receiver1"));
        QVERIFY(!SimControl_IsPairedWith("Mouse1", "Receiver1"));
        QCOMPARE(UsbFinderC_GetVersion(receiver), 0x0106); // the receiver now speaks for the new mouse
        QVERIFY(SimControl_SetAwake("Mouse2", false));
        QVERIFY(!UsbFinderC_GetDeviceOnLine(receiver)); // the old mouse, still awake, is not heard

        // The same when a cable mouse is given the receiver's identifier.
        QVERIFY(simtest::loadScenario("[Mouse1]\n[Mouse2]\nCable=true\nVersion=0x0106\n"
                                             "[Receiver1]\nClass=1\nMouse=Mouse1\nAddress=1,2,3\n"));
        const unsigned char record[5] = {3, 2, 1, 0, 0};
        QVERIFY(UsbFinderC_SetDongleIDToMouse(SimControl_DevicePath("Mouse2"), record));
        QVERIFY(!SimControl_IsPairedWith("Mouse1", "Receiver1"));
        QCOMPARE(UsbFinderC_GetVersion(SimControl_DevicePath("Receiver1")), 0x0106);
    }

    void pairingOfReplacedDevicesEnds()
    {
        QVERIFY(simtest::loadScenario("[Simulator]\nPairTimeoutMs=60000\n[Mouse1]\n[ReceiverA]\nClass=4\n"));
        QVERIFY(devicelib_test::openDevice("ReceiverA"));
        QVERIFY(UsbServer_EnterDonglePairOnlyCid(0x21));
        QVERIFY(ReportSink::instance().waitFor([](const Report& r) { return r.type == 6 && r.data == "\x01"; }, 5000));
        // New devices; the pairable mouse must not be caught by the old receiver's search.
        QVERIFY(simtest::loadScenario("[Simulator]\nPairDelayMs=0\n[MouseB]\nCable=true\nPairable=true\n"
                                             "[ReceiverB]\nClass=4\n"));
        // The old search looked every 50 ms: whatever it would have done is done.
        QVERIFY(simtest::hotPlugBarrier(200));
        unsigned char link[10] = {};
        QVERIFY(UsbFinderC_GetDeviceOnLineWithUsbAddress(SimControl_DevicePath("MouseB"), link));
        QCOMPARE(QByteArray(reinterpret_cast<char*>(link + 7), 3), QByteArray(3, '\0'));
        // It is still there for a pairing of its own.
        QVERIFY(devicelib_test::openDevice("ReceiverB"));
        QVERIFY(UsbServer_EnterDonglePairOnlyCid(0x21));
        QVERIFY(ReportSink::instance().waitFor([](const Report& r) { return r.type == 6 && r.data == "\x03"; }, 5000));
        QVERIFY(SimControl_IsPairedWith("MouseB", "ReceiverB"));
    }

    void configurationSwitchAndFactoryReset()
    {
        QVERIFY(devicelib_test::openDevice("Receiver1"));
        QVERIFY(UsbServer_SetCurrentConfig(2));
        Report r;
        QVERIFY(ReportSink::instance().waitForType(14, 5000, &r));
        QCOMPARE(r.data, QByteArray("\x02", 1));
        QVERIFY(ReportSink::instance().waitFor([](const Report& x) { return x.type == 8 && x.data.size() == 6912; },
                                               5000, &r));
        QCOMPARE(int(uchar(r.data[6876 + 5])), 2);
        QCOMPARE(SimControl_ActiveProfile("Mouse1"), 2);

        QByteArray image(10428, '\0');
        QVERIFY(ProtocolDataParser(reinterpret_cast<const unsigned char*>(r.data.constData()), image.data()));
        image[0] = 64;
        QVERIFY(ProtocolDataUpdate(image.constData()));
        QVERIFY(SimControl_WaitIdle(5000));
        QCOMPARE(int(uchar(simtest::flash("Mouse1", 2)[0])), 64);
        QCOMPARE(int(uchar(simtest::flash("Mouse1", 0)[0])), 1); // other configurations untouched

        ReportSink::instance().clear();
        QVERIFY(UsbServer_SetClearSetting());
        QVERIFY(ReportSink::instance().waitForType(9, 5000));
        QCOMPARE(SimControl_ActiveProfile("Mouse1"), 0);
        QCOMPARE(int(uchar(simtest::flash("Mouse1", 2)[0])), 1);
        QVERIFY(!UsbServer_SetCurrentConfig(4));
    }

    void firmwareUpdateGoesThroughBootMode()
    {
        const QByteArray image = shippedImage("R430K_M");
        QVERIFY(!image.isEmpty());
        int boot = 5;
        QVERIFY(UsbUpgradeC_FindBootDevices(reinterpret_cast<const unsigned char*>(image.constData()), image.size(),
                                            &boot));
        QCOMPARE(boot, 0);
        QVERIFY(StartUsbChanged(&onHotplug, 0));
        QTRY_VERIFY_WITH_TIMEOUT(g_hotplugCalls >= 1, 5000);
        const int callsBefore = g_hotplugCalls;
        QVERIFY(UsbUpgrade_Start(reinterpret_cast<const unsigned char*>(image.constData()), image.size(),
                                 &onUpgradeEvent, 10000));
        QTRY_VERIFY_WITH_TIMEOUT(upgradeFinished(), 10000);
        {
            std::lock_guard<std::mutex> lock(g_eventsMutex);
            QCOMPARE(int(g_events.size()), 102);
            for (int p = 0; p <= 100; ++p)
                QCOMPARE(g_events[std::size_t(p)], QByteArray("\x07\x01", 2) + char(p));
            QCOMPARE(g_events.back(), QByteArray("\x07\x02\x01", 3));
            QVERIFY(g_eventThreads.front() != std::this_thread::get_id());
        }
        QCOMPARE(SimControl_FirmwareVersion("Mouse1"), 0x0107);
        QCOMPARE(UsbFinderC_GetVersion(SimControl_DevicePath("Receiver1")), 0x0107);
        QVERIFY(!SimControl_InBootMode("Mouse1"));
        QTRY_VERIFY_WITH_TIMEOUT(g_hotplugCalls > callsBefore, 5000);
        QVERIFY(QByteArray(UsbUpgradeC_GetLogs()[6]).contains("success"));
    }

    void failedUpdateLeavesTheDeviceInBootModeForRepair()
    {
        const QByteArray image = shippedImage("R430K_D4K");
        const auto* bytes = reinterpret_cast<const unsigned char*>(image.constData());
        SimControl_FailNextUpgrade(40);
        QVERIFY(UsbUpgrade_Start(bytes, image.size(), &onUpgradeEvent, 10000));
        QTRY_VERIFY_WITH_TIMEOUT(upgradeFinished(), 10000);
        {
            std::lock_guard<std::mutex> lock(g_eventsMutex);
            QCOMPARE(g_events.back(), QByteArray("\x07\x02\x00", 3));
            QCOMPARE(g_events[g_events.size() - 2], QByteArray("\x07\x01\x28", 3));
            g_events.clear();
        }
        QVERIFY(QByteArray(UsbUpgradeC_GetLogs()[6]).contains("failed at 40%"));
        QVERIFY(SimControl_InBootMode("Receiver1"));
        QCOMPARE(SimControl_FirmwareVersion("Receiver1"), 0x0103);
        QVERIFY(find("0x4141").isEmpty()); // the boot loader is not the receiver
        int boot = 5;
        QVERIFY(UsbUpgradeC_FindBootDevices(bytes, image.size(), &boot));
        QCOMPARE(boot, 1);

        QVERIFY(UsbUpgrade_Start(bytes, image.size(), &onUpgradeEvent, 10000));
        QTRY_VERIFY_WITH_TIMEOUT(upgradeFinished(), 10000);
        QCOMPARE(SimControl_FirmwareVersion("Receiver1"), 0x0104);
        QCOMPARE(find("0x4141").size(), 1);
    }

    void updateFailsWhenTheDeviceIsPulledOut()
    {
        const QByteArray image = shippedImage("R430K_M");
        QVERIFY(!image.isEmpty());
        const auto* bytes = reinterpret_cast<const unsigned char*>(image.constData());
        const char* const* logs = UsbUpgradeC_GetLogs();
        SimControl_SetBusMicroseconds(1000); // about half a second of writing
        QVERIFY(UsbUpgrade_Start(bytes, image.size(), &onUpgradeEvent, 10000));
        QTRY_VERIFY_WITH_TIMEOUT(
            [] {
                std::lock_guard<std::mutex> lock(g_eventsMutex);
                return g_events.size() > 10;
            }(),
            5000);
        QVERIFY(SimControl_Plug("Receiver1", false));
        QTRY_VERIFY_WITH_TIMEOUT(upgradeFinished(), 5000);
        SimControl_SetBusMicroseconds(0);
        {
            std::lock_guard<std::mutex> lock(g_eventsMutex);
            QCOMPARE(g_events.back(), QByteArray("\x07\x02\x00", 3));
            QVERIFY(g_events[g_events.size() - 2].at(2) < 100);
            g_events.clear();
        }
        QCOMPARE(SimControl_FirmwareVersion("Mouse1"), 0x0105);
        QVERIFY(SimControl_InBootMode("Mouse1"));
        QVERIFY(QByteArray(logs[6]).contains("removed")); // the early pointers show the latest texts

        // Plugged back, the mouse waits in its boot loader and the repair finishes the job.
        QVERIFY(SimControl_Plug("Receiver1", true));
        int boot = 0;
        QVERIFY(UsbUpgradeC_FindBootDevices(bytes, image.size(), &boot));
        QCOMPARE(boot, 1);
        QVERIFY(UsbUpgrade_Start(bytes, image.size(), &onUpgradeEvent, 10000));
        QTRY_VERIFY_WITH_TIMEOUT(upgradeFinished(), 10000);
        QCOMPARE(SimControl_FirmwareVersion("Mouse1"), 0x0107);
        QVERIFY(!SimControl_InBootMode("Mouse1"));

        // Devices replaced by another scenario end a running update the same way.
        {
            std::lock_guard<std::mutex> lock(g_eventsMutex);
            g_events.clear();
        }
        SimControl_SetBusMicroseconds(1000);
        QVERIFY(UsbUpgrade_Start(bytes, image.size(), &onUpgradeEvent, 10000));
        QTRY_VERIFY_WITH_TIMEOUT(
            [] {
                std::lock_guard<std::mutex> lock(g_eventsMutex);
                return !g_events.empty();
            }(),
            5000);
        QVERIFY(simtest::loadScenario(kDefault));
        SimControl_SetBusMicroseconds(0);
        QTRY_VERIFY_WITH_TIMEOUT(upgradeFinished(), 5000);
        std::lock_guard<std::mutex> lock(g_eventsMutex);
        QCOMPARE(g_events.back(), QByteArray("\x07\x02\x00", 3));
    }

    void updateRefusesImagesThatFitNothing()
    {
        QByteArray image = shippedImage("R430KPro_M"); // no Pro mouse attached
        QVERIFY(!UsbUpgrade_Start(reinterpret_cast<const unsigned char*>(image.constData()), image.size(),
                                  &onUpgradeEvent, 10000));
        image = shippedImage("R430K_M");
        image[1000] = char(image[1000] ^ 1); // damaged body
        QVERIFY(!UsbUpgrade_Start(reinterpret_cast<const unsigned char*>(image.constData()), image.size(),
                                  &onUpgradeEvent, 10000));
        image = shippedImage("R430K_M");
        image[20] = char(200); // unknown image kind
        int boot = 5;
        QVERIFY(!UsbUpgradeC_FindBootDevices(reinterpret_cast<const unsigned char*>(image.constData()), image.size(),
                                             &boot));
        QCOMPARE(boot, 0);
        // A buffer shorter than its header says: neither call reads past it.
        for (const int cut : {1, 1000, 300000}) {
            image = shippedImage("R430K_M");
            image.chop(cut);
            const auto* bytes = reinterpret_cast<const unsigned char*>(image.constData());
            boot = 5;
            QVERIFY2(!UsbUpgradeC_FindBootDevices(bytes, image.size(), &boot), qPrintable(QString::number(cut)));
            QCOMPARE(boot, 0);
            QVERIFY(!UsbUpgrade_Start(bytes, image.size(), &onUpgradeEvent, 10000));
        }
    }

    void scenarioEventsHappenOnTime()
    {
        QVERIFY(simtest::loadScenario("[Mouse1]\n[Receiver1]\nClass=4\nMouse=Mouse1\n"
                                             "[Events]\nE1=600 unplug Receiver1\nE2=400 battery Mouse1 20\n"));
        QVERIFY(StartUsbChanged(&onHotplug, 0));
        QVERIFY(devicelib_test::openDevice("Receiver1"));
        QTRY_VERIFY_WITH_TIMEOUT(g_hotplugCalls >= 1, 5000);
        QCOMPARE(find("0x4141").size(), 1);
        const int callsBefore = g_hotplugCalls;
        QVERIFY(ReportSink::instance().waitForType(10, 5000)); // the battery drop comes first
        QTRY_VERIFY_WITH_TIMEOUT(g_hotplugCalls > callsBefore, 5000);
        QVERIFY(find("0x4141").isEmpty());
    }

    void malformedScenarioIsRefused_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("unknown key") << QByteArray("[Mouse1]\nColour=red\n") << QByteArray("line 2");
        QTest::newRow("bad class") << QByteArray("[Receiver1]\nClass=3\n") << QByteArray("Class");
        QTest::newRow("missing mouse") << QByteArray("[Receiver1]\nMouse=Ghost\n") << QByteArray("Ghost");
        QTest::newRow("mouse on two receivers")
            << QByteArray("[Mouse1]\n[ReceiverA]\nMouse=Mouse1\n[ReceiverB]\nMouse=Mouse1\n") << QByteArray("two");
        QTest::newRow("bad event") << QByteArray("[Mouse1]\n[Events]\nE=soon unplug Mouse1\n") << QByteArray("line 3");
        QTest::newRow("profile out of range")
            << QByteArray("[Mouse1]\n[Events]\nE=10 profile Mouse1 4\n") << QByteArray("0 to 3");
        QTest::newRow("no devices") << QByteArray("[Simulator]\n") << QByteArray("no devices");
    }
    void malformedScenarioIsRefused()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, message);
        const char* error = nullptr;
        QVERIFY(!SimControl_LoadScenarioText(text.constData(), &error));
        QVERIFY(error);
        QVERIFY2(QByteArray(error).contains(message), error);
        QCOMPARE(find("0x4141").size(), 1); // the devices are the previous ones
    }

    void shippedScenariosLoad_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("receivers");
        QTest::newRow("cable and receivers") << "cable-and-receivers.ini" << 3;
        QTest::newRow("timed events") << "timed-events.ini" << 1;
        QTest::newRow("receiver update") << "receiver-update.ini" << 1;
        QTest::newRow("repair on the cable") << "repair-on-cable.ini" << 1;
    }
    void shippedScenariosLoad()
    {
        QFETCH(QString, file);
        QFETCH(int, receivers);
        const QString path = QFINDTESTDATA("../../devicelib/scenarios/" + file);
        QVERIFY2(!path.isEmpty(), qPrintable(file));
        const char* error = nullptr;
        QVERIFY2(SimControl_LoadScenario(path.toLocal8Bit().constData(), &error), error);
        int found = 0;
        for (const char* pid : {"0x4111", "0x4121", "0x4141", "0x4181", "0x4211", "0x4221", "0x4241", "0x4281"})
            found += find(pid).size();
        QCOMPARE(found, receivers);
    }

    void flashSurvivesARestart()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TALVO_SIM_STATE", dir.filePath("state.ini"));
        env.insert("TALVO_SIM_BUS_US", "0");
        QString workDir;  // the child's; empty: this program's
        auto runChild = [&](const char* mode) {
            QProcess p;
            env.insert("DEVICELIB_TEST_CHILD", mode);
            p.setProcessEnvironment(env);
            p.setWorkingDirectory(workDir);
            p.start(QCoreApplication::applicationFilePath(), QStringList());
            if (!p.waitForFinished(20000) || p.exitCode() != 0)
                return QByteArray("failed: ") + p.readAllStandardError();
            return p.readAllStandardOutput().trimmed();
        };
        QCOMPARE(runChild("write"), QByteArray("written"));
        QCOMPARE(runChild("read"), QByteArray("5a 02"));

        // A damaged state file is passed over: the mouse comes back with factory values.
        QFile f(dir.filePath("state.ini"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Mouse1]\nModel=1\nProfile0=zz\nActive=9\n[Receiver1]\nLight=12\n");
        f.close();
        QCOMPARE(runChild("read"), QByteArray("01 00"));

        // A device left in its boot loader by a cut update is still there at the next start.
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[Mouse1]\nModel=1\nBoot=1\n[Receiver1]\nBoot=1\n");
        f.close();
        QCOMPARE(runChild("boot"), QByteArray("1 1"));
        QVERIFY(f.remove());

        // The scenario named in the environment chooses the devices at start.
        QFile scenario(dir.filePath("pro.ini"));
        QVERIFY(scenario.open(QIODevice::WriteOnly));
        scenario.write("[Mouse1]\nModel=2\n[Receiver1]\nClass=8\nMouse=Mouse1\n");
        scenario.close();
        env.insert("TALVO_SIM_SCENARIO", scenario.fileName());
        QCOMPARE(runChild("identity"), QByteArray("0x4281 21 02 05"));
        QVERIFY(scenario.open(QIODevice::WriteOnly | QIODevice::Truncate));
        scenario.write("[Mouse1]\nModel=7\n");
        scenario.close();
        // Malformed: no device at all rather than the default ones, and the reason to show.
        const QByteArray file = QFile::encodeName(scenario.fileName());
        QCOMPARE(runChild("identity"), QByteArray("unloaded (4 at line 2 of " + file + "): the scenario " + file
                                                  + " is malformed: line 2: Model must be 1 or 2"));
        env.insert("TALVO_SIM_SCENARIO", scenario.fileName() + ".gone");
        QCOMPARE(runChild("identity"), QByteArray("unloaded (1 at line 0 of " + file + ".gone): cannot read the "
                                                  "scenario " + file + ".gone: no such file"));
        // Named from the folder the program starts in: the fault names where it was looked for.
        workDir = QFileInfo(dir.path()).canonicalFilePath();
        env.insert("TALVO_SIM_SCENARIO", "pro.ini");
        const QByteArray found = QFile::encodeName(workDir) + "/pro.ini";
        QCOMPARE(runChild("identity"), QByteArray("unloaded (4 at line 2 of " + found + "): the scenario pro.ini ("
                                                  + found + ") is malformed: line 2: Model must be 1 or 2"));
    }
};

// Child modes of flashSurvivesARestart: each is a fresh start of the library.
static int runChildMode(const QByteArray& mode)
{
    if (mode == "write") {
        if (!devicelib_test::openDevice("Receiver1") || !UsbServer_ReadAllFlashData() ||
            !ReportSink::instance().waitForType(8, 5000))
            return 1;
        QByteArray image = simtest::flash("Mouse1");
        image[0] = 0x5A;
        if (!ProtocolDataUpdate(image.constData()) || !SimControl_WaitIdle(5000) || !UsbServer_SetCurrentConfig(2) ||
            !SimControl_WaitIdle(5000))
            return 1;
        printf("written\n");
        return 0; // the library keeps the flash as the process ends
    }
    if (mode == "identity") {
        if (const char* error = SimControl_ScenarioError()) {
            int line = -1;
            const char* file = nullptr;
            const int fault = SimControl_ScenarioFault(&line, &file);
            printf("unloaded (%d at line %d of %s): %s\n", fault, line, file, error);
        }
        for (const char* pid : {"0x4141", "0x4281"}) {
            int count = 5;
            const char** paths = UsbFinderC_FindHidDevicesByDefaultDeviceId("0x3A2F", pid, &count);
            if (count == 1) {
                const HidDeviceIdentity id = UsbFinderC_GetDeviceInfo(paths[0]);
                printf("%s %02x %02x %02x\n", pid, id.Cid, id.Mid, id.Kind);
            }
        }
        return 0;
    }
    if (mode == "boot") {
        printf("%d %d\n", int(SimControl_InBootMode("Mouse1")), int(SimControl_InBootMode("Receiver1")));
        return 0;
    }
    const QByteArray flash = simtest::flash("Mouse1", 0);
    printf("%02x %02x\n", unsigned(uchar(flash[0])), unsigned(SimControl_ActiveProfile("Mouse1")));
    return 0;
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QByteArray child = qgetenv("DEVICELIB_TEST_CHILD");
    if (!child.isEmpty())
        return runChildMode(child);
    TestDeviceSimulation t;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&t, argc, argv);
}

#include "tst_devices.moc"
