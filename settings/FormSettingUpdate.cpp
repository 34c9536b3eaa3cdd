// The settings page's firmware update: the check that decides whether the
// receiver or the mouse (or a failed stage to resume) can be written, and the
// two step timers that write the receiver image, then the mouse image. The
// shared update dialog shows the verdict, the progress and the outcome.
#include "settings/FormSetting.h"

#include "core/ConfigIni.h"
#include "core/Firmware.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Worker.h"
#include "devicelib/HIDUsb.h"
#include "dialogs/UpDateWarning.h"
#include "settings/UpDateRepair.h"

#include <QLabel>
#include <QMutexLocker>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int kClasses[] = {1, 2, 4, 8};

// The page whose update runs.
settings::UpgradeRelay& relay()
{
    static settings::UpgradeRelay relay;
    return relay;
}

int classSlot(int receiverClass)
{
    for (int i = 0; i < 4; ++i)
        if (kClasses[i] == receiverClass)
            return i;
    return -1;
}

QString configValue(const QString& group, const QString& key)
{
    return key.isEmpty() ? QString() : ConfigIni::GetInstance()->GetValue(group, key);
}

// Version text of the image the library was given.
QString imageVersion(const QByteArray& image)
{
    core::FirmwareHeader header;
    return core::parseFirmwareHeader(image, &header) ? core::firmwareVersionText(header.version) : QString();
}

// Class of the first listed receiver that has an address and a receiver kind.
int listedReceiverClass(const QList<DeviceAllInfo>& devices)
{
    for (const DeviceAllInfo& device : devices)
        if (!device.UsbAddress.isEmpty() && !device.RestrictedKind && core::receiverClassOfKind(device.DeviceKind) != 0)
            return core::receiverClassOfKind(device.DeviceKind);
    return 0;
}

} // namespace

void FormSetting::connectUpdate()
{
    connect(DongleCheckTimer, &QTimer::timeout, this, &FormSetting::onDongleCheckTimer);
    connect(MouseCheckTimer, &QTimer::timeout, this, &FormSetting::onMouseCheckTimer);
    connect(Receive_2, &QToolButton::clicked, this, &FormSetting::on_Receive_2_clicked);
    // A stage the library accepted but never reports on would keep the
    // device watch off and the dialog busy for good.
    m_updateWatchdog = new QTimer(this);
    m_updateWatchdog->setSingleShot(true);
    m_updateWatchdog->setInterval(UpDateRepair::kWatchdogMs);
    connect(m_updateWatchdog, &QTimer::timeout, this, [this] {
        if (m_receiverStage == 1 || m_mouseStage == 1)
            failUpdateStage();
    });
    PostMsg* bus = PostMsg::instance();
    connect(bus, &PostMsg::SigLabelText, this, &FormSetting::SlotLabelText);
    connect(bus, &PostMsg::SigUpdateStart, this, &FormSetting::on_Start);
    connect(bus, &PostMsg::SigContinue, this, &FormSetting::SlotContinue);
    connect(bus, &PostMsg::SigSetNewVer, this, &FormSetting::SetVerText);
}

void FormSetting::stopUpdateEvents()
{
    relay().detach(this);
}

void FormSetting::setUpdateTimings(int tickMs, int watchdogMs)
{
    DongleCheckTimer->setInterval(tickMs);
    MouseCheckTimer->setInterval(tickMs);
    m_updateWatchdog->setInterval(watchdogMs);
}

quint32 FormSetting::UpdateStageOf(int imageKind) const
{
    return imageKind == core::kMouseImage ? m_mouseStage : m_receiverStage;
}

quint32& FormSetting::stageOf(int imageKind)
{
    return imageKind == core::kMouseImage ? m_mouseStage : m_receiverStage;
}

QList<DeviceAllInfo> FormSetting::foundDevices() const
{
    return WorkerInstance ? WorkerInstance->DeviceList() : QList<DeviceAllInfo>();
}

int FormSetting::receiverClassOfOpenDevice() const
{
    const DeviceAllInfo current = CurrentDeviceInfoCopy();
    if (!current.RestrictedKind)
        return core::receiverClassOfKind(current.DeviceKind);
    const QList<DeviceAllInfo> devices = foundDevices();
    return devices.size() == 2 ? listedReceiverClass(devices) : 0;
}

