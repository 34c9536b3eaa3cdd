// The repair flow of UpDateRepair: the check, the start, and the stages that
// follow the device library's firmware events.
#include "settings/UpDateRepair.h"

#include "core/ConfigIni.h"
#include "core/Firmware.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "devicelib/HIDUsb.h"
#include "settings/UpgradeRelay.h"

#include <QTimer>
#include <QToolButton>

namespace {

// The dialog whose update runs.
settings::UpgradeRelay& relay()
{
    static settings::UpgradeRelay relay;
    return relay;
}

quint8 stageKind()
{
    return RepairStage != 0 ? core::kMouseImage : core::kReceiverImage;
}

QString groupName(int driveIndex)
{
    return QStringLiteral("Drive%1").arg(driveIndex + 1);
}

const QStringList* receiverPidsOfClass(int receiverClass)
{
    switch (receiverClass) {
    case 1: return &Wireless1kPidList;
    case 2: return &Wireless2kPidList;
    case 4: return &Wireless4kPidList;
    case 8: return &Wireless8kPidList;
    default: return nullptr;
    }
}

} // namespace

void UpDateRepair::registerUpdating(bool on)
{
    if (on)
        relay().attach(this, [this](const settings::UpgradeEvent& event) { handleUpgradeEvent(event); });
    else
        relay().detach(this);
}

void UpDateRepair::UpgradeCallback(const quint8* event)
{
    relay().post(event);
}

void UpDateRepair::SlotRepairCheckUpdate()
{
    // The rescan after a device left (or came back from its boot loader) must
    // not replace the outcome the user has yet to read.
    if (m_outcomeShown)
        return;
    if (CheckUpdateDevices())
        ShowReadyState();
}

void UpDateRepair::refuse(const char* child)
{
    showMessage(child);
    ShowIdleState();
}

bool UpDateRepair::CheckUpdateDevices()
{
    // A check that refuses must not leave the start armed by an earlier one.
    m_ready = false;
    UpdateFailFields = core::unfinishedUpdateFields();
    if (UpdateFailFields.isEmpty())
        return false;
    m_recordedKind = UpdateFailFields[0].toInt();
    const int recordedMid = UpdateFailFields[3].toInt();
    const QList<DeviceAllInfo> devices = TileDeviceList;
    if (devices.isEmpty()) {
        refuse("NoDevice");
        return false;
    }
    if (devices.size() >= 2) {
        int mice = 0;
        int receivers = 0;
        DeviceAllInfo lastMouse;
        DeviceAllInfo lastReceiver;
        for (const DeviceAllInfo& device : devices) {
            if (device.RestrictedKind) {
                ++mice;
                lastMouse = device;
            } else {
                ++receivers;
                lastReceiver = device;
            }
        }
        const char* refusal = nullptr;
        if (mice >= 2)
            refusal = "MultiMouse";
        else if (receivers >= 2)
            refusal = "MultiDongle";
        else if (m_recordedKind == core::kMouseImage && mice == 1 && lastMouse.Mid != recordedMid)
            refusal = "MultiMouse";
        else if (m_recordedKind == core::kReceiverImage && receivers == 1 && lastReceiver.Mid != recordedMid)
            refusal = "MultiDongle";
        if (refusal) {
            refuse(refusal);
            return false;
        }
    }
    const int receivers = receiverCount(m_recordedKind);
    if (m_autoRepair) {
        m_ready = true;
    } else {
        const DeviceAllInfo& first = devices.first();
        if (m_recordedKind == core::kReceiverImage && (!first.RestrictedKind || first.Mid != recordedMid)) {
            refuse("NoUSB");
            return false;
        }
        if (m_recordedKind != core::kReceiverImage && (first.RestrictedKind || first.Mid != recordedMid)) {
            refuse("NoRecieve");
            return false;
        }
        m_ready = loadRecordedModel(m_recordedKind, first);
    }
    // Without an image there is nothing to count devices against.
    const QList<QByteArray> images = RepairImageList();
    if (!m_ready || images.isEmpty()) {
        m_ready = false;
        refuse("FileError");
        return false;
    }
    int count = 5;
    UsbUpgradeC_FindBootDevices(reinterpret_cast<const unsigned char*>(images.first().constData()),
                                images.first().size(), &count);
    // A mouse whose stage was cut before its first byte or after its last runs its firmware and
    // waits in no boot loader: it is the one its receiver reaches, as a receiver that runs
    // counts for a receiver's record.
    if (m_recordedKind != core::kReceiverImage && count == 0 && namedMouseAnswers(devices.first(), recordedMid))
        count = 1;
    const int total = count + receivers;
    if (total == 1)
        return true;
    refuse(total == 0 ? "NoDevice" : "SameDevice");
    m_newHong->show();
    RepairUpgrading = 0;
    return false;
}

