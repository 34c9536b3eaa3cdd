#include "buttons/Buttoninterface.h"
#include "core/DeviceParam.h"
#include "core/DeviceReport.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Worker.h"
#include "devicelib/SimControl.h"
#include "support/link_helpers.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <thread>

namespace {

QByteArray bytesOf(const FlashDataMap& image)
{
    return QByteArray(reinterpret_cast<const char*>(&image), int(sizeof image));
}

constexpr quint8 kRates[] = {8, 4, 2, 1, 16, 32, 64};
// The mouse holds macro records for the first ten slots only.
constexpr int kMacroSlots = 10;

bool randomSetterCall(QRandomGenerator& rng)
{
    const quint8 v = quint8(rng.bounded(256));
    const int slot = int(rng.bounded(kButtonSlots));
    const int level = int(rng.bounded(kDpiLevels));
    switch (rng.bounded(12)) {
    case 0: return SetReportRate(kRates[rng.bounded(int(std::size(kRates)))]);
    case 1: return SetSleepTime(v);
    case 2: return SetDebounceTime(v);
    case 3: return SetDPILevelValue(level, v, v, quint8(v & 0x22));
    case 4: return SetDPILevelColor(level, v, quint8(~v), quint8(v ^ 0x5A));
    case 5: return SetDPILightMode(v % 4);
    case 6: return SetLightMode(v % 6);
    case 7: return SetLightColor(v, quint8(v + 1), quint8(v + 2));
    case 8: return SetButtonFunction(slot, quint8(v % 12), v, quint8(v / 2));
    case 9: {
        KeyRecord keys{};
        AppendKeyEvent(keys, MakeKeyEvent(0, 1, quint16(4 + v % 30), 10));
        AppendKeyEvent(keys, MakeKeyEvent(1, 1, quint16(4 + v % 30), 10));
        return SetButtonKeys(slot, ButtonFunctionCode{5, 0, 0}, keys);
    }
    case 10: {
        MacroRecord macro{};
        SetMacroRecordName(macro, QByteArray("m") + QByteArray::number(v));
        for (int i = 0; i < 1 + v % 20; ++i)
            AppendMacroEvent(macro, MakeKeyEvent(quint8(i % 2), 1, quint16(4 + i), 5));
        return SetButtonMacro(slot % kMacroSlots, ButtonFunctionCode{6, 1, 0}, macro);
    }
    default: return SetCurrentDPILevel(quint8(level % 4));
    }
}

} // namespace

class TestLinkStress : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void randomWritesWhileTheMouseReportsAgreeByteForByte();
};

void TestLinkStress::initTestCase()
{
    RegisterBusTypes();
    SimControl_LoadScenario(nullptr, nullptr);
    SimControl_ForgetState();
}

void TestLinkStress::randomWritesWhileTheMouseReportsAgreeByteForByte()
{
    auto pages = std::make_unique<linktest::LinkPages>();
    QVERIFY(pages->open());
    QVERIFY(linktest::waitSimIdle());
    core::expireReloadThrottle();

    // The simulated user presses the DPI button, switches profiles and the
    // battery drains, all while the program writes.
    std::atomic<bool> stop{false};
    std::thread user([&stop] {
        int step = 0;
        while (!stop) {
            switch (step++ % 4) {
            case 0: SimControl_PressDpiButton("Mouse1"); break;
            case 1: SimControl_SetBattery("Mouse1", 90 - step % 80, false); break;
            case 2: SimControl_SendReport(8, 0, reinterpret_cast<const unsigned char*>("\x04"), 1); break;
            default: SimControl_PressDpiButton("Mouse1"); break;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
    });

    QSignalSpy stages(PostMsg::instance(), &PostMsg::SigUpDataDPI);
    QRandomGenerator rng(20261209);
    int sent = 0;
    for (int i = 0; i < 1000; ++i) {
        sent += randomSetterCall(rng) ? 1 : 0;
        QCoreApplication::processEvents();
        if (i % 50 == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    stop = true;
    user.join();
    QCOMPARE(sent, 1000);
    // The mouse really did report while the program wrote.
    QVERIFY2(stages.count() > 20, qPrintable(QString::number(stages.count())));

    // Once every report the user caused has arrived, nothing more is sent.
    QVERIFY(linktest::waitSimIdle());
    QTest::qWait(50);
    QVERIFY(linktest::waitSimIdle());
    QCOMPARE(bytesOf(linktest::simFlashImage()), bytesOf(CurrentFlashDataCopy()));

    // Shutting down while the mouse keeps reporting does not hang.
    std::atomic<bool> stopAgain{false};
    std::thread noisy([&stopAgain] {
        while (!stopAgain) {
            SimControl_PressDpiButton("Mouse1");
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    QElapsedTimer clock;
    clock.start();
    pages.reset();
    stopAgain = true;
    noisy.join();
    QVERIFY2(clock.elapsed() < 6000, "shutdown took too long");
    QVERIFY(WorkerInstance == nullptr);
}

QTEST_MAIN(TestLinkStress)
#include "tst_linkstress.moc"
