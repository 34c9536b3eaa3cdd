// What each part of the window adds to the program's memory: the choice page shown, then each of
// the frame's four pages built in the frame's order inside a stack as the frame holds them, and
// last the pages shown. For each step: live heap (allocated blocks, mapped ones included) and
// private anonymous memory (RssAnon) of the process, with what the step added.
// Run it on the display the program runs on (under Xvfb for the start-up figures); offscreen
// leaves out what an X connection costs.
//
//   bench_page_memory

#include "buttons/Buttoninterface.h"
#include "core/PostMsg.h"
#include "core/StartUp.h"
#include "macro/Macro.h"
#include "sensor/Sensor.h"
#include "settings/FormSetting.h"
#include "shell/DialogChange.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStackedWidget>

#include <cstdio>
#include <cstring>
#include <malloc.h>
#include <unistd.h>

namespace {

long rssAnonKb()
{
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, "RssAnon:", 8) == 0)
            kb = std::atol(line + 8);
    std::fclose(status);
    return kb;
}

double liveHeapMiB()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

void settle()
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 200)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

struct Step {
    double heap;
    long anon;
};

Step s_last{};

void report(const char* what)
{
    settle();
    core::releaseFreeHeap();
    const Step now{liveHeapMiB(), rssAnonKb()};
    std::printf("%-34s  %7.2f  %+7.2f  %8.1f  %+7.2f\n", what, now.heap, now.heap - s_last.heap, now.anon / 1024.0,
                (now.anon - s_last.anon) / 1024.0);
    s_last = now;
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
    std::printf("platform %s, build %s\n%-34s  %7s  %7s  %8s  %7s\n", qPrintable(QApplication::platformName()),
                TALVO_BUILD_TYPE, "step", "heap", "+heap", "anon", "+anon");
    std::printf("%-34s  %7s  %7s  %8s  %7s\n", "", "MiB", "MiB", "MiB", "MiB");
    report("application");

    QStackedWidget window;
    window.setFixedSize(1020, 700);
    auto* choice = new DialogChange(&window);
    window.addWidget(choice);
    window.show();
    report("choice page shown");

    // The frame's stack, not shown: the pages cost what they cost before the frame first shows.
    QStackedWidget pages;
    pages.setFixedSize(883, 630);
    pages.addWidget(new Buttoninterface(&pages));
    report("+ button page");
    pages.addWidget(new Macro(&pages));
    report("+ macro page");
    pages.addWidget(new Sensor(&pages));
    report("+ sensor page");
    pages.addWidget(new FormSetting(&pages));
    report("+ settings page");
    pages.show();
    report("pages shown");
    std::fflush(stdout);
    _exit(0); // measured; the pages' teardown is not part of it
}
