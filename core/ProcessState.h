#pragma once

#include "core/DeviceAllInfo.h"
#include "core/FlashDataMap.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <string>

class DialogChange;
class UpDateRepair;
class Worker;

// Every process-wide variable of the program, whoever writes it. The GUI
// thread, the worker thread and the device library's callback threads all
// read and write the link's flags, so each flag is atomic and each text of
// the link sits behind a lock with copy-in/copy-out accessors; the other
// values belong to the GUI thread. Names are the design's; values are 0 at
// start unless noted. The window classes named here are only declared: core
// holds their pointers for the windows above it and never reaches into them.

// The open device's image and record. Every direct access holds
// FlashDataMutex() or DeviceInfoMutex(); the copy-in/copy-out helpers of
// FlashDataMap.h and DeviceAllInfo.h take the lock themselves.
extern FlashDataMap CurrentFlashData;
extern DeviceAllInfo CurrentDeviceInfo;

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

// The one worker, made by the button page; null before and after.
extern Worker* WorkerInstance;

// Last battery report (level, charging when > 0, two unused bytes) and the
// status-change flags (DPI stage, rate, configuration, DPI light, -, light
// bar, battery) of the report dispatcher; its thread only.
extern quint8 BatteryStatus[4];
extern quint8 StatusChangedFlags[7];

// What the device choice page found. The lists and texts belong to the GUI
// thread: the page rebuilds them there (the hot-plug callback only posts a
// rescan), and every reader (main window, pairing, repair dialog) runs there.
extern DialogChange* ChoicePage;          // the single page, while it lives
// Devices shown as tiles, in tile order: tile i shows entry i.
extern QList<DeviceAllInfo> TileDeviceList;
// Every device of the last scan, in scan order (receivers shadowed by their
// mouse on the cable stay here).
extern QList<DeviceAllInfo> FoundDeviceList;
// "DeviceTotal" of "Option" as the page read it; a device whose DriveIndex
// equals it matched no "Drive" group.
extern int ConfiguredDriveCount;
// Product ids of the four receiver classes, read again at each scan.
extern QStringList Wireless1kPidList;
extern QStringList Wireless2kPidList;
extern QStringList Wireless4kPidList;
extern QStringList Wireless8kPidList;
// Texts of the language element "DialogChange" the page keeps for later.
extern QString NoDeviceText;
extern QString RepairDeviceText;
extern QString OfflineTips1Text;
extern QString OfflineTips2Text;
extern QString MouseIsNewTipsText;

// Pairing requested for a chosen device: set (with PairDeviceInfo) before the
// pairing dialog opens for a tile; read by the pairing dialog's preparation
// and the main window's Space key.
extern std::atomic<quint8> PairRequested;
extern DeviceAllInfo PairDeviceInfo;   // GUI thread only

// Pairing state shared with the device library's report thread.
extern std::atomic<quint8> PairingActive;   // 1 from the pair request to its result
extern std::atomic<int> PairState;          // 0 idle, 1 pairing, 2 success, 3 failure
extern std::atomic<quint8> RestoreMainPage; // pairing started from the frame
extern std::atomic<int> PairTextStep;       // 0..4, the "..." animation

// New-firmware flags of the settings page: receiver (also set by the choice
// page when it opens a device) and mouse.
extern std::atomic<quint8> ReceiverUpdateAvailable;
extern std::atomic<quint8> MouseUpdateAvailable;
// The one repair dialog, made by the settings page; null before.
extern UpDateRepair* UpdateRepairDialog;
// Text of "WiredMode" of the settings page's language element; GUI thread.
extern QString WiredModeText;

// The repair dialog's update. The library's firmware events are carried to
// the GUI thread before anything changes, so only the GUI thread writes
// these; the two flags are read by the choice page and the close buttons.
extern std::atomic<quint8> RepairUpgrading;      // 1 while the dialog writes firmware
extern std::atomic<quint8> UpgradeProgressSeen;  // from a stage's first progress to its end
extern QStringList UpdateFailFields;             // the record the last check read
extern quint32 RepairStage;                      // 0 receiver image, 1 mouse image
extern quint32 RepairStageCount;                 // 1 at start
extern quint32 RepairReceiverClass;
extern quint32 RepairCid;
extern quint32 RepairMid;
extern QString RepairMouseImageName;
extern quint32 RepairFailedKindIsMouse;

// Result of the last settings import (see dialogs::ImportCode); the import
// failure notice picks its text by it.
extern std::atomic<int> ImportResult;
// 1 while an import's notice is open: the notice then says it is importing.
extern std::atomic<int> ImportRunning;

// Why the offline notice is shown: 0 the mouse does not answer, 1 reading
// its settings timed out. Set by the main window before it opens the notice;
// read whenever the notice loads its texts.
extern std::atomic<int> OffLineNoticeIndex;

// True while the macro page records keys: the main window then ignores its
// keyboard shortcuts and the macro page refuses edits. GUI thread.
extern bool MacroRecording;
// Names of the five mouse-button events as the macro page shows them; empty
// until the page has loaded its texts, rewritten on every language change.
// Readers compare by exact equality and read them at call time. GUI thread.
extern QString LeftButtonName;
extern QString RightButtonName;
extern QString MiddleButtonName;
extern QString ForwardButtonName;
extern QString BackButtonName;

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
