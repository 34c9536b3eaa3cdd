#include "core/FileNotices.h"

#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>

#include <utility>

namespace core {

namespace {

struct SetAsides
{
    QMutex lock;
    QPointer<QObject> context;
    std::function<void(const SetAsideStore&)> tell;
    QVector<SetAsideStore> record;  // while no receiver is there
};

SetAsides& setAsides()
{
    static SetAsides record;
    return record;
}

// With the record locked and its context there.
void tellSetAside(SetAsides& record, const SetAsideStore& store)
{
    QMetaObject::invokeMethod(record.context, [tell = record.tell, store] { tell(store); }, Qt::QueuedConnection);
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
    SetAsides& record = setAsides();
    const QMutexLocker locker(&record.lock);
    if (record.context)
        tellSetAside(record, store);
    else
        record.record.append(store);
}

QVector<SetAsideStore> takeSetAsideStores()
{
    SetAsides& record = setAsides();
    const QMutexLocker locker(&record.lock);
    return std::exchange(record.record, {});
}

void setSetAsideReceiver(QObject* context, std::function<void(const SetAsideStore& store)> tell)
{
    SetAsides& record = setAsides();
    const QMutexLocker locker(&record.lock);
    record.context = context;
    record.tell = std::move(tell);
    if (!context)
        return;
    for (const SetAsideStore& store : std::exchange(record.record, {}))
        tellSetAside(record, store);
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
