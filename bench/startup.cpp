// Start-up: from process start to the main window shown with the simulated mouse's tile, and the
// peak memory of the process by then. The window-shown time is printed too: the tiles wait for
// the device library's first hot-plug call, which comes after its settle time. The parent runs the measured start in fresh child
// processes (offscreen, own per-user folder) and prints each run and the median.
//
//   bench_startup [runs]        default 7 runs
//   bench_startup --child       one measured start (used by the parent)

#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/StartUp.h"
#include "shell/DialogMain.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Milliseconds since this process was started by the kernel (process start, not main()).
double msSinceProcessStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    QFile uptime(QStringLiteral("/proc/uptime"));
    if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // Field 22 (starttime, clock ticks since boot) counts from after the command's ")".
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble();
    const double upSeconds = uptime.readAll().split(' ').value(0).toDouble();
    return (upSeconds - startTicks / double(sysconf(_SC_CLK_TCK))) * 1000.0;
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

int child(int argc, char* argv[])
{
    PrepareUserFolders();
    QApplication app(argc, argv);
    RegisterBusTypes();
    auto* window = new DialogMain;
    window->show();
    QApplication::processEvents();
    const double shownMs = msSinceProcessStart();
    QElapsedTimer guard;
    guard.start();
    while (TileDeviceList.isEmpty() && guard.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 1);
    QApplication::processEvents(); // the tile is painted once
    const double ms = msSinceProcessStart();
    std::printf("%.1f %.1f %d %.1f\n", ms, peakMegabytes(), int(TileDeviceList.size()), shownMs);
    std::fflush(stdout);
    _exit(0); // the measurement is done; the shutdown is not part of it
}

int parent(int runs, const char* self)
{
    QVector<double> times, memory, shown;
    std::printf("run  start-to-window(ms)  start-to-tiles(ms)  peak(MB)\n");
    for (int run = 0; run < runs; ++run) {
        QTemporaryDir home;
        QProcess proc;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + "/data");
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + "/config");
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        proc.setProcessEnvironment(env);
        proc.start(QString::fromLocal8Bit(self), {QStringLiteral("--child")});
        if (!proc.waitForFinished(30000)) {
            std::printf("run %d did not finish\n", run);
            return 1;
        }
        const QList<QByteArray> figures = proc.readAllStandardOutput().trimmed().split(' ');
        if (figures.size() < 4 || figures.at(2).toInt() < 1) {
            std::printf("run %d: no tile shown\n", run);
            return 1;
        }
        times << figures.at(0).toDouble();
        memory << figures.at(1).toDouble();
        shown << figures.at(3).toDouble();
        std::printf("%3d  %20.1f  %18.1f  %8.1f\n", run, shown.last(), times.last(), memory.last());
    }
    std::sort(times.begin(), times.end());
    std::sort(memory.begin(), memory.end());
    std::sort(shown.begin(), shown.end());
    std::printf("median start-to-window %.1f ms\n", shown.at(shown.size() / 2));
    std::printf("median start-to-tiles %.1f ms (target < 250), median peak %.1f MB (target < 60)\n",
                times.at(times.size() / 2), memory.at(memory.size() / 2));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc > 1 && QByteArray(argv[1]) == "--child")
        return child(argc, argv);
    const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 7;
    QCoreApplication app(argc, argv);
    return parent(runs, argv[0]);
}
