#pragma once

#include <QString>
#include <QVector>

#include <functional>

class QObject;

// What went wrong with the program's own files, kept until the user can be told: core shows no
// window, so the main window takes these once it is there.
namespace core {

struct SetAsideStore
{
    QString path;    // the store as it was named
    QString keptAs;  // where the damaged file now is
};

// A damaged settings store was renamed to keptAs and the store started afresh: handed to the
// receiver if one is set, else recorded. Any thread.
void recordSetAsideStore(const SetAsideStore& store);

// The stores recorded and not yet handed to a receiver, oldest first, so that the user can be
// told once; the record is emptied. Any thread.
QVector<SetAsideStore> takeSetAsideStores();

// From now on the stores set aside are handed to tell, queued on the context's thread, each once,
// oldest first: one call takes every store set aside until it runs (any still recorded too), so
// that stores set aside together are told together. Without a receiver (none set, or its context
// gone) they are recorded again. Any thread.
void setSetAsideReceiver(QObject* context, std::function<void(const QVector<SetAsideStore>& stores)> tell);

// A write the program made on its own behalf (a device cache, the update log, a settings store)
// that failed. The first one after the receiver was set is handed to it, queued on the
// context's thread (at once, or when the receiver is set if none is yet); later ones are only
// logged by their writers, so the user is told once per run. Any thread.
void noteUnsavedWrite(const QString& path);
void setUnsavedWriteReceiver(QObject* context, std::function<void(const QString& path)> tell);

} // namespace core
