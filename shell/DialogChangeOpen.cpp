// What a click on a device tile does: firmware checks, pairing, opening.
#include "shell/DialogChange.h"

#include "core/ConfigIni.h"
#include "core/Firmware.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Registry.h"
#include "devicelib/HIDUsb.h"
#include "dialogs/RePair.h"
#include "dialogs/UpDateWarning.h"
#include "shell/common/mytoolButtonEnter.h"
#include "shell/DialogChangeFirmware.h"
#include "shell/pairing/Match.h"

#include <QFrame>
#include <QPushButton>

namespace {

constexpr int kWarningShiftX = -20;

QString configValue(const QString& group, const char* key)
{
    return ConfigIni::GetInstance()->GetValue(group, QString::fromLatin1(key));
}

QString driveGroup(int n)
{
    return QStringLiteral("Drive") + QString::number(n);
}

bool answers(const DeviceAllInfo& device)
{
    return UsbFinderC_GetDeviceOnLine(device.DevicePath.toLocal8Bit().constData());
}

} // namespace

void DialogChange::slotButtonClicked()
{
    const QObject* tile = sender();
    if (!tile)
        return;
    OpenTile(mytoolButtonEnter::tileNumber(tile->objectName()));
}

void DialogChange::OpenTile(int tile)
{
    PostMsg* bus = PostMsg::instance();
    bus->EmitSetver(6);
    if (tile < 0 || tile >= TileDeviceList.size())
        return;
    // A copy: the dialogs below run nested event loops, and the lists may be
    // rebuilt once the click is done.
    const DeviceAllInfo device = TileDeviceList.at(tile);
    const int group = device.DriveIndex + 1;
    const int mid = configValue(driveGroup(group), "MID").toInt();
    if (mid == 1)
        bus->EmitMouseIndex(0);
    else if (mid == 2)
        bus->EmitMouseIndex(1);

    beginBusy();
    const bool twoReceivers = shell::isTwoDeviceCase(TileDeviceList, tile,
                                                     [](int i) { return answers(TileDeviceList.at(i)); });
    const bool goOn = !twoReceivers || checkVersions(device, group) == CheckResult::GoOn;
    if (goOn) {
        if (device.DriveIndex != ConfiguredDriveCount)
            openDevice(device);
        else if (!device.RestrictedKind)
            checkVersions(device, group);  // a receiver without its mouse: pairing, a question or a notice
    }
    endBusy();
}

DialogChange::CheckResult DialogChange::checkVersions(const DeviceAllInfo& device, int group)
{
    const QString cid = configValue(QStringLiteral("Option"), "CID");
    const QString mid = configValue(driveGroup(group), "MID");
    const QString seen = Registry::Value(Registry::DriveTestKey(), QStringLiteral("MouseVer") + cid + mid);
    if (seen.isEmpty()) {
        openPairing(device);
        return CheckResult::Ended;
    }
    const quint8 cidValue = quint8(cid.toInt());
    const quint8 midValue = quint8(mid.toInt());
    const bool mouseImage = shell::mouseImageOffered(seen, configValue(driveGroup(group), "MM"), cidValue, midValue);
    const QString key = core::receiverImageKeyOfKind(device.DeviceKind);
    const QString receiverName = key.isEmpty() ? QString() : configValue(driveGroup(group), key.toLatin1().constData());
    // Only the 1000 Hz receiver is looked up under an empty name; a kind
    // that names no receiver never has an image.
    bool receiverImage = false;
    if (!key.isEmpty() && (device.DeviceKind == 0 || !receiverName.isEmpty()))
        receiverImage = shell::receiverImageOffered(device.UsbVersionText, receiverName, cidValue, midValue);

    switch (shell::versionOutcome(receiverImage, mouseImage)) {
    case shell::VersionOutcome::GoOn:
        return CheckResult::GoOn;
    case shell::VersionOutcome::MouseOnlyNotice: {
        UpDateWarning notice;
        notice.SetText(shell::wiredModeText());
        placeCentred(&notice, kWarningShiftX);
        notice.exec();
        return CheckResult::Ended;
    }
    case shell::VersionOutcome::AskToPair:
        askToPair(device);
        return CheckResult::Ended;
    }
    return CheckResult::Ended;
}

void DialogChange::askToPair(const DeviceAllInfo& device)
{
    bool confirmed = false;
    {
        RePair question;
        placeCentred(&question);
        question.exec();
        confirmed = question.isConfirmed();
    }
    if (confirmed)
        openPairing(device);
}

void DialogChange::openPairing(const DeviceAllInfo& device)
{
    PairRequested = 1;
    PairDeviceInfo = device;
    Match match;
    match.InitPairInfo();
    placeCentred(&match);
    match.exec();
}

void DialogChange::openDevice(const DeviceAllInfo& device)
{
    emit deviceOpening();
    PostMsg* bus = PostMsg::instance();
    bus->EmitSelectMouseInfo(device);
    core::offerFirmware(device.UsbVersionText, core::receiverClassOfKind(device.DeviceKind));
    bus->EmitChangeMainDialog(1);
    // No pause before the pass: it runs on its own thread, so the frame paints
    // while the mouse answers, and any wait here only adds to the user's.
    // The pass opens the connection only while the frame is marked as shown,
    // so the mark goes up before the thread starts (startWorker does both).
    shell::startWorker();
}

void DialogChange::SlotEnterKey()
{
    if (!m_findVer->isHidden()) {
        m_findVer->hide();
        return;
    }
    if (!m_repair->isHidden())
        on_Repair_clicked();
}

void DialogChange::on_Repair_clicked()
{
    shell::showRepairDialog(this);
}
