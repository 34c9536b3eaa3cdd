// The library's side of the bus: threads of its callbacks, calls that must not
// wait for a blocked callback, what an edit costs on the bus, silent mice.
#include "devicelib/HIDUsb.h"
#include "devicelib/SimControl.h"
#include "support/devicelib_SimHarness.h"
#include "support/sim_helpers.h"

#include <QElapsedTimer>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

using devicelib_test::Report;
using devicelib_test::ReportSink;

namespace {

constexpr int kImageSize = 10428;

std::atomic<int> g_hotplugCalls{0};
std::thread::id g_hotplugThread;
void onHotplug()
{
    g_hotplugThread = std::this_thread::get_id();
    ++g_hotplugCalls;
}

QByteArray fetchDump()
{
    ReportSink::instance().clear();
    if (!UsbServer_ReadAllFlashData())
        return {};
    Report r;
    if (!ReportSink::instance().waitFor([](const Report& x) { return x.type == 8 && x.data.size() == 6912; }, 5000, &r))
        return {};
    QByteArray image(kImageSize, '\0');
    if (!ProtocolDataParser(reinterpret_cast<const unsigned char*>(r.data.constData()), image.data()))
        return {};
    return image;
}

// Reports that one ProtocolDataUpdate puts on the bus.
int reportsForUpdate(const QByteArray& image)
{
    const unsigned long long before = SimControl_BusReports();
    if (!ProtocolDataUpdate(image.constData()) || !SimControl_WaitIdle(5000))
        return -1;
    return int(SimControl_BusReports() - before);
}

} // namespace

