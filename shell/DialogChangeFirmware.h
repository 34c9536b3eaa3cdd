#pragma once

#include <QString>

class QWidget;

// What the device choice page asks of the settings page, the repair dialog
// and the worker, in one place: the firmware lookups before a device opens,
// the repair dialog's state, and starting the device link.
namespace shell {

// An image for the mouse in "/bin" whose version differs from `version`.
bool mouseImageOffered(const QString& version, const QString& imageName, quint8 cid, quint8 mid);
// The same for a receiver image.
bool receiverImageOffered(const QString& version, const QString& imageName, quint8 cid, quint8 mid);
// The settings page's "WiredMode" text (mouse image without a receiver image).
QString wiredModeText();

// True while the repair dialog is shown and no firmware update runs in it:
// a rescan then asks it to check again.
bool repairDialogWaitsForCheck();
// Centres the repair dialog on `page`, resets it, makes it modal, asks it to
// check and shows it without waiting.
void showRepairDialog(QWidget* page);

// Starts one pass of the device link worker on the current device.
void startWorker();

} // namespace shell
