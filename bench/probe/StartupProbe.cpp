// Preloaded (LD_PRELOAD) into the unchanged program by bench_startup. When the application object
// is built it starts watching paint events and writes one line per moment to the descriptor named
// by TALVO_BENCH_PROBE_FD:
//
//   <moment> <CLOCK_MONOTONIC ns> <VmHWM kB> <RssAnon kB>
//
//   window  the main window (DialogMain) has been painted and flushed for the first time
//   tiles   the first device tile (mytoolButtonEnter "btn0") has been painted and flushed
//
// Without TALVO_BENCH_PROBE_FD it does nothing.

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace {

long long statusKb(const QByteArray& status, const char* key)
{
    const int at = status.indexOf(key);
    if (at < 0)
        return -1;
    const int end = status.indexOf('\n', at);
    return status.mid(at + int(qstrlen(key)), end - at - int(qstrlen(key))).trimmed().split(' ').value(0).toLongLong();
}

class Probe final : public QObject {
public:
    explicit Probe(int fd) : m_fd(fd) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || !watched->isWidgetType())
            return false;
        // Matched by class name: the probe is built apart from the program and cannot see its types.
        if (!m_windowSeen && watched->inherits("DialogMain")) {
            m_windowSeen = true;
            stampAfterFlush("window");
        } else if (!m_tilesSeen && watched->inherits("mytoolButtonEnter") &&
                   watched->objectName() == QLatin1String("btn0")) {
            m_tilesSeen = true;
            stampAfterFlush("tiles");
        }
        if (m_windowSeen && m_tilesSeen)
            QCoreApplication::instance()->removeEventFilter(this);
        return false;
    }

private:
    // The paint event opens a repaint that ends with the flush to the screen; a zero timer
    // runs once that whole repaint has returned to the event loop.
    void stampAfterFlush(const char* moment)
    {
        QTimer::singleShot(0, this, [this, moment] { stamp(moment); });
    }

    void stamp(const char* moment)
    {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        QFile file(QStringLiteral("/proc/self/status"));
        const QByteArray status = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        char line[160];
        const int n = std::snprintf(line, sizeof line, "%s %lld %lld %lld\n", moment,
                                    static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                                    statusKb(status, "VmHWM:"), statusKb(status, "RssAnon:"));
        if (n > 0 && ::write(m_fd, line, size_t(n)) != n)
            std::fprintf(stderr, "startup probe: cannot write to descriptor %d\n", m_fd);
    }

    const int m_fd;
    bool m_windowSeen = false;
    bool m_tilesSeen = false;
};

void installProbe()
{
    const char* fd = std::getenv("TALVO_BENCH_PROBE_FD");
    if (!fd || !*fd)
        return;
    // Lives as long as the process; the bench ends the program without a shutdown.
    QCoreApplication::instance()->installEventFilter(new Probe(std::atoi(fd)));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