bool UpDateRepair::namedMouseAnswers(const DeviceAllInfo& first, int recordedMid)
{
    if (first.RestrictedKind || first.Mid != recordedMid)
        return false;
    const QByteArray path = first.DevicePath.toLatin1();
    return UsbFinderC_GetDeviceOnLine(path.constData());
}

int UpDateRepair::receiverCount(int recordedKind) const
{
    if (recordedKind != core::kReceiverImage)
        return 0;
    const QStringList* all[] = {&Wireless1kPidList, &Wireless2kPidList, &Wireless4kPidList, &Wireless8kPidList};
    int count = 0;
    for (const DeviceAllInfo& device : FoundDeviceList)
        for (const QStringList* pids : all)
            if (pids->contains(device.Pid)) {
                ++count;
                break;
            }
    if (count != 1)
        return count;
    const QStringList* recorded = receiverPidsOfClass(UpdateFailFields.value(1).toInt());
    count = 0;
    for (const DeviceAllInfo& device : FoundDeviceList)
        if (recorded && recorded->contains(device.Pid))
            ++count;
    return count;
}

bool UpDateRepair::loadRecordedModel(int recordedKind, const DeviceAllInfo& first)
{
    const ConfigIni* config = ConfigIni::GetInstance();
    const int recordedMid = UpdateFailFields[3].toInt();
    const int total = config->GetInt(QStringLiteral("Option"), QStringLiteral("DeviceTotal"));
    for (int index = 0; index < total; ++index) {
        if (config->GetInt(groupName(index), QStringLiteral("MID"), -1) == recordedMid) {
            m_group = groupName(index);
            break;
        }
    }
    RepairMouseImageName = config->GetValue(m_group, QStringLiteral("MM"));
    // A failed mouse is written through the receiver listed first, which may be of another class
    // than the one its update went through: only that receiver's image can go on, and only where
    // its version differs. A failed receiver waits in its boot loader, of the class recorded.
    const bool mouseFailed = recordedKind != core::kReceiverImage;
    const int receiverClass = mouseFailed ? core::receiverClassOfKind(first.DeviceKind) : UpdateFailFields[1].toInt();
    const QString key = core::receiverImageKey(receiverClass);
    RepairReceiverClass = key.isEmpty() ? 0 : quint32(receiverClass);
    m_receiverImageName = key.isEmpty() ? QString() : config->GetValue(m_group, key);
    m_receiverVersion = mouseFailed ? first.UsbVersionText : QString();
    RepairCid = UpdateFailFields[2].toUInt();
    RepairMid = quint32(config->GetInt(m_group, QStringLiteral("MID")));

    const quint8 cid = quint8(RepairCid);
    const quint8 mid = quint8(RepairMid);
    const bool mouse = FindFirmwareFile(core::kMouseImage, QString(), RepairMouseImageName, cid, mid);
    const bool receiver = FindFirmwareFile(core::kReceiverImage, m_receiverVersion, m_receiverImageName, cid, mid);
    RepairStageCount = mouse && receiver ? 2 : 1;
    RepairFailedKindIsMouse = mouseFailed ? 1 : 0;
    return mouseFailed ? FindFirmwareFile(core::kMouseImage, QString(), RepairMouseImageName, cid, mid)
                       : FindFirmwareFile(core::kReceiverImage, QString(), m_receiverImageName, cid, mid);
}

void UpDateRepair::StartAutoRepair(int index)
{
    m_autoRepair = true;
    m_autoRepairIndex = index;
    // No check ran: the device to repair says what to write. A device that
    // is not listed leaves every name empty, and the start then fails visibly.
    const ConfigIni* config = ConfigIni::GetInstance();
    const DeviceAllInfo device = TileDeviceList.value(index);
    const bool listed = index >= 0 && index < TileDeviceList.size();
    m_group = listed ? groupName(device.DriveIndex) : QString();
    RepairCid = quint32(config->GetInt(QStringLiteral("Option"), QStringLiteral("CID")));
    RepairMid = quint32(config->GetInt(m_group, QStringLiteral("MID")));
    RepairMouseImageName = config->GetValue(m_group, QStringLiteral("MM"));
    m_recordedKind = listed && !device.RestrictedKind ? core::kReceiverImage : core::kMouseImage;
    RepairReceiverClass = m_recordedKind == core::kReceiverImage ? core::receiverClassOfKind(device.DeviceKind) : 0;
    const QString key = core::receiverImageKey(int(RepairReceiverClass));
    m_receiverImageName = key.isEmpty() ? QString() : config->GetValue(m_group, key);
    m_receiverVersion.clear();
    RepairFailedKindIsMouse = m_recordedKind == core::kMouseImage ? 1 : 0;
    RepairStageCount = 1;
    m_ready = true;
    StartUpgrade();
}

