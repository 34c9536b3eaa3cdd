#include "core/EventWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

void WaitProcessingEvents(int ms)
{
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
