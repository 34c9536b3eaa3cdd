#pragma once

#include "core/DeviceAllInfo.h"
#include "devicelib/HIDUsb.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

// Finding the configured devices on the bus and telling who they are: the one
// place that asks the device library, shared by the choice page, the worker's
// rescan of the open device and the pairing dialog. Device paths cross the
// library as Latin-1 text. Any thread unless noted.
namespace core {

// The product-identifier lists of "Option" in Config.ini, read at each call.
struct ProductIds {
    QStringList usb;   // "USB_PID"
    QStringList w1k;   // "Wireless_PID"
    QStringList w2k;   // "Wireless2_PID"
    QStringList w4k;   // "Wireless4_PID"
    QStringList w8k;   // "Wireless8_PID"

    static ProductIds read();
    // Every non-empty id in search order: cable, then 1K, 2K, 4K and 8K receivers.
    QStringList searchOrder() const;
};

// The "VID" of "Option".
QString vendorId();

// How the library is asked for paths: by product id alone, or on the
// configuration interface of the device id.
enum class PathSearch { DefaultDeviceId, DeviceIdInterface };

// Paths the library lists for vid and pid, at most five.
QList<QByteArray> findDevicePaths(const QString& vid, const QString& pid, PathSearch how);

// A record of a path just found: path, vid, pid and the USB version text.
DeviceAllInfo foundDevice(const QByteArray& path, const QString& vid, const QString& pid);

// The device's identity. A device may answer zeros while it wakes up: it is
// asked up to ten times and the first real identity counts, the tenth answer
// included. answered is false when all ten were zeros.
struct Identity {
    HidDeviceIdentity id{};
    bool answered = false;
};
Identity askIdentity(const QByteArray& path);

// Index (n - 1) of the first "Drive" group n of 1.."DeviceTotal" whose "MID"
// is the identity's MID, with "CID" of "Option" its CID; -1 when none. A
// missing key matches nothing.
int driveIndexOf(const HidDeviceIdentity& id);

// "DeviceTotal" of "Option"; 0 when missing.
int driveTotal();

// The receiver link of a path: whether its mouse answers, and its address
// (three bytes, zeros when the library gives none).
struct LinkState {
    bool online = false;
    QByteArray address;
};
LinkState readLink(const QByteArray& path);

// Whether the library still lists device's path under its own vid and pid.
bool pathOnBus(const DeviceAllInfo& device);

// The device library allows one hot-plug callback at a time. It belongs to
// the choice page while that shows and to the worker while the frame shows an
// opened device; this hands it over (the settle time is the same for both).
enum class HotPlugOwner { ChoicePage, Worker };
void handHotPlugTo(HotPlugOwner owner);

// Which rescan a change brings is decided by the page that shows when the
// rescan runs, not by which of the two callbacks the library called: the
// page can change under a callback's feet (the worker sends the frame back to
// the tiles while the pairing dialog is up, whose close then registers the
// worker's callback again), and a change folded into a rescan queued while the
// frame showed is the tiles' business once they show. The main window sets the
// page as it switches. GUI thread.
void setHotPlugPage(HotPlugOwner page);
HotPlugOwner hotPlugPage();
// A hot-plug change, whichever callback reported it; any thread.
void hotPlugChanged();

// Turns the library's hot-plug calls, which come on its own thread, into one
// rescan on the GUI thread: calls arriving while a rescan is queued are folded
// into it, since one rescan reads the whole bus. A rescan queued for the page
// that no longer shows is handed to the one that does. Nothing is queued once
// the program is closing or while no rescan is attached.
class HotPlugCoalescer
{
public:
    // The rescan runs on context's thread while context lives. GUI thread.
    void attach(QObject* context, std::function<void()> rescan);
    // Forgets context's rescan; one already queued for it is dropped. GUI thread.
    void detach(const QObject* context);
    // The hot-plug call itself; any thread.
    void notify();

private:
    void runQueued();

    QMutex m_lock;
    QObject* m_context = nullptr;   // cleared by detach before it goes
    std::function<void()> m_rescan;
    std::atomic<bool> m_pending{false};
};

// The coalescer of each owner of the hot-plug callback.
HotPlugCoalescer& hotPlugCoalescer(HotPlugOwner owner);

} // namespace core
