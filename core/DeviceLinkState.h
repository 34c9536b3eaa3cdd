#pragma once

#include <QString>

#include <atomic>
#include <string>

// Process-wide state of the device link. The GUI thread, the worker thread and
// the device library's callback threads all read and write these, so every
// flag is atomic and every text sits behind a lock with copy-in/copy-out
// accessors. Names are the design's; values are 0 at start unless noted.

// Write gates of the pages.
extern std::atomic<quint8> DeviceWriteReady;
extern std::atomic<quint8> ButtonPageUpdating;
extern std::atomic<quint8> SensorPageUpdating;
// Set by the lighting page around its fills; the sleep-time slider sends
// nothing meanwhile.
extern std::atomic<quint8> LightPageUpdating;
extern std::atomic<quint8> ButtonPageFilled;
extern std::atomic<quint8> SensorPageFilled;

// Worker pass and online check.
extern std::atomic<quint8> WorkerBusy;
extern std::atomic<quint8> WorkerOnline;
extern std::atomic<quint8> ReportedOnline;
extern std::atomic<quint8> SessionOnline;
extern std::atomic<quint8> OfflineAtStart;
extern std::atomic<quint8> RestartRequest;
extern std::atomic<quint8> ReloadRequested;
extern std::atomic<int> MainPageIndex;
extern std::atomic<quint8> FirmwareIdle;          // 1 at start
extern std::atomic<quint8> UpdateCheckRunning;
extern std::atomic<quint8> ParamProgressSuppressed;
extern std::atomic<int> BatteryAsNumber;

// Report dispatcher.
extern std::atomic<quint8> KeyCheckPending;
extern std::atomic<quint8> DongleStateApplied;
extern std::atomic<quint8> DumpInProgress;

// Set once the program is shutting down: callbacks then return without
// emitting, so nothing waits on a GUI thread that no longer runs its loop.
extern std::atomic<bool> LinkClosing;

// The device path handed to every per-device library call. Starts as the
// worker's placeholder "a" once the worker exists; empty before.
std::string CurrentDevicePath();
void SetCurrentDevicePath(const std::string& path);

// Name of the open device's cache file, built when a device is chosen.
QString CacheFileName();
void SetCacheFileName(const QString& name);

// Name of the cache file of the device whose full configuration arrived in
// this session; empty until then. Writers of the cache use this name only, so
// an image that never came from the open device cannot overwrite its cache.
QString DumpCacheFileName();
void SetDumpCacheFileName(const QString& name);

namespace core {

// True once a full dump of the open device has arrived. Until then the image
// in memory is not that device's and the setters send nothing.
bool imageFromOpenDevice();
void setImageFromOpenDevice(bool fromDevice);

// Forgets everything that belonged to the previously open device: dump flag
// and dump cache name; starts a new link generation. Called whenever another
// device is chosen.
void forgetOpenDeviceImage();

// Every connection the program opens, and every device it forgets, starts a
// new link generation. The library may still be running the callback of a
// connection that was closed or replaced meanwhile; what that report carries
// belongs to another connection, possibly another device. A report handler
// therefore remembers the generation it started under and gives up as soon as
// it is no longer current. The counter changes under FlashDataMutex(), so a
// handler that compares it under that lock cannot be overtaken.
quint64 linkGeneration();
void beginLinkGeneration();

// Returns every flag above to its start value (tests and the back arrow).
void resetDeviceLinkState();

} // namespace core