void FormSetting::readPageIds()
{
    const ConfigIni* config = ConfigIni::GetInstance();
    m_updateGroup = QStringLiteral("Drive%1").arg(CurrentDeviceInfoCopy().DriveIndex + 1);
    m_mouseImageName = config->GetValue(m_updateGroup, QStringLiteral("MM"));
    m_pageCid = quint32(config->GetInt(QStringLiteral("Option"), QStringLiteral("CID")));
    m_pageMid = quint32(config->GetInt(m_updateGroup, QStringLiteral("MID")));
}

void FormSetting::placeOverPage(QWidget* dialog) const
{
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    dialog->move(origin.x() + (width() - dialog->width()) / 2 - 75,
                 origin.y() + (height() - dialog->height()) / 2 - 65);
}

void FormSetting::on_Receive_2_clicked()
{
    if (!UpdateRepairDialog || Receive_2->text() == VerNewText)
        return;
    m_receiverRefused = false;
    placeOverPage(UpdateRepairDialog);
    UpdateRepairDialog->setWindowModality(Qt::ApplicationModal);
    UpdateRepairDialog->ResetUi();
    if (ChechIsUpDate()) {
        UpdateRepairDialog->ShowReadyState();
    } else if (m_receiverRefused) {
        Receive_2->setText(VerNewText);
        return;
    }
    // No local event loop: the step timers and the library's events go on.
    UpdateRepairDialog->show();
}

bool FormSetting::refuseUpdate(const QString& text)
{
    m_outcomeShown = true;
    if (UpdateRepairDialog) {
        UpdateRepairDialog->SetTipText(text);
        UpdateRepairDialog->ShowIdleState();
    }
    return false;
}

bool FormSetting::ChechIsUpDate()
{
    m_receiverClass = 0;
    m_recordedMouseRepair = 0;
    const QStringList record = core::unfinishedUpdateFields();
    const int recordedKind = record.value(0).toInt();
    const quint32 recordedCid = record.value(2).toUInt();
    const int recordedMid = record.value(3).toInt();
    // The ids are read here too: the searches below must not use those of
    // an earlier update (or none at all).
    readPageIds();
    const quint8 cid = quint8(m_pageCid);
    const quint8 mid = quint8(m_pageMid);
    const QList<DeviceAllInfo> devices = foundDevices();

    if (devices.isEmpty())
        return refuseUpdate(ErrorText);

    if (devices.size() == 1) {
        // Resume the stage a failed update left behind.
        const DeviceAllInfo& device = devices.first();
        if (record.isEmpty())
            return refuseUpdate(device.RestrictedKind ? NoRecieveText : NoUSBText);
        if (recordedKind == core::kReceiverImage) {
            if (!device.RestrictedKind || device.Mid != recordedMid)
                return refuseUpdate(NoUSBText);
        } else if (recordedKind == core::kMouseImage) {
            m_recordedMouseRepair = 1;
            if (device.RestrictedKind || device.Mid != recordedMid)
                return refuseUpdate(NoRecieveText);
        } else {
            return refuseUpdate(ErrorText);
        }
        // A failed mouse is written through the receiver open now, which may be of another class
        // than the one its update went through: only that receiver's image can go on.
        const bool mouseFailed = recordedKind == core::kMouseImage;
        const int receiverClass =
            mouseFailed ? core::receiverClassOfKind(device.DeviceKind) : record.value(1).toInt();
        const QString key = core::receiverImageKey(receiverClass);
        if (!key.isEmpty()) {
            m_receiverClass = quint32(receiverClass);
            m_firstReceiverImageName = configValue(m_updateGroup, key);
        }
        if (device.Cid != recordedCid)
            return refuseUpdate(ErrorText);
        FindUpdateFile(quint8(recordedKind), QString(), mouseFailed ? m_mouseImageName : m_firstReceiverImageName,
                       quint8(recordedCid), mid);
        // Without an image there is nothing to count boot devices against.
        const QList<QByteArray> images = UpdateImageList();
        if (images.isEmpty())
            return refuseUpdate(NoDeviceText);
        int count = 5;
        UsbUpgradeC_FindBootDevices(reinterpret_cast<const unsigned char*>(images.first().constData()),
                                    images.first().size(), &count);
        if (count == 0)
            return refuseUpdate(NoDeviceText);
        if (count > 1)
            return refuseUpdate(SameDeviceText);
        const bool other = mouseFailed
                               ? FindUpdateFile(core::kReceiverImage, label_5->text(), m_firstReceiverImageName, cid, mid)
                               : FindUpdateFile(core::kMouseImage, label_7->text(), m_mouseImageName, cid, mid);
        m_stageCount = other ? 2 : 1;
        return true;
    }

    if (devices.size() == 2) {
        const DeviceAllInfo& a = devices.at(0);
        const DeviceAllInfo& b = devices.at(1);
        if (!a.RestrictedKind && !b.RestrictedKind)
            return refuseUpdate(NoUSBText);
        if (a.Mid != b.Mid)
            return refuseUpdate(NoRecieveText);
        m_receiverClass = quint32(listedReceiverClass(devices));
        if (m_receiverClass == 0)
            return refuseUpdate(NoRecieveText);
        m_secondReceiverImageName = configValue(m_updateGroup, core::receiverImageKey(int(m_receiverClass)));
        const bool receiverNewer =
            FindUpdateFile(core::kReceiverImage, label_5->text(), m_secondReceiverImageName, cid, mid);
        const bool mouseNewer = FindUpdateFile(core::kMouseImage, label_7->text(), m_mouseImageName, cid, mid);
        MouseUpdateAvailable = mouseNewer ? 1 : 0;
        if (receiverNewer || mouseNewer) {
            m_stageCount = receiverNewer && mouseNewer ? 2 : 1;
            return true;
        }
        m_receiverRefused = true;
        return refuseUpdate(VerNewText);
    }

    int mice = 0;
    int receivers = 0;
    for (const DeviceAllInfo& device : devices)
        ++(device.RestrictedKind ? mice : receivers);
    if (receivers >= 2)
        refuseUpdate(MultiDongleText);
    if (mice >= 2)
        refuseUpdate(MultiMouseText);
    return false;
}

