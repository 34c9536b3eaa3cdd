#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace frametest {

// Closes every modal dialog that opens while it lives (each after `delayMs`), remembering the
// class names in order. Tests use it for the notices a job opens with exec().
class ModalCloser : public QObject
{
    Q_OBJECT

public:
    explicit ModalCloser(int delayMs = 0);
    ~ModalCloser() override;
    QStringList seen() const { return m_seen; }
    // Runs before the dialog is closed (to press its OK, for example).
    void setBeforeClose(std::function<void(QWidget*)> action) { m_before = std::move(action); }

private:
    void poll();

    int m_delayMs;
    int m_timer = 0;
    QStringList m_seen;
    QWidget* m_pending = nullptr;
    std::function<void(QWidget*)> m_before;

protected:
    void timerEvent(QTimerEvent* event) override;
};

// The simulator's call log since the last clear, one call per entry.
QStringList simCalls();

// Entries of `log` that start with one of `prefixes`, in order (the calls a test cares about).
QStringList callsStartingWith(const QStringList& log, const QStringList& prefixes);

// The named simulated mouse's active flash as 10428 bytes (empty on failure).
QByteArray simFlash(const char* mouse);

} // namespace frametest
