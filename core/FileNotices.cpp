#include "core/FileNotices.h"

#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>

#include <utility>

namespace core {

namespace {

QMutex& setAsideLock()
{
    static QMutex lock;
    return lock;
}

QVector<SetAsideStore>& setAsideRecord()
{
    static QVector<SetAsideStore> record;
    return record;
}

struct UnsavedWrites
{
    QMutex lock;
    QPointer<QObject> context;
    std::function<void(const QString&)> tell;
    QString pending;  // the first failure while no receiver was set
    bool told = false;
};

UnsavedWrites& unsavedWrites()
{
    static UnsavedWrites record;
    return record;
}

// With the record locked.
void tellUnsavedWrite(UnsavedWrites& record, const QString& path)
{
    record.told = true;
    QMetaObject::invokeMethod(record.context, [tell = record.tell, path] { tell(path); }, Qt::QueuedConnection);
}

} // namespace

void recordSetAsideStore(const SetAsideStore& store)
{
    const QMutexLocker locker(&setAsideLock());
    setAsideRecord().append(store);
}

QVector<SetAsideStore> takeSetAsideStores()
{
    const QMutexLocker locker(&setAsideLock());
    return std::exchange(setAsideRecord(), {});
}

void noteUnsavedWrite(const QString& path)
{
    UnsavedWrites& record = unsavedWrites();
    const QMutexLocker locker(&record.lock);
    if (record.told)
        return;
    if (record.context)
        tellUnsavedWrite(record, path);
    else if (record.pending.isEmpty())
        record.pending = path;
}

void setUnsavedWriteReceiver(QObject* context, std::function<void(const QString& path)> tell)
{
    UnsavedWrites& record = unsavedWrites();
    const QMutexLocker locker(&record.lock);
    record.context = context;
    record.tell = std::move(tell);
    record.told = false;
    if (context && !record.pending.isEmpty())
        tellUnsavedWrite(record, std::exchange(record.pending, QString()));
}

} // namespace core