void FormSetting::on_Start()
{
    for (int& count : m_bootCounts)
        count = 0;
    m_outcomeShown = false;
    if (UpdateRepairDialog)
        UpdateRepairDialog->ShowUpdatingState();
    const bool receiverImage = FindUpdateFile(core::kReceiverImage, label_5->text(), m_firstReceiverImageName,
                                              quint8(m_pageCid), quint8(m_pageMid));
    if (!receiverImage && m_recordedMouseRepair == 1) {
        m_noticeFlag = true;
        on_Mouse_clicked();
        return;
    }
    if (m_receiverStage != 1 && m_mouseStage != 1 && !m_mouseTimerRunning && !m_receiverRefused) {
        armReceiverUpdate();
    } else if (m_receiverRefused) {
        setUpdateButtonStyle(false);
        SlotContinue(0);
    }
}

void FormSetting::armReceiverUpdate()
{
    UpdateCheckRunning = 1;
    UpdateStep = 0;
    m_receiverNoticeCode = 0;
    toolButton_2->hide();
    SetVer(2);
    // The device leaves and comes back in its boot loader: the worker must not drop it.
    FirmwareIdle = 0;
    DongleCheckTimer->start();
    m_receiverTimerRunning = true;
}

void FormSetting::armMouseUpdate()
{
    UpdateCheckRunning = 1;
    UpdateStep = 0;
    m_mouseNoticeCode = 0;
    toolButton_3->hide();
    SetVer(1);
    FirmwareIdle = 0;
    MouseCheckTimer->start();
    m_mouseTimerRunning = true;
}

void FormSetting::on_Receive_clicked()
{
    m_receiverClass = quint32(receiverClassOfOpenDevice());
    if (m_receiverRefused || m_mouseTimerRunning)
        return;
    armReceiverUpdate();
}

void FormSetting::on_Mouse_clicked()
{
    const DeviceAllInfo current = CurrentDeviceInfoCopy();
    if (current.RestrictedKind) {
        const QList<DeviceAllInfo> devices = foundDevices();
        if (devices.isEmpty() || !devices.first().RestrictedKind || devices.first().Mid != current.Mid) {
            m_outcomeShown = true;
            PostMsg::instance()->EmitProgress(0, 5);
            return;
        }
    }
    if (!m_mouseRefused && !m_receiverTimerRunning)
        armMouseUpdate();
    else if (m_mouseRefused)
        Receive_2->setText(VerNewText);
}

