#include "shell/DialogChangeFirmware.h"

#include "core/Firmware.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Worker.h"
#include "dialogs/DialogFrame.h"
#include "settings/FormSetting.h"
#include "settings/UpDateRepair.h"
#include "shell/DialogMain.h"

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcChoice)

namespace shell {

bool mouseImageOffered(const QString& version, const QString& imageName, quint8 cid, quint8 mid)
{
    return FormSetting::FindUpdateFile(core::kMouseImage, version, imageName, cid, mid);
}

bool receiverImageOffered(const QString& version, const QString& imageName, quint8 cid, quint8 mid)
{
    return UpDateRepair::FindFirmwareFile(core::kReceiverImage, version, imageName, cid, mid);
}

QString wiredModeText()
{
    return WiredModeText;
}

bool repairDialogWaitsForCheck()
{
    // Not while the dialog itself writes firmware: its devices are meant to vanish then.
    return UpdateRepairDialog && UpdateRepairDialog->isVisible() && FirmwareIdle.load() == 1
           && RepairUpgrading.load() == 0;
}

void showRepairDialog(QWidget* page)
{
    // The dialog comes with the frame's settings page, which the window builds after its first
    // paint: a click before that must not be lost.
    if (auto* window = qobject_cast<DialogMain*>(page->window()); window && !UpdateRepairDialog)
        window->frame();
    UpDateRepair* repair = UpdateRepairDialog;
    if (!repair) {
        qCWarning(lcChoice) << "repair requested before the settings page made its dialog";
        return;
    }
    repair->move(dialogs::DialogFrame::placement(page->mapToGlobal(QPoint(0, 0)), page->size(), repair->size(), 0, 0));
    repair->ResetUi();
    repair->setModal(true);
    PostMsg::instance()->EmitRepairCheckUpdate();
    repair->show();
}

void startWorker()
{
    if (!WorkerInstance) {
        qCWarning(lcChoice) << "device chosen before the device link worker exists";
        return;
    }
    WorkerInstance->StartChosenDevice();
}

} // namespace shell
