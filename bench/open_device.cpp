// Opening the mouse: from the tile chosen to every page filled from the mouse's configuration,
// over the simulated transport (1 ms per 64-byte report unless TALVO_SIM_BUS_US says otherwise),
// against the transport's own minimum: the reports that crossed the bus by then times the time of
// one. Each run starts on an idle bus, and reports still queued when the pages fill are not
// counted, so the ratio cannot fall below 1; a ratio below 1 means the bench is wrong.
//
//   bench_open_device [runs]             default 5 runs
//   bench_open_device --render <dir>     saves choice.png and frame.png of the window (for review)
//                                        [--language <0..5>]

#include "core/MacroIni.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/StartUp.h"
#include "shell/Dialog.h"
#include "shell/DialogChange.h"
#include "shell/DialogMain.h"

#include <HIDUsb.h>
#include <SimControl.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QStackedWidget>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

// Polls `done` from a timer, so it is also seen while a modal dialog runs its own event loop (the
// parameter-read notice does, and takes the page flags when it ends). Returns the milliseconds until
// `done` first held, or -1 on timeout.
double waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    double seenAt = -1;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        if (seenAt < 0 && done())
            seenAt = clock.nsecsElapsed() / 1e6;
    });
    poll.start(0);
    while (seenAt < 0 && clock.elapsed() <= timeoutMs)
        QApplication::processEvents(QEventLoop::AllEvents, 1);
    return seenAt;
}

// Closes the parameter-read notice as soon as the pages are filled, so the next run can start.
void closeModals()
{
    while (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        QApplication::processEvents();
    }
}

int busMicroseconds()
{
    const QByteArray env = qgetenv("TALVO_SIM_BUS_US");
    return env.isEmpty() ? 1000 : env.toInt();
}

int render(DialogMain& window, const QString& dir)
{
    QDir().mkpath(dir);
    waitFor([] { return !TileDeviceList.isEmpty(); }, 10000);
    waitFor([] { return false; }, 300); // hover pictures and fonts settle
    window.grab().save(dir + "/choice.png");
    window.choicePage()->OpenTile(0);
    waitFor([] { return ButtonPageFilled && SensorPageFilled; }, 20000);
    window.frame()->SlotBattery(false, 80, true);
    closeModals();
    waitFor([] { return false; }, 300);
    window.grab().save(dir + "/frame.png");
    std::printf("saved %s/choice.png and %s/frame.png\n", qPrintable(dir), qPrintable(dir));
    return 0;
}

int measure(DialogMain& window, int runs)
{
    const int busUs = busMicroseconds();
    std::printf("bus %d us per report, build %s\nrun  open(ms)  delivered  queued  transport-min(ms)  ratio\n", busUs,
                TALVO_BUILD_TYPE);
    QVector<double> ratios;
    for (int run = 0; run < runs; ++run) {
        if (waitFor([] { return !TileDeviceList.isEmpty(); }, 10000) < 0) {
            std::printf("no tile\n");
            return 1;
        }
        // The previous run's last writes must not be billed to this one.
        if (waitFor([] { return SimControl_BusReportsDelivered() == SimControl_BusReports(); }, 30000) < 0) {
            std::printf("the bus did not go idle\n");
            return 1;
        }
        ButtonPageFilled = 0;
        SensorPageFilled = 0;
        const unsigned long long before = SimControl_BusReportsDelivered();
        unsigned long long deliveredAtFill = 0, queuedAtFill = 0;
        QElapsedTimer clock;
        clock.start();
        double filledAt = -1;
        // A timer, not a loop here: the pages fill while the parameter-read notice runs its own loop.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
            if (filledAt < 0 && ButtonPageFilled && SensorPageFilled) {
                filledAt = clock.nsecsElapsed() / 1e6;
                deliveredAtFill = SimControl_BusReportsDelivered();
                queuedAtFill = SimControl_BusReports();
            }
        });
        poll.start(0);
        window.choicePage()->OpenTile(0);
        waitFor([&] { return filledAt >= 0; }, 30000);
        if (filledAt < 0) {
            std::printf("pages not filled (button %d, sensor %d, image from mouse %d, page %d, busy %d)\n",
                        int(ButtonPageFilled), int(SensorPageFilled), int(core::imageFromOpenDevice()),
                        MainPageIndex.load(), int(WorkerBusy));
            return 1;
        }
        const double ms = filledAt;
        const unsigned long long reports = deliveredAtFill - before;
        const double minimum = reports * busUs / 1000.0;
        ratios << (minimum > 0 ? ms / minimum : 0);
        std::printf("%3d  %8.1f  %9llu  %6llu  %17.1f  %5.2f\n", run, ms, reports, queuedAtFill - before, minimum,
                    ratios.last());
        closeModals();
        window.frame()->on_UpArrow_clicked();
        waitFor([] { return false; }, 200);
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("median ratio %.2f (target <= 1.2)\n", ratios.at(ratios.size() / 2));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    PrepareUserFolders();
    QApplication app(argc, argv);
    RegisterBusTypes();
    const QStringList args = QApplication::arguments();
    const int languageAt = args.indexOf(QStringLiteral("--language"));
    if (languageAt > 0)
        MacroIni::Instance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"), args.value(languageAt + 1));
    DialogMain window;
    window.show();
    const int renderAt = args.indexOf(QStringLiteral("--render"));
    const int result = renderAt > 0 ? render(window, args.value(renderAt + 1, QStringLiteral("shots")))
                                    : measure(window, args.size() > 1 ? std::max(1, args.at(1).toInt()) : 5);
    std::fflush(stdout);
    _exit(result); // measured; the quit sequence is not part of it
}