class TestDeviceTransport : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        SimControl_SetBusMicroseconds(0);
        QVERIFY(simtest::loadScenario("[Mouse1]\n[Receiver1]\nClass=4\nMouse=Mouse1\n"));
        QVERIFY(devicelib_test::openDevice("Receiver1"));
        ReportSink::instance().setHook({});
    }
    void cleanup()
    {
        ReportSink::instance().setHook({});
        StopUsbChanged();
        UsbServer_Exit();
        SimControl_SetBusMicroseconds(0);
    }

    void callbacksRunOnLibraryThreads()
    {
        QVERIFY(UsbServer_ReadVersion());
        Report r;
        QVERIFY(ReportSink::instance().waitForType(18, 5000, &r));
        QVERIFY(r.thread != std::this_thread::get_id());
        QCOMPARE(r.data, QByteArray("\x05\x01", 2));

        g_hotplugCalls = 0;
        QVERIFY(StartUsbChanged(&onHotplug, 0));
        QTRY_VERIFY_WITH_TIMEOUT(g_hotplugCalls >= 1, 5000);
        QVERIFY(g_hotplugThread != std::this_thread::get_id());
        QVERIFY(g_hotplugThread != r.thread);
    }

    void endingCallsDoNotWaitForABlockedCallback()
    {
        std::promise<void> release;
        std::shared_future<void> released = release.get_future().share();
        std::atomic<bool> inside{false};
        ReportSink::instance().setHook([&](const Report&) {
            inside = true;
            released.wait();
        });
        QVERIFY(UsbServer_ReadConfig());
        QTRY_VERIFY_WITH_TIMEOUT(inside.load(), 5000);
        QVERIFY(UsbServer_ReadVersion()); // answered, but queued behind the held callback
        QTRY_COMPARE(SimControl_BusReportsDelivered(), SimControl_BusReports());

        QElapsedTimer t;
        t.start();
        UsbServer_Exit();
        StopUsbChanged();
        const char* path = SimControl_DevicePath("Receiver1");
        QVERIFY(UsbServerC_Start(path, path, &ReportSink::callback));
        QVERIFY(UsbServer_ReadBatteryLevel());
        QVERIFY(t.elapsed() < 1000); // they only queue; the callback is still held
        ReportSink::instance().setHook({});
        release.set_value();
        QVERIFY(ReportSink::instance().waitForType(4, 5000));
        // The answer queued for the ended connection was dropped, not delivered late.
        QVERIFY(!ReportSink::instance().waitForType(18, 100));
    }

    void callbackMayCallTheLibrary()
    {
        // The dispatcher answers a report-rate frame by sending the image back, from
        // inside the callback; that must neither deadlock nor echo a report.
        const QByteArray image = fetchDump();
        QVERIFY(!image.isEmpty());
        std::atomic<int> updates{0};
        ReportSink::instance().setHook([&](const Report& r) {
            if (r.type == 8 && r.command == 0 && r.data.size() == 1) {
                ProtocolDataUpdate(image.constData());
                UsbServer_ReadVersion();
                ++updates;
            }
        });
        QVERIFY(UsbServer_ReadReportRate());
        QVERIFY(ReportSink::instance().waitForType(18, 5000));
        QVERIFY(SimControl_WaitIdle(5000));
        int rateFrames = 0;
        for (const Report& r : ReportSink::instance().reports())
            rateFrames += (r.type == 8 && r.command == 0 && r.data.size() == 1) ? 1 : 0;
        QCOMPARE(rateFrames, 1);
        QCOMPARE(updates.load(), 1);
    }

    void editCostsFewReports_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("maxReports");
        QTest::newRow("report rate") << 0 << 1 << 1;
        QTest::newRow("button function") << 0x4A + 3 * 4 << 3 << 1;
        QTest::newRow("DPI level") << 15 + 6 * 2 << 6 << 1;
        QTest::newRow("key record") << 124 + 52 * 3 << 52 << 1;
        QTest::newRow("two fields apart") << 5 << 70 << 2;
        QTest::newRow("macro record") << 956 + 592 * 2 << 592 << 11;
    }
    void editCostsFewReports()
    {
        QFETCH(int, offset);
        QFETCH(int, length);
        QFETCH(int, maxReports);
        QByteArray image = fetchDump();
        QVERIFY(!image.isEmpty());
        ReportSink::instance().clear();
        image[offset] = char(image[offset] ^ 0x5A);
        image[offset + length - 1] = char(image[offset + length - 1] ^ 0x3C);
        const int cost = reportsForUpdate(image);
        QVERIFY2(cost >= 1 && cost <= maxReports, qPrintable(QString::number(cost)));
        QCOMPARE(simtest::flash("Mouse1").left(6876), image.left(6876));
        QCOMPARE(int(ReportSink::instance().reports().size()), 0); // writes are never answered
        QCOMPARE(reportsForUpdate(image), 0);                      // nothing changed, nothing sent
    }

    void macroSlotsBeyondTheStoredOnesAreNotSent()
    {
        QByteArray image = fetchDump();
        image[956 + 592 * 12] = 7;
        QCOMPARE(reportsForUpdate(image), 0);
    }

    void imageBeforeAnyDumpIsWrittenWhole()
    {
        QByteArray image(kImageSize, '\0');
        image[3] = 0x42;
        const int cost = reportsForUpdate(image);
        QVERIFY(cost >= 6876 / 64);
        QCOMPARE(simtest::flash("Mouse1").left(6876), image.left(6876));
    }

    void silentMouseAnswersWhenItWakes()
    {
        QVERIFY(SimControl_SetAwake("Mouse1", false));
        QVERIFY(!UsbFinderC_GetDeviceOnLine(SimControl_DevicePath("Receiver1")));
        QVERIFY(UsbServer_ReadAllFlashData());
        QVERIFY(SimControl_WaitIdle(5000));
        QVERIFY(!ReportSink::instance().waitForType(8, 100));
        QVERIFY(SimControl_SetAwake("Mouse1", true));
        QVERIFY(ReportSink::instance().waitForType(8, 5000));
    }

    void mouseReportsItsOwnChanges()
    {
        QVERIFY(!fetchDump().isEmpty());
        ReportSink::instance().clear();
        QVERIFY(SimControl_PressDpiButton("Mouse1"));
        Report r;
        QVERIFY(ReportSink::instance().waitForType(10, 5000, &r));
        unsigned char flags[7];
        QVERIFY(GetDeviceStatusChanged(reinterpret_cast<const unsigned char*>(r.data.constData()), flags));
        QCOMPARE(QByteArray(reinterpret_cast<char*>(flags), 7), QByteArray("\x01\0\0\0\0\0\0", 7));
        QVERIFY(UsbServer_ReadCurrentDPI());
        QVERIFY(
            ReportSink::instance().waitFor([](const Report& x) { return x.type == 8 && x.command == 4; }, 5000, &r));
        QCOMPARE(r.data, QByteArray("\x02", 1)); // factory level 1 -> 2

        ReportSink::instance().clear();
        QVERIFY(SimControl_SetBattery("Mouse1", 79, false)); // a drop is reported
        QVERIFY(ReportSink::instance().waitForType(10, 5000, &r));
        QCOMPARE(r.data, QByteArray("\x40", 1));
        ReportSink::instance().clear();
        QVERIFY(SimControl_SetBattery("Mouse1", 90, false)); // a rise is not
        QVERIFY(SimControl_WaitIdle(5000));
        QVERIFY(!ReportSink::instance().waitForType(10, 50));
    }

    void busTimeIsSpentPerReport()
    {
        QVERIFY(SimControl_WaitIdle(5000));
        SimControl_SetBusMicroseconds(1000);
        const unsigned long long queued = SimControl_BusReports();
        const unsigned long long delivered = SimControl_BusReportsDelivered();
        QElapsedTimer t;
        t.start();
        ReportSink::instance().clear();
        QVERIFY(UsbServer_ReadAllFlashData());
        QCOMPARE(SimControl_BusReports() - queued, 125ULL); // request plus 124 reports of the dump
        QCOMPARE(SimControl_BusReportsDelivered(), delivered); // none has crossed yet
        QVERIFY(ReportSink::instance().waitForType(8, 5000));
        QVERIFY(t.elapsed() >= 125);
        QCOMPARE(SimControl_BusReportsDelivered() - delivered, 125ULL);
    }

    void requestsWithoutConnectionFail()
    {
        UsbServer_Exit();
        QVERIFY(!UsbServer_ReadAllFlashData());
        QByteArray image(kImageSize, '\0');
        QVERIFY(!ProtocolDataUpdate(image.constData()));
        QVERIFY(!UsbServerC_Start("no such path", "no such path", &ReportSink::callback));
        QVERIFY(!UsbFinderC_GetDeviceOnLine(nullptr));
    }
};

QTEST_GUILESS_MAIN(TestDeviceTransport)
#include "tst_transport.moc"