void UpDateRepair::StartUpgrade()
{
    if (!m_ready)
        return;
    RepairUpgrading = 1;
    ShowUpdatingState();
    FirmwareIdle = 0;
    const quint8 cid = quint8(RepairCid);
    const quint8 mid = quint8(RepairMid);
    if (FindFirmwareFile(core::kReceiverImage, m_receiverVersion, m_receiverImageName, cid, mid)) {
        RepairStage = 0;
    } else {
        RepairStage = 1;
        if (!FindFirmwareFile(core::kMouseImage, QString(), RepairMouseImageName, cid, mid)) {
            // Nothing can be written: a failure, never the success text.
            PostMsg::instance()->EmitAutoRepair(1);
            showMessage("FileError");
            PostMsg::instance()->EmitUpDateButton(false);
            endUpdate();
            return;
        }
    }
    m_ready = startStage();
}

bool UpDateRepair::startStage()
{
    m_stage = core::FirmwareStage{stageKind(), RepairFailedKindIsMouse != 0, int(RepairReceiverClass), int(RepairCid),
                                  int(RepairMid)};
    const QList<QByteArray> images = RepairImageList();
    if (images.isEmpty()) {
        failStage();
        return false;
    }
    // The library is handed a pointer; the buffer lives until the next stage.
    m_image = images.first();
    registerUpdating(true);
    switch (m_flow.startStage(m_stage, m_image, &UpDateRepair::UpgradeCallback, settings::kUpgradeTimeoutMs)) {
    case core::StageStart::Started:
        m_watchdog->start();
        return true;
    case core::StageStart::NotRecorded:
        notStarted();
        return false;
    case core::StageStart::Refused:
        break;
    }
    failStage();
    return false;
}

void UpDateRepair::notStarted()
{
    endUpdate();
    ShowNotRecorded();
}

void UpDateRepair::handleUpgradeEvent(const UpgradeEvent& event)
{
    if (event[0] != 7)
        return;
    if (event[1] == 1) {
        m_watchdog->start();
        UpgradeProgressSeen = 1;
        int percent = event[2];
        if (RepairStageCount == 2)
            percent = percent / 2 + (RepairStage == 1 ? 50 : 0);
        PostMsg::instance()->EmitAutoRepairProgress(percent);
    } else if (event[1] == 2) {
        finishStage(event[2] == 1);
    }
}

void UpDateRepair::finishStage(bool success)
{
    m_watchdog->stop();
    if (!success) {
        failStage();
        return;
    }
    m_flow.stageSucceeded();
    PostMsg* bus = PostMsg::instance();
    // Only the receiver image was found: its stage is the last.
    if (RepairStage == 1 || RepairStageCount < 2) {
        bus->EmitAutoRepair(0);
        bus->EmitUpDateButton(true);
        bus->EmitProgress(0, 2);
        endUpdate();
        return;
    }
    RepairStage = 1;
    const bool image = FindFirmwareFile(core::kMouseImage, QString(), RepairMouseImageName, quint8(RepairCid),
                                        quint8(RepairMid));
    bool mouseAttached = m_recordedKind == core::kMouseImage;
    for (const DeviceAllInfo& device : TileDeviceList)
        mouseAttached = mouseAttached || (device.RestrictedKind && device.Mid == RepairMid);
    if (image && mouseAttached) {
        startStage();
        return;
    }
    bus->EmitAutoRepair(1);
    bus->EmitUpDateButton(true);
    bus->EmitProgress(0, 5);
    endUpdate();
}

void UpDateRepair::failStage()
{
    m_watchdog->stop();
    m_flow.stageFailed(m_stage);
    core::writeUpdateLog(UsbUpgradeC_GetLogs());
    PostMsg* bus = PostMsg::instance();
    bus->EmitAutoRepair(1);
    bus->EmitUpDateButton(false);
    bus->EmitProgress(0, 6);
    endUpdate();
}

void UpDateRepair::endUpdate()
{
    m_watchdog->stop();
    registerUpdating(false);
    m_flow.end();
    RepairUpgrading = 0;
    UpgradeProgressSeen = 0;
    FirmwareIdle = 1;
}
