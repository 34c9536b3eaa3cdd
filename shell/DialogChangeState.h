#pragma once

#include "core/DeviceAllInfo.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>

class DialogChange;

// What the device choice page found, kept outside the page object because the
// device library's hot-plug callback is a plain function. The lists and texts
// belong to the GUI thread: the page rebuilds them there (the callback only
// posts a rescan), and every reader (main window, pairing, repair dialog)
// runs there too.

// The single choice page, set by its constructor, cleared by its destructor.
extern DialogChange* ChoicePage;

// Devices shown as tiles, in tile order: tile i shows entry i.
extern QList<DeviceAllInfo> TileDeviceList;
// Every device of the last scan, in scan order (receivers shadowed by their
// mouse on the cable stay here).
extern QList<DeviceAllInfo> FoundDeviceList;

// "DeviceTotal" of "Option" as read at construction; a device whose
// DriveIndex equals it matched no "Drive" group.
extern int ConfiguredDriveCount;

// Product ids of the four receiver classes ("Wireless_PID", "Wireless2_PID",
// "Wireless4_PID", "Wireless8_PID"), read again at each scan.
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

// Whether the settings page has a receiver image to offer for the device the
// page opened last.
extern std::atomic<quint8> ReceiverUpdateAvailable;
