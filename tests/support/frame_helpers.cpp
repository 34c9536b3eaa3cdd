#include "frame_helpers.h"

#include <SimControl.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimerEvent>
#include <QWidget>

namespace frametest {

ModalCloser::ModalCloser(int delayMs)
    : m_delayMs(delayMs)
{
    m_timer = startTimer(5);
}

ModalCloser::~ModalCloser()
{
    killTimer(m_timer);
}

void ModalCloser::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_timer)
        poll();
}

void ModalCloser::poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == m_pending)
        return;
    m_pending = modal;
    m_seen << QString::fromLatin1(modal->metaObject()->className());
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < m_delayMs)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    if (m_before)
        m_before(modal);
    modal->close();
    m_pending = nullptr;
}

QStringList simCalls()
{
    const int length = SimControl_CallLog(nullptr, 0);
    QByteArray text(length + 1, '\0');
    SimControl_CallLog(text.data(), text.size());
    text.truncate(length);
    return QString::fromLatin1(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
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

QByteArray simFlash(const char* mouse)
{
    QByteArray image(10428, '\0');
    if (!SimControl_ReadFlash(mouse, -1, reinterpret_cast<unsigned char*>(image.data()), image.size()))
        return QByteArray();
    return image;
}

} // namespace frametest
