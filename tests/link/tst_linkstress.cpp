#include "buttons/Buttoninterface.h"
#include "core/DeviceParam.h"
#include "core/DeviceReport.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Worker.h"
#include "devicelib/SimControl.h"
#include "support/link_helpers.h"
#include "support/sim_helpers.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace {

QByteArray bytesOf(const FlashDataMap& image)
{
    return QByteArray(reinterpret_cast<const char*>(&image), int(sizeof image));
}

constexpr quint8 kRates[] = {8, 4, 2, 1, 16, 32, 64};

// Writes bytes into the test's picture of the flash at an offset of the
// flash layout, written out rather than taken from the program's struct.
void put(QByteArray& model, int offset, std::initializer_list<int> bytes)
{
    for (int b : bytes)
        model[offset++] = char(b);
}

// A whole record (key or macro) at an offset, the bytes after `bytes` zero.
void putRecord(QByteArray& model, int offset, int size, const QByteArray& bytes)
{
    model.replace(offset, size, bytes.leftJustified(size, '\0'));
}

// 8-byte key event: release flag, kind, code (little-endian), delay in ms (little-endian).
QByteArray event(int release, int code, int delay)
{
    const char bytes[8] = {char(release), 1, char(code), char(code >> 8), char(delay), 0, 0, 0};
    return QByteArray(bytes, 8);
}

// One random edit through its setter, also written into the test's own
// picture of what the mouse should end up holding.
bool randomEdit(QRandomGenerator& rng, QByteArray& model)
{
    const quint8 v = quint8(rng.bounded(256));
    const int slot = int(rng.bounded(kButtonSlots));
    const int level = int(rng.bounded(kDpiLevels));
    switch (rng.bounded(12)) {
    case 0: {
        const quint8 rate = kRates[rng.bounded(int(std::size(kRates)))];
        put(model, 0, {rate});
        return SetReportRate(rate);
    }
    case 1: put(model, 8, {v}); return SetSleepTime(v);
    case 2: put(model, 6, {v}); return SetDebounceTime(v);
    case 3:
        put(model, 15 + 6 * level, {v, v, v & 0x22});
        return SetDPILevelValue(level, v, v, quint8(v & 0x22));
    case 4:
        put(model, 15 + 6 * level + 3, {v, quint8(~v), v ^ 0x5A});
        return SetDPILevelColor(level, v, quint8(~v), quint8(v ^ 0x5A));
    case 5:
        // Mode 0 turns the light off and keeps the effect.
        put(model, 66, {v % 4 != 0});
        if (v % 4 != 0)
            put(model, 63, {v % 4});
        return SetDPILightMode(v % 4);
    case 6:
        put(model, 73, {v % 6 != 0});
        if (v % 6 != 0)
            put(model, 67, {v % 6});
        return SetLightMode(v % 6);
    case 7:
        put(model, 68, {v, quint8(v + 1), quint8(v + 2)});
        return SetLightColor(v, quint8(v + 1), quint8(v + 2));
    case 8:
        put(model, 74 + 3 * slot, {v % 12, v, v / 2});
        return SetButtonFunction(slot, quint8(v % 12), v, quint8(v / 2));
    case 9: {
        KeyRecord keys{};
        AppendKeyEvent(keys, MakeKeyEvent(0, 1, quint16(4 + v % 30), 10));
        AppendKeyEvent(keys, MakeKeyEvent(1, 1, quint16(4 + v % 30), 10));
        put(model, 74 + 3 * slot, {5, 0, 0});
        putRecord(model, 124 + 52 * slot, 52,
                  QByteArray("\x02\0\0\0", 4) + event(0, 4 + v % 30, 10) + event(1, 4 + v % 30, 10));
        return SetButtonKeys(slot, ButtonFunctionCode{5, 0, 0}, keys);
    }
    case 10: {
        const int macroSlot = slot % core::kDeviceMacroSlots;
        const QByteArray name = QByteArray("m") + QByteArray::number(v);
        MacroRecord macro{};
        SetMacroRecordName(macro, name);
        // Name length, 30 name bytes, event count, then the events.
        QByteArray record = (char(name.size()) + name).leftJustified(31, '\0') + char(1 + v % 20);
        for (int i = 0; i < 1 + v % 20; ++i) {
            AppendMacroEvent(macro, MakeKeyEvent(quint8(i % 2), 1, quint16(4 + i), 5));
            record += event(i % 2, 4 + i, 5);
        }
        put(model, 74 + 3 * macroSlot, {6, 1, 0});
        putRecord(model, 956 + 592 * macroSlot, 592, record);
        return SetButtonMacro(macroSlot, ButtonFunctionCode{6, 1, 0}, macro);
    }
    default: put(model, 2, {level % 4}); return SetCurrentDPILevel(quint8(level % 4));
    }
}

