#pragma once

#include <QMutex>
#include <QObject>
#include <QPointer>

#include <array>
#include <functional>

namespace settings {

// A firmware event of the device library: {7, what, value}; what 1 is
// progress (value in percent), what 2 the end (value 1 success).
using UpgradeEvent = std::array<quint8, 3>;

// Time the library is given for one image.
constexpr int kUpgradeTimeoutMs = 10000;

// Carries the device library's firmware events from its thread to the GUI
// thread. The library calls a plain function; it copies the three bytes and
// posts them to the object that registered for the update it runs. Nothing
// changes on the library thread, and an event for an object already gone
// (or no longer updating) is dropped.
class UpgradeRelay
{
public:
    using Handler = std::function<void(const UpgradeEvent&)>;

    // owner takes the events from now on; handler runs on owner's thread.
    void attach(QObject* owner, Handler handler);
    // Stops the events for owner, if it is the one attached.
    void detach(const QObject* owner);
    bool attached(const QObject* owner) const;
    // From the library's callback.
    void post(const unsigned char* event);

private:
    mutable QMutex m_lock;
    QObject* m_owner = nullptr;
    Handler m_handler;
};

} // namespace settings
