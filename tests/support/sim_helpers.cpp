#include "support/sim_helpers.h"

#include "devicelib/SimControl.h"

#include "devicelib/HIDUsb.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <QtGlobal>

#include <atomic>

namespace simtest {

namespace {

constexpr int kImageSize = 10428;

std::atomic<int> g_markerCalls{0};

void marker()
{
    ++g_markerCalls;
}

} // namespace

bool loadScenario(const QString& iniText)
{
    const char* error = nullptr;
    const bool loaded = iniText.isEmpty() ? SimControl_LoadScenario(nullptr, &error)
                                          : SimControl_LoadScenarioText(iniText.toUtf8().constData(), &error);
    if (!loaded) {
        qWarning("scenario rejected: %s", error ? error : "?");
        return false;
    }
    SimControl_ForgetState();
    return true;
}

QByteArray flash(const char* mouse, int profile)
{
    QByteArray image(kImageSize, '\0');
    if (!SimControl_ReadFlash(mouse, profile, reinterpret_cast<unsigned char*>(image.data()), image.size()))
        return QByteArray();
    return image;
}

QStringList callLog()
{
    const int length = SimControl_CallLog(nullptr, 0);
    QByteArray text(length + 1, '\0');
    SimControl_CallLog(text.data(), text.size());
    text.truncate(length);
    return QString::fromLatin1(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

int countCalls(const QStringList& log, const QString& prefix)
{
    int n = 0;
    for (const QString& line : log)
        n += line.startsWith(prefix) ? 1 : 0;
    return n;
}

QStringList callsStartingWith(const QStringList& log, const QStringList& prefixes)
{
    QStringList out;
    for (const QString& line : log)
        for (const QString& prefix : prefixes)
            if (line.startsWith(prefix)) {
                out << line;
                break;
            }
    return out;
}

bool hotPlugBarrier(int settleMs, int timeoutMs)
{
    const int before = g_markerCalls.load();
    StartUsbChanged(&marker, settleMs);
    const QDeadlineTimer deadline(timeoutMs);
    while (g_markerCalls.load() == before) {
        if (deadline.hasExpired()) {
            StopUsbChanged();
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(1);
    }
    StopUsbChanged();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return true;
}

} // namespace simtest