void FormSetting::SlotContinue(int)
{
    for (int& count : m_bootCounts)
        count = 0;
    if (MouseUpdateAvailable && (m_receiverStage == 2 || m_receiverStage == 4)) {
        m_noticeFlag = true;
        on_Mouse_clicked();
    }
    if (ReceiverUpdateAvailable && (m_mouseStage == 2 || m_mouseStage == 4)) {
        m_noticeFlag = true;
        on_Receive_clicked();
    }
}

void FormSetting::onDongleCheckTimer()
{
    RunUpdate(UpdateStep, core::kReceiverImage, label_5->text());
}

void FormSetting::onMouseCheckTimer()
{
    RunUpdate(UpdateStep, core::kMouseImage, label_7->text());
}

void FormSetting::endWithoutUpdate(int imageKind)
{
    stageOf(imageKind) = 4;
    markStage(imageKind);
    (imageKind == core::kMouseImage ? m_mouseRefused : m_receiverRefused) = true;
    UpdateStep = 4;
}

void FormSetting::RunUpdate(int step, int imageKind, const QString& versionText)
{
    const bool mouse = imageKind == core::kMouseImage;
    if (step == 0)
        readPageIds();
    const quint8 cid = quint8(m_pageCid);
    const quint8 mid = quint8(m_pageMid);
    switch (step) {
    case 0: {
        bool found = false;
        if (mouse) {
            found = FindUpdateFile(core::kMouseImage, versionText, m_mouseImageName, cid, mid);
        } else {
            m_receiverPaths.clear();
            const QString name = configValue(m_updateGroup, core::receiverImageKey(int(m_receiverClass)));
            found = FindUpdateFile(core::kReceiverImage, QString(), name, cid, mid);
            const QList<QByteArray> images = UpdateImageList();
            const int slot = classSlot(int(m_receiverClass));
            if (found && slot >= 0 && !images.isEmpty())
                UsbUpgradeC_FindBootDevices(reinterpret_cast<const unsigned char*>(images.first().constData()),
                                            images.first().size(), &m_bootCounts[slot]);
            const DeviceAllInfo current = CurrentDeviceInfoCopy();
            for (const DeviceAllInfo& device : foundDevices()) {
                if (device.RestrictedKind)
                    continue;
                if (current.RestrictedKind || device.DevicePath == current.DevicePath)
                    m_receiverPaths.append(device.DevicePath);
            }
        }
        if (!found && m_receiverClass != 0)
            endWithoutUpdate(imageKind);
        else
            UpdateStep = 1;
        break;
    }
    case 1: {
        int total = 0;
        if (mouse) {
            total = m_recordedMouseRepair;
            for (const DeviceAllInfo& device : foundDevices())
                total += device.RestrictedKind ? 1 : 0;
        } else {
            for (int count : m_bootCounts)
                total += count;
            total += m_receiverPaths.size();
        }
        if (total != 1) {
            stageOf(imageKind) = 0;
            markStage(imageKind);
            // Not due any more: the chain at the end of the step would start
            // this stage again on every tick, and the update would never end.
            (mouse ? MouseUpdateAvailable : ReceiverUpdateAvailable) = 0;
            const QString refusal = total > 1 ? SameDeviceText : (mouse ? WiredModeText : NoDeviceText);
            // No stage follows a refused one: the dialog says why and can be closed.
            refuseUpdate(refusal);
            if (m_noticeFlag) {
                placeOverPage(UpdateWarningDialog);
                UpdateWarningDialog->setWindowModality(Qt::ApplicationModal);
                UpdateWarningDialog->SetText(refusal);
                UpdateWarningDialog->show();
                m_noticeFlag = false;
            } else {
                (mouse ? toolButton_3 : toolButton_2)->show();
                (mouse ? m_mouseNoticeCode : m_receiverNoticeCode) = total > 1 ? 2 : 1;
            }
            UpdateStep = 4;
            break;
        }
        if (!mouse) {
            for (int i = 0; i < 4; ++i) {
                if (m_bootCounts[i] != 1)
                    continue;
                // A receiver waits in its boot loader: its class's image goes on whatever it runs.
                FindUpdateFile(core::kReceiverImage, QString(),
                               configValue(m_updateGroup, core::receiverImageKey(kClasses[i])), cid, mid);
                startStage(imageKind);
                return;
            }
        }
        bool found = false;
        if (mouse) {
            found = FindUpdateFile(core::kMouseImage, versionText, m_mouseImageName, cid, mid);
        } else if (m_receiverClass == 4 || m_receiverClass == 8 || m_receiverClass == 2) {
            QString current;
            int version = 0;
            const QByteArray path = m_receiverPaths.value(0).toLocal8Bit();
            if (UsbFinderC_GetSlaveVersion(path.constData(), &version))
                current = core::firmwareVersionText(quint32(version));
            found = FindUpdateFile(core::kReceiverImage, current,
                                   configValue(m_updateGroup, core::receiverImageKey(int(m_receiverClass))), cid, mid);
        } else {
            found = FindUpdateFile(core::kReceiverImage, versionText, configValue(m_updateGroup, QStringLiteral("DM")),
                                   cid, mid);
        }
        if (!found)
            endWithoutUpdate(imageKind);
        else
            startStage(imageKind);
        break;
    }
    case 2:
        // The stage was set running before the start; an end that came
        // since must stay.
        UpdateStep = 3;
        break;
    case 3:
        if (stageOf(imageKind) != 1)
            UpdateStep = 4;
        break;
    case 4:
        finishStep(imageKind);
        break;
    default:
        break;
    }
}

