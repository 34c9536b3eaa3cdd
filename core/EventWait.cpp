#include "core/EventWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QScopeGuard>
#include <QTimer>

namespace {
thread_local int t_waits = 0;
} // namespace

void WaitProcessingEvents(int ms)
{
    ++t_waits;
    const auto done = qScopeGuard([] { --t_waits; });
    if (ms <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // A local loop sleeps in the event dispatcher between events instead of
    // spinning, and still delivers everything that arrives meanwhile.
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::AllEvents);
}

namespace core {

bool eventWaitRunning()
{
    return t_waits > 0;
}

} // namespace core