// Waits off the GUI thread; false when `done` stayed false for timeoutMs.
bool waitOff(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

// Runs `step` again and again on a thread of its own until stopped or
// destroyed, so a failing check never leaves the thread running.
class Repeat
{
public:
    explicit Repeat(std::function<void(const std::atomic<bool>& stop)> step)
        : m_thread([this, step] {
            while (!m_stop)
                step(m_stop);
        })
    {
    }
    ~Repeat() { stop(); }
    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

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
    QVERIFY(simtest::loadScenario());
}

void TestLinkStress::randomWritesWhileTheMouseReportsAgreeByteForByte()
{
    auto pages = std::make_unique<linktest::LinkPages>();
    QVERIFY(pages->open());
    QVERIFY(linktest::waitSimIdle());
    core::expireReloadThrottle();
    const FlashDataMap first = linktest::imageOf(simtest::flash());
    QByteArray model = bytesOf(CurrentFlashDataCopy());

    QSignalSpy stages(PostMsg::instance(), &PostMsg::SigUpDataDPI);
    std::atomic<int> stageReports{0};
    QObject counter;
    connect(PostMsg::instance(), &PostMsg::SigUpDataDPI, &counter, [&stageReports] { ++stageReports; },
            Qt::DirectConnection);

    // The simulated user presses the DPI button, the rate changes and the
    // battery drains, all while the program writes. A hand is slower than the
    // bus: each press waits for its stage, so reports never pile up.
    int step = 0;
    Repeat user([&step, &stageReports](const std::atomic<bool>& stop) {
        switch (step++ % 4) {
        case 1: SimControl_SetBattery("Mouse1", 90 - step % 80, false); break;
        case 2: SimControl_SendReport(8, 0, reinterpret_cast<const unsigned char*>("\x04"), 1); break;
        default: {
            const int seen = stageReports;
            SimControl_PressDpiButton("Mouse1");
            waitOff([&] { return stop || stageReports > seen; }, 5000);
        }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(300));
    });

    QRandomGenerator rng(20261209);
    int sent = 0;
    for (int i = 0; i < 1000; ++i) {
        sent += randomEdit(rng, model) ? 1 : 0;
        QCoreApplication::processEvents();
        // Whatever the bus time, reports arrive between the writes.
        if (i % 40 == 39) {
            const int seen = stageReports;
            QTRY_VERIFY_WITH_TIMEOUT(stageReports > seen, 10000);
        }
    }
    user.stop();
    QCOMPARE(sent, 1000);
    QVERIFY2(stages.count() > 20, qPrintable(QString::number(stages.count())));
    QVERIFY(linktest::waitSimIdle());

    // The last press comes after the last edit: the program takes the
    // mouse's stage instead of writing its own back.
    const FlashDataMap before = linktest::imageOf(simtest::flash());
    QVERIFY(before.DpiLevelCount > 1);
    const int seen = stageReports;
    QVERIFY(SimControl_PressDpiButton("Mouse1"));
    QTRY_VERIFY_WITH_TIMEOUT(stageReports > seen, 10000);
    QVERIFY(linktest::waitSimIdle());
    const FlashDataMap last = linktest::imageOf(simtest::flash());
    QCOMPARE(int(last.CurrentDpiLevel), (before.CurrentDpiLevel + 1) % before.DpiLevelCount);
    QCOMPARE(stages.last().at(0).toInt(), int(last.CurrentDpiLevel));
    QCOMPARE(bytesOf(last), bytesOf(CurrentFlashDataCopy()));

    // Every last edit reached the flash; the stage and the rate are the
    // user's as much as the program's, so they are the mouse's to say.
    put(model, 2, {last.CurrentDpiLevel});
    put(model, 0, {last.ReportRate});
    QCOMPARE(bytesOf(last), model);
    QVERIFY(bytesOf(last) != bytesOf(first));

    // Shutting down while the mouse keeps reporting does not hang.
    Repeat noisy([](const std::atomic<bool>&) {
        SimControl_PressDpiButton("Mouse1");
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    QElapsedTimer clock;
    clock.start();
    pages.reset();
    noisy.stop();
    QVERIFY2(clock.elapsed() < 6000, "shutdown took too long");
    QVERIFY(WorkerInstance == nullptr);
}

QTEST_MAIN(TestLinkStress)
#include "tst_linkstress.moc"
