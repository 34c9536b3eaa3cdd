#pragma once

#include "core/FileNotices.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

class QWidget;
class UpDateWarning;

namespace shell {

// The notices about the program's own files: settings stores set aside, a write that failed. One
// shows at a time, centred over the reference window, and never over a modal dialog, a popup or
// an event wait that runs: it follows them. Stores set aside while their notice shows join it.
// Text and buttons are in the language the program's other notices read at that moment, read
// again whenever the notice's text changes. GUI thread.
class FileNoticeQueue final : public QObject
{
    Q_OBJECT

public:
    explicit FileNoticeQueue(QWidget* reference);

    void tellSetAside(const QVector<core::SetAsideStore>& stores);
    void tellUnsavedWrite(const QString& path);
    // Nothing due is shown any more: the program is quitting.
    void stop();

private:
    bool mustWait() const;
    void showDue();
    void fill(UpDateWarning& notice) const;

    QWidget* m_reference;
    QTimer m_retry;
    UpDateWarning* m_open = nullptr;
    // What the open notice names: stores set aside, or else the file not written.
    QVector<core::SetAsideStore> m_shownStores;
    QString m_shownWrite;
    QVector<core::SetAsideStore> m_dueStores;
    QString m_dueWrite;
    bool m_stopped = false;
};

} // namespace shell
