// Idle cost of the window: wake-ups (context switches of every thread of the process, voluntary
// and not) and CPU time over a quiet spell on the choice page and on each page of the frame with
// the simulated mouse open. Nothing is touched while a spell runs; the bench's own end-of-spell
// timer is its one wake-up and is not counted, nor is the time it takes to read /proc. Per thread, the wake-ups are named, so that a source can be found.
// Run it on a real display (xvfb-run -a bench_idle_wakeups): offscreen hides the X connection.
//
//   bench_idle_wakeups [seconds]      default 10 s per spell
//
// With TALVO_IDLE_EVENTS=1 each spell also names what woke the GUI thread's event loop: the loop's
// wake-ups, and the timer, socket and posted events and X events it delivered, by receiver class.

#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/StartUp.h"
#include "shell/Dialog.h"
#include "shell/DialogChange.h"
#include "shell/DialogMain.h"

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMap>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <functional>
#include <unistd.h>

namespace {

struct ThreadCost {
    QString name;
    long long switches = 0;
    long long cpuNs = 0;
};

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

long long statusValue(const QByteArray& status, const char* key)
{
    const int at = status.indexOf(key);
    if (at < 0)
        return 0;
    const int end = status.indexOf('\n', at);
    return status.mid(at + int(qstrlen(key)), end - at - int(qstrlen(key))).trimmed().toLongLong();
}

// Every thread of this process, by thread id.
QMap<QString, ThreadCost> sample()
{
    QMap<QString, ThreadCost> threads;
    for (const QString& tid : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString base = QStringLiteral("/proc/self/task/") + tid;
        const QByteArray status = readAll(base + QStringLiteral("/status"));
        ThreadCost cost;
        cost.name = QString::fromLatin1(readAll(base + QStringLiteral("/comm")).trimmed());
        cost.switches = statusValue(status, "voluntary_ctxt_switches:") + statusValue(status, "nonvoluntary_ctxt_switches:");
        cost.cpuNs = readAll(base + QStringLiteral("/schedstat")).split(' ').value(0).toLongLong();
        threads.insert(tid, cost);
    }
    return threads;
}

void runEvents(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Polled from a timer, so it is also seen while a modal dialog runs its own event loop (the
// parameter-read notice does, and takes the page flags when it ends).
bool waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] { seen = seen || done(); });
    poll.start(1);
    while (!seen && clock.elapsed() < timeoutMs)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return seen;
}

// What the GUI thread's loop delivers while a spell runs, counted by kind and receiver class.
class EventCount : public QObject, public QAbstractNativeEventFilter {
public:
    QMap<QString, int> counts;
    int awakes = 0;
    bool counting = false;

    EventCount()
    {
        qApp->installEventFilter(this);
        qApp->installNativeEventFilter(this);
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, this,
                [this] { awakes += counting; }, Qt::DirectConnection);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (counting && watched->thread() == thread()) {
            const int type = event->type();
            QString key = QStringLiteral("event %1 %2").arg(type).arg(QLatin1String(watched->metaObject()->className()));
            if (type == QEvent::Timer)
                key += QStringLiteral(" timer %1").arg(static_cast<QTimerEvent*>(event)->timerId());
            if (QObject* owner = watched->parent()) // a QTimer is known by whose it is
                key += QStringLiteral(" of %1").arg(QLatin1String(owner->metaObject()->className()));
            ++counts[key];
        }
        return false;
    }
    bool nativeEventFilter(const QByteArray& type, void* message, long*) override
    {
        if (counting && type == "xcb_generic_event_t") // the first byte is the X event's type
            ++counts[QStringLiteral("x event %1").arg(*static_cast<const quint8*>(message) & 0x7f)];
        return false;
    }
};
EventCount* eventCount = nullptr;

// One quiet spell; prints the whole process and the threads that woke.
void spell(const char* where, int seconds)
{
    runEvents(1500); // what the last step started (repaints, queued reports) settles first
    if (eventCount) {
        eventCount->counts.clear();
        eventCount->awakes = 0;
        eventCount->counting = true;
    }
    const auto before = sample();
    runEvents(seconds * 1000);
    const auto after = sample();
    if (eventCount)
        eventCount->counting = false;
    // Reading /proc costs this thread time too: one more reading tells how much, to take off.
    const auto again = sample();
    long long switches = -1, cpuNs = 0; // the end-of-spell timer is the bench's own
    for (auto it = again.cbegin(); it != again.cend(); ++it)
        cpuNs -= it->cpuNs - after.value(it.key()).cpuNs;
    QString detail;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        const ThreadCost start = before.value(it.key());
        const long long s = it->switches - start.switches;
        const long long c = it->cpuNs - start.cpuNs;
        switches += s;
        cpuNs += c;
        if (s > 0 && !(s == 1 && it.key() == QString::number(getpid())))
            detail += QStringLiteral(" %1:%2").arg(it->name).arg(s);
    }
    std::printf("%-16s %8.2f %10.2f   %s\n", where, switches / double(seconds), cpuNs / 1e6 / seconds,
                qPrintable(detail.trimmed()));
    if (eventCount) {
        std::printf("  loop wake-ups of the GUI thread: %.2f/s\n", eventCount->awakes / double(seconds));
        for (auto it = eventCount->counts.cbegin(); it != eventCount->counts.cend(); ++it)
            std::printf("  %6.2f/s  %s\n", it.value() / double(seconds), qPrintable(it.key()));
    }
    std::fflush(stdout);
}

void closeModals()
{
    while (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        QApplication::processEvents();
    }
}

} // namespace

int main(int argc, char* argv[])
{
    // As the program's main does.
    core::TuneHeapForLargeBlocks();
    core::UseRasterWindowsOnly();
    PrepareUserFolders();
    QApplication app(argc, argv);
    RegisterBusTypes();
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    if (qEnvironmentVariableIntValue("TALVO_IDLE_EVENTS"))
        eventCount = new EventCount;
    DialogMain window;
    window.show();
    std::printf("platform %s, build %s, %d s per spell (the bench's own wake-up taken off)\n",
                qPrintable(QApplication::platformName()), TALVO_BUILD_TYPE, seconds);
    std::printf("specified timers: the device worker's 1300 ms online check (0.77/s), from the frame's build on\n");
    std::printf("%-16s %8s %10s   %s\n", "page", "wakes/s", "cpu ms/s", "threads that woke (switches)");
    if (!waitFor([] { return !TileDeviceList.isEmpty(); }, 10000)) {
        std::printf("no tile\n");
        return 1;
    }
    spell("choice", seconds);

    window.choicePage()->OpenTile(0);
    if (!waitFor([] { return ButtonPageFilled && SensorPageFilled; }, 20000)) {
        std::printf("pages not filled\n");
        return 1;
    }
    closeModals();
    Dialog* frame = window.frame();
    spell("button page", seconds);
    frame->on_MacroButton_clicked();
    spell("macro page", seconds);
    frame->on_SensorButton_clicked();
    spell("sensor page", seconds);
    frame->on_FormSetting_clicked();
    spell("settings page", seconds);
    std::fflush(stdout);
    _exit(0); // measured; the quit sequence is not part of it
}