void FormSetting::startStage(int imageKind)
{
    const QList<QByteArray> images = UpdateImageList();
    if (images.isEmpty()) {
        // No image for the device in its boot loader: nothing is handed to
        // the library, and the dialog says why.
        stageOf(imageKind) = 0;
        markStage(imageKind);
        refuseUpdate(NoDeviceText);
        UpdateStep = 4;
        return;
    }
    // The library keeps the pointer: the buffer lives until the next start.
    m_updateImage = images.first();
    // Running before the start: the library may end the stage before the next tick.
    stageOf(imageKind) = 1;
    relay().attach(this, [this](const settings::UpgradeEvent& event) { handleUpgradeEvent(event); });
    m_updateWatchdog->start();
    UpdateStep = 2;
    const auto callback = imageKind == core::kMouseImage ? &FormSetting::MouseUpgradeCallback
                                                         : &FormSetting::DongleUpgradeCallback;
    m_runningStage = core::FirmwareStage{imageKind, m_recordedMouseRepair == 1, int(m_receiverClass), int(m_pageCid),
                                         int(m_pageMid)};
    switch (m_flow.startStage(m_runningStage, m_updateImage, callback, settings::kUpgradeTimeoutMs)) {
    case core::StageStart::Started:
        return;
    case core::StageStart::NotRecorded:
        notRecorded(imageKind);
        return;
    case core::StageStart::Refused:
        break;
    }
    failUpdateStage();
}

void FormSetting::notRecorded(int imageKind)
{
    m_updateWatchdog->stop();
    relay().detach(this);
    stageOf(imageKind) = 0;
    markStage(imageKind);
    // Nothing follows a stage that could not start: the next one would meet the same store.
    m_recordedMouseRepair = 0;
    MouseUpdateAvailable = 0;
    ReceiverUpdateAvailable = 0;
    m_outcomeShown = true;
    if (UpdateRepairDialog)
        UpdateRepairDialog->ShowNotRecorded();
    UpdateStep = 4;
}

void FormSetting::finishStep(int imageKind)
{
    if (imageKind == core::kReceiverImage) {
        m_receiverTimerRunning = false;
        MarkDongleUpdate();
    } else {
        m_mouseTimerRunning = false;
        MarkMouseUpdate();
    }
    m_noticeFlag = false;
    DongleCheckTimer->stop();
    MouseCheckTimer->stop();
    UpdateCheckRunning = 0;
    // A receiver that failed in front of a waiting mouse ends the update: the mouse's success
    // would clear the record of a receiver left in its boot loader, and hide its failure.
    if (imageKind == core::kReceiverImage && m_recordedMouseRepair == 1 && m_receiverStage != 3) {
        m_noticeFlag = true;
        on_Mouse_clicked();
    } else {
        SlotContinue(0);
    }
    if (m_receiverTimerRunning || m_mouseTimerRunning)
        return;
    // No stage follows: a record still stored is one to repair.
    m_flow.end();
    if (m_outcomeShown)
        return;
    // Every stage ended without writing. With nothing left to repair the device runs that
    // firmware already; a record that stands (a mouse waits in its boot loader, and its image is
    // gone) is a failure, never "up to date".
    if (core::unfinishedUpdateFields().isEmpty()) {
        refuseUpdate(VerNewText);
    } else {
        m_outcomeShown = true;
        PostMsg::instance()->EmitProgress(0, 5);
    }
}

