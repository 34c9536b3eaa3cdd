#pragma once

#include <QObject>
#include <QSet>
#include <QStringList>

#include <functional>

class QWidget;

namespace modaltest {

// Drives every modal dialog that opens while it lives, from inside the
// dialog's exec(): records its class name and hands it to the handler once it
// is the active window (keyboard input reaches only that one). Without a
// handler the dialog is closed at once. A handler closes the dialog itself
// when it wants it gone, so a test sees what its clicks and keys really did.
// A dialog shown again after it was hidden counts as a new one.
class ModalDriver final : public QObject
{
public:
    using Handler = std::function<void(QWidget*)>;
    explicit ModalDriver(Handler handler = {});
    ~ModalDriver() override;

    QStringList seen() const { return m_seen; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void poll();
    void forget(QObject* dialog);

    Handler m_handler;
    QStringList m_seen;
    // Dialogs handled and not hidden since: a handler's own waits let the
    // poll run again while its dialog is still up.
    QSet<QObject*> m_handled;
    int m_timer = 0;
};

// A handler that keeps "<dialog object name>: <text of its label>" of each
// dialog and closes it, so a test can tell which notice said what.
ModalDriver::Handler keepNoticeText(QStringList* texts);

} // namespace modaltest
