#pragma once

#include "core/DeviceAllInfo.h"

#include <QList>
#include <QStringList>
#include <QThread>

#include <mutex>
#include <string>

class QTimer;

// Keeps the connection to the opened mouse. Each start of the thread makes
// one pass: check that the device answers, show the cached image when it does
// not, open the connection with the report dispatcher and ask for the whole
// configuration. The object lives on the GUI thread (its slots run there);
// only run() runs on the worker thread.
class Worker final : public QThread
{
    Q_OBJECT

public:
    Worker();
    ~Worker() override;

    // Result of FillDeviceInfo.
    enum FillResult { NotIdentified = 0, Matched = 1, OurCidNoGroup = 2, ForeignCid = 3 };

    void SlotSelectMouseInfo(DeviceAllInfo info);
    void SlotMainPageChange();
    void SlotCheckOnline();

    // Takes info as the current device when it answers, then starts a pass.
    void SelectAndStart(DeviceAllInfo info);

    // The hot-plug callback of the open device. Runs on a library thread and
    // only posts one coalesced rescan to the GUI thread, of the page that
    // shows when it runs (core/DeviceScan.h).
    static void OnUsbChanged();

    // Appends the devices found for vid and each pid to the device list.
    void FindDevices(const QString& vid, const QStringList& pids);
    // Identifies rec (found at path) against the "Drive" groups of Config.ini.
    int FillDeviceInfo(DeviceAllInfo& rec, const char* path);

    void ResetRunFlag();
    void WaitMs(int ms);

    // Opens the device just chosen on the choice page: the frame's state is
    // set before the pass starts, so the pass cannot miss it. GUI thread.
    void StartChosenDevice();
    // Starts a pass (WorkerBusy is set first); asked while one runs, it starts
    // once that one has ended. GUI thread.
    void StartPass();

    QTimer* OnlineCheckTimer() const { return m_onlineCheckTimer; }
    QList<DeviceAllInfo> DeviceList() const;

    // Stops the worker for good: no new passes, waits (processing events, so a
    // pass blocked on the GUI can finish) at most boundMs for the running one.
    // True when the thread has ended. GUI thread.
    bool Shutdown(int boundMs);

protected:
    void run() override;

private:
    void openConnection(const std::string& path, const DeviceAllInfo& cur);
    void rescanAfterUsbChange();
    void reselectCurrentDevice();
    void announceFirmware();
    void showCachedImage();
    bool qualifies(const DeviceAllInfo& entry, const DeviceAllInfo& cur) const;
    void readAddressAndRefreshCurrent(DeviceAllInfo& rec, const char* path);

    static constexpr const char* kPlaceholderPath = "a";
    mutable std::mutex m_lock;          // guards the members below and m_deviceList
    int m_lastDeviceKind = 0;
    QString m_lastDevicePath;
    QList<DeviceAllInfo> m_deviceList;
    QTimer* m_onlineCheckTimer = nullptr;
    bool m_shutDown = false;
    bool m_passAgain = false;           // a pass was asked for while one ran (GUI thread)
};