void FormSetting::MarkDongleUpdate()
{
    markStage(core::kReceiverImage);
}

void FormSetting::MarkMouseUpdate()
{
    markStage(core::kMouseImage);
}

void FormSetting::markStage(int imageKind)
{
    const bool mouse = imageKind == core::kMouseImage;
    FirmwareIdle = 1;
    const quint32 stage = stageOf(imageKind);
    if (stage == 0 || stage == 3) {
        UpdateStep = 4;
        return;
    }
    (mouse ? toolButton_3 : toolButton_2)->hide();
    (mouse ? m_mouseNoticeCode : m_receiverNoticeCode) = 0;
    if (stage == 2 || stage == 4)
        setUpdateButtonStyle(false);
    if (stage == 2)
        (mouse ? MouseUpdateAvailable : ReceiverUpdateAvailable) = 0;
}

void FormSetting::DongleUpgradeCallback(const unsigned char* event)
{
    relay().post(event);
}

void FormSetting::MouseUpgradeCallback(const unsigned char* event)
{
    relay().post(event);
}

void FormSetting::handleUpgradeEvent(const settings::UpgradeEvent& event)
{
    if (event[0] != 7 || (m_receiverStage != 1 && m_mouseStage != 1))
        return;
    m_updateWatchdog->start();
    PostMsg* bus = PostMsg::instance();
    if (event[1] == 1) {
        const int percent = event[2];
        if (m_receiverStage == 1)
            bus->EmitProgress(m_stageCount == 1 ? percent : percent / 2, 0);
        if (m_mouseStage == 1)
            bus->EmitProgress(m_stageCount == 1 ? percent : percent / 2 + 50, 0);
    } else if (event[1] == 2) {
        if (event[2] == 1)
            succeedStage();
        else
            failUpdateStage();
    }
}

void FormSetting::succeedStage()
{
    m_updateWatchdog->stop();
    relay().detach(this);
    m_flow.stageSucceeded();
    PostMsg* bus = PostMsg::instance();
    const QString version = imageVersion(m_updateImage);
    if (m_receiverStage == 1) {
        m_receiverStage = 2;
        if (m_stageCount == 1) {
            m_outcomeShown = true;
            bus->EmitProgress(0, 2);
        }
        bus->EmitLabelText(0, version);
    }
    if (m_mouseStage == 1) {
        m_mouseStage = 2;
        core::writeMouseVersion(QString::number(m_pageCid), QString::number(m_pageMid), version);
        m_outcomeShown = true;
        bus->EmitProgress(0, 2);
        bus->EmitLabelText(1, version);
    }
}

void FormSetting::failUpdateStage()
{
    m_updateWatchdog->stop();
    relay().detach(this);
    m_flow.stageFailed(m_runningStage);
    core::writeUpdateLog(UsbUpgradeC_GetLogs());
    MouseUpdateAvailable = 0;
    ReceiverUpdateAvailable = 0;
    if (m_receiverStage == 1)
        m_receiverStage = 3;
    if (m_mouseStage == 1)
        m_mouseStage = 3;
    m_outcomeShown = true;
    PostMsg::instance()->EmitProgress(0, 1);
}

void FormSetting::SlotLabelText(int index, QString Text)
{
    if (index == 0) {
        label_5->setText(Text);
        QMutexLocker lock(&DeviceInfoMutex());
        CurrentDeviceInfo.UsbVersionText = Text;
    } else if (index == 1) {
        label_7->setText(Text);
        QMutexLocker lock(&DeviceInfoMutex());
        CurrentDeviceInfo.VersionText = Text;
    }
}

void FormSetting::SetVerText()
{
    Receive_2->setText(VerNewText);
}
