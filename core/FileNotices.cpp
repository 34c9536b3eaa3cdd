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
    std::function<void(const QVector<SetAsideStore>&)> tell;
    QVector<SetAsideStore> record;  // not yet handed to a receiver
    quint64 receiver = 0;           // counts the receivers set
    bool handing = false;           // a hand-over to the current receiver is queued
};

SetAsides& setAsides()
{
    static SetAsides record;
    return record;
}

// With the record locked and its context there. A store set aside while a hand-over is queued
// goes with it.
void handOver(SetAsides& record)
{
    if (std::exchange(record.handing, true))
        return;
    QMetaObject::invokeMethod(
        record.context,
        [&record, receiver = record.receiver] {
            QMutexLocker locker(&record.lock);
            if (receiver != record.receiver)
                return;  // set again since, with a hand-over of its own
            record.handing = false;
            const auto tell = record.tell;
            const QVector<SetAsideStore> stores = std::exchange(record.record, {});
            // Unlocked: the receiver's notice runs events, in which another store may be set aside.
            locker.unlock();
            if (!stores.isEmpty())
                tell(stores);
        },
        Qt::QueuedConnection);
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
    record.record.append(store);
    if (record.context)
        handOver(record);
}

QVector<SetAsideStore> takeSetAsideStores()
{
    SetAsides& record = setAsides();
    const QMutexLocker locker(&record.lock);
    return std::exchange(record.record, {});
}

void setSetAsideReceiver(QObject* context, std::function<void(const QVector<SetAsideStore>& stores)> tell)
{
    SetAsides& record = setAsides();
    const QMutexLocker locker(&record.lock);
    record.context = context;
    record.tell = std::move(tell);
    ++record.receiver;
    record.handing = false;
    if (context && !record.record.isEmpty())
        handOver(record);
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
