#include "support/modal_helpers.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimerEvent>
#include <QWidget>

namespace modaltest {

ModalDriver::ModalDriver(Handler handler)
    : m_handler(std::move(handler))
{
    m_timer = startTimer(5);
}

ModalDriver::~ModalDriver()
{
    killTimer(m_timer);
    for (QObject* dialog : std::as_const(m_handled))
        dialog->removeEventFilter(this);
}

bool ModalDriver::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Hide)
        forget(watched);
    return false;
}

void ModalDriver::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_timer)
        poll();
}

void ModalDriver::forget(QObject* dialog)
{
    if (m_handled.remove(dialog))
        dialog->removeEventFilter(this);
}

void ModalDriver::poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || m_handled.contains(modal))
        return;
    m_handled.insert(modal);
    modal->installEventFilter(this);
    // A dialog made on its opener's stack may take the address of the one before.
    connect(modal, &QObject::destroyed, this, [this](QObject* gone) { m_handled.remove(gone); });
    m_seen << QString::fromLatin1(modal->metaObject()->className());
    if (!m_handler) {
        modal->close();
        return;
    }
    // The program may close or delete the dialog while this waits.
    QPointer<QWidget> dialog(modal);
    const bool active =
        QTest::qWaitFor([&dialog] { return !dialog || !dialog->isVisible() || dialog->isActiveWindow(); });
    // Offscreen windows may never report active; the handler then runs regardless.
    if (!active)
        qWarning("modal dialog never became active");
    if (dialog)
        m_handler(dialog);
}

ModalDriver::Handler keepNoticeText(QStringList* texts)
{
    return [texts](QWidget* dialog) {
        const auto* label = dialog->findChild<QLabel*>(QStringLiteral("label"));
        *texts << dialog->objectName() + QStringLiteral(": ") + (label ? label->text() : QString());
        dialog->close();
    };
}

} // namespace modaltest
