// Where the program's private memory goes once it has started, and what it keeps while it waits
// hidden in the tray. Runs the program's own start (main window shown on the choice page, the
// frame and its four pages built after the first paint), then prints, at 3 s after process start:
//
//   RssAnon            private anonymous memory of the process (what the shared start-up tool reads)
//   heap in use        blocks handed out by malloc, mapped ones included
//   beyond the heap    RssAnon less the heap in use: libraries' written pages, thread stacks, the
//                      resident part of the heap's free space
//   heap free space    freed memory the heap still counts (fragmentation, other threads' arenas),
//                      resident or already handed back to the system
//   pictures           decoded size of every picture a live widget's style sheet names, split into
//                      those of the shown page and those of hidden pages (frame, pages, dialogs)
//   font faces         what loading the faces the window draws with costs (measured before it)
//   the rest           heap in use less the shown pictures and the fonts
//   pixmap cache       what clearing Qt's pixmap cache gives back (pictures no widget holds)
//
// Then it hides the window to the tray (as the minimise button does), waits, and prints the same
// after the wait, and once more after the window is shown again from the tray.
// Run it on the display the program runs on: xvfb-run -a bench_start_memory [tray seconds]
// (default 60; 0 prints the start figures only). Memory figures do not depend on the machine's load.

#include "core/CrashDump.h"
#include "core/PostMsg.h"
#include "core/StartUp.h"
#include "dialogs/DialogFrame.h"
#include "shell/Dialog.h"
#include "shell/DialogMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetrics>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmapCache>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <malloc.h>
#include <unistd.h>

namespace {

double MiB(double bytes) { return bytes / (1024.0 * 1024.0); }

long statusKb(const char* key)
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray status = file.readAll();
    const int at = status.indexOf(key);
    if (at < 0)
        return -1;
    return status.mid(at + int(qstrlen(key)), status.indexOf('\n', at) - at - int(qstrlen(key)))
        .trimmed()
        .split(' ')
        .value(0)
        .toLong();
}

// Seconds since this process started (its start time in /proc against the boot clock).
double sinceProcessStart()
{
    QFile file(QStringLiteral("/proc/self/stat"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray stat = file.readAll();
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    const double started = fields.value(19).toDouble() / double(sysconf(_SC_CLK_TCK));
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) + now.tv_nsec / 1e9 - started;
}

void runEvents(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

struct Pictures {
    double shown = 0;
    double hidden = 0;
    int files = 0;
};

// Every picture named by a live widget's style sheet, once, by its decoded size (4 bytes a pixel,
// as the raster engine keeps it); shown when some widget that names it is visible.
Pictures picturesNamed()
{
    static const QRegularExpression url(QStringLiteral("url\\(([^)]*)\\)"));
    QHash<QString, bool> visibleByFile;
    for (QWidget* widget : QApplication::allWidgets()) {
        auto it = url.globalMatch(widget->styleSheet());
        while (it.hasNext()) {
            const QString file = it.next().captured(1).trimmed();
            visibleByFile[file] = visibleByFile.value(file) || widget->isVisible();
        }
    }
    Pictures pictures;
    for (auto it = visibleByFile.cbegin(); it != visibleByFile.cend(); ++it) {
        const QSize size = QImageReader(it.key()).size();
        if (!size.isValid())
            continue;
        ++pictures.files;
        (it.value() ? pictures.shown : pictures.hidden) += 4.0 * size.width() * size.height();
    }
    return pictures;
}

double heapInUse()
{
    const struct mallinfo2 heap = mallinfo2();
    return double(heap.uordblks + heap.hblkhd);
}

double s_fonts = 0;

// The font faces the window draws with, loaded ahead of it so that their cost can be told apart:
// the interface font (every script of the language names), the plain application font (Latin) and
// the macro page's number font (digits).
void loadFonts()
{
    const double before = heapInUse();
    const QString scripts = QString::fromUtf8("Ag \xE7\xAE\x80\xE4\xBD\x93 \xED\x95\x9C \xD0\xA0\xD1\x83 \xE6\x97\xA5");
    QFontMetrics(dialogs::DialogFrame::dialogFont(10)).horizontalAdvance(scripts);
    QFontMetrics(QApplication::font()).horizontalAdvance(QStringLiteral("Ag"));
    QFontMetrics(QFont(QStringLiteral("Arial"), 12)).horizontalAdvance(QStringLiteral("10"));
    s_fonts = heapInUse() - before;
}

void report(const char* moment)
{
    const struct mallinfo2 heap = mallinfo2();
    const double anon = statusKb("RssAnon:") * 1024.0;
    const double inUse = double(heap.uordblks + heap.hblkhd);
    const double keptFree = double(heap.fordblks);
    const Pictures pictures = picturesNamed();
    std::printf("%s (%.1f s after start)\n", moment, sinceProcessStart());
    std::printf("  RssAnon                %6.2f MiB\n", MiB(anon));
    std::printf("  heap in use            %6.2f MiB\n", MiB(inUse));
    std::printf("  beyond the heap        %6.2f MiB\n", MiB(anon - inUse));
    std::printf("  heap free space        %6.2f MiB  (resident or handed back)\n", MiB(keptFree));
    std::printf("  pictures named, shown  %6.2f MiB\n", MiB(pictures.shown));
    std::printf("  pictures named, hidden %6.2f MiB  (%d files in all)\n", MiB(pictures.hidden), pictures.files);
    std::printf("  font faces             %6.2f MiB  (loaded before the window)\n", MiB(s_fonts));
    std::printf("  the rest of the heap   %6.2f MiB  (widgets, style rules, Qt and X state)\n",
                MiB(inUse - pictures.shown - s_fonts));
    std::fflush(stdout);
}

void reportCacheShare()
{
    const long before = statusKb("RssAnon:");
    QPixmapCache::clear();
    core::releaseFreeHeap();
    std::printf("  pixmap cache held only %6.2f MiB  (given back by clearing it)\n", (before - statusKb("RssAnon:")) / 1024.0);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    // As the program's main does.
    CrashDump::Install();
    core::KeepLocalTimeZone();
    core::TuneHeapForLargeBlocks();
    PrepareUserFolders();
    core::UseRasterWindowsOnly();
    QApplication app(argc, argv);
    RegisterBusTypes();
    const int traySeconds = argc > 1 ? std::max(0, atoi(argv[1])) : 60;
    std::printf("platform %s, build %s\n", qPrintable(QApplication::platformName()), TALVO_BUILD_TYPE);
    DialogMain::setTrayAvailableForTesting(1); // hidden to the tray, not minimised, with or without a tray host
    PostMsg::instance();
    loadFonts();
    auto* window = new DialogMain;
    window->show();
    runEvents(int(std::max(0.0, 3.0 - sinceProcessStart()) * 1000));
    report("started, choice page shown, frame built");
    if (traySeconds == 0)
        exit(0); // the start figures only; what is alive now stays alive (heap profilers see it)

    PostMsg::instance()->EmitChangeSize(2);
    runEvents(traySeconds * 1000);
    report("hidden in the tray");

    window->slotActionMain();
    runEvents(1000);
    report("shown again from the tray");
    reportCacheShare();
    _exit(0); // measured; the quit sequence is not part of it
}
