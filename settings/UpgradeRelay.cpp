#include "settings/UpgradeRelay.h"

#include "core/ProcessState.h"

#include <QMetaObject>
#include <QMutexLocker>

namespace settings {

void UpgradeRelay::attach(QObject* owner, Handler handler)
{
    QMutexLocker guard(&m_lock);
    m_owner = owner;
    m_handler = std::move(handler);
}

void UpgradeRelay::detach(const QObject* owner)
{
    QMutexLocker guard(&m_lock);
    if (m_owner != owner)
        return;
    m_owner = nullptr;
    m_handler = nullptr;
}

bool UpgradeRelay::attached(const QObject* owner) const
{
    QMutexLocker guard(&m_lock);
    return m_owner == owner;
}

void UpgradeRelay::post(const unsigned char* event)
{
    if (!event || LinkClosing)
        return;
    const UpgradeEvent copy = {event[0], event[1], event[2]};
    // Posted under the lock: the owner cannot detach (and go) in between, and
    // Qt drops what is still queued for an object that is destroyed.
    QMutexLocker guard(&m_lock);
    if (!m_owner)
        return;
    QObject* owner = m_owner;
    Handler handler = m_handler;
    QMetaObject::invokeMethod(
        owner,
        [this, owner, handler, copy] {
            if (attached(owner))
                handler(copy);
        },
        Qt::QueuedConnection);
}

} // namespace settings
