#include "core/Worker.h"

#include "core/ConfigIni.h"
#include "core/DeviceInfoFile.h"
#include "core/DeviceReport.h"
#include "core/DeviceScan.h"
#include "core/EventWait.h"
#include "core/Firmware.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "devicelib/HIDUsb.h"

#include <QCoreApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QMutexLocker>
#include <QTimer>

#include <utility>

Q_LOGGING_CATEGORY(lcWorker, "app.core.worker", QtInfoMsg)

namespace {

constexpr int kOnlineCheckMs = 1300;
constexpr int kAddressBytes = 3;

const QString kOption = QStringLiteral("Option");

bool answers(const std::string& path)
{
    return UsbFinderC_GetDeviceOnLine(path.c_str());
}

bool sameAddress(const QByteArray& a, const QByteArray& b)
{
    return a.size() >= kAddressBytes && b.size() >= kAddressBytes && a.left(kAddressBytes) == b.left(kAddressBytes);
}

} // namespace

Worker::Worker()
{
    WorkerBusy = 1;
    core::restartReloadThrottle();
    SetCurrentDevicePath(kPlaceholderPath);
    WorkerOnline = 0;
    m_onlineCheckTimer = new QTimer(this);
    connect(m_onlineCheckTimer, &QTimer::timeout, this, &Worker::SlotCheckOnline);
    m_onlineCheckTimer->setInterval(kOnlineCheckMs);
    m_onlineCheckTimer->start();
    connect(PostMsg::instance(), &PostMsg::SigSelectMouseInfo, this, &Worker::SlotSelectMouseInfo);
    connect(PostMsg::instance(), &PostMsg::SigMainPageChange, this, &Worker::SlotMainPageChange);
    connect(this, &QThread::finished, this, [this] {
        if (std::exchange(m_passAgain, false))
            StartPass();
    });
    // The rescan follows the one worker of the moment, whichever object made it.
    core::hotPlugCoalescer(core::HotPlugOwner::Worker).attach(QCoreApplication::instance(), [] {
        if (WorkerInstance)
            WorkerInstance->rescanAfterUsbChange();
    });
    BatteryAsNumber = ConfigIni::GetInstance()->GetValue(kOption, QStringLiteral("ShowBatteryValue")).toInt();
}

Worker::~Worker()
{
    if (!Shutdown(5000))
        qCWarning(lcWorker) << "device worker still running at destruction";
    if (WorkerInstance == this)
        WorkerInstance = nullptr;
}

void Worker::run()
{
    if (WorkerBusy == 0)
        return;
    const std::string path = CurrentDevicePath();
    if (WorkerOnline == 0)
        WorkerOnline = answers(path) ? 1 : 0;
    const DeviceAllInfo cur = CurrentDeviceInfoCopy();
    bool unchanged = false;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        unchanged = cur.DevicePath == m_lastDevicePath && cur.DeviceKind == m_lastDeviceKind
                    && ReportedOnline == WorkerOnline && ReloadRequested == 0;
    }
    if (!unchanged && MainPageIndex == 1 && !LinkClosing)
        openConnection(path, cur);
    SessionOnline = WorkerOnline.load();
    WorkerBusy = 0;
}

void Worker::openConnection(const std::string& path, const DeviceAllInfo& cur)
{
    const bool online = answers(path);
    {
        QMutexLocker lock(&DeviceInfoMutex());
        CurrentDeviceInfo.Online = online;
    }
    if (online) {
        if (ReloadRequested.exchange(0))
            PostMsg::instance()->EmitUpDataParam(1);
        else if (ParamProgressSuppressed != 1)
            PostMsg::instance()->EmitUpDataParam(0);
    } else {
        OfflineAtStart = 1;
        showCachedImage();
    }
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_lastDevicePath = cur.DevicePath;
        m_lastDeviceKind = cur.DeviceKind;
    }
    // Reports of the connection this one replaces may still be in the
    // library's hands; from here on they change nothing.
    core::beginLinkGeneration();
    // A silent device is opened too: once it wakes up it answers the request.
    UsbServerC_Start(path.c_str(), path.c_str(), &OnDeviceReport);
    qCDebug(lcWorker) << "OnlinA";
    UsbServer_SetPCDriverStatus(1);
    UsbServer_ReadAllFlashData();
    ReportedOnline = WorkerOnline.load();
    qCDebug(lcWorker) << "OnlinB";
}

void Worker::showCachedImage()
{
    FlashDataMap cached = EmptyFlashDataMap();
    if (LinkClosing)
        return;
    PostMsg* bus = PostMsg::instance();
    if (ReadDeviceInfoFile(CacheFileName(), &cached)) {
        bus->EmitUpDataLightUIButton(cached);
        bus->EmitUpDataLightLight(cached);
        bus->EmitUpDataLightSensor(cached);
        // The cache holds the image of one configuration but not its number: the box lists the
        // mouse's configurations with the first one shown, and stays open to the user, whose
        // choice then meets the offline notice. The mouse's own report replaces it once it wakes.
        bus->EmitUpDataConfigUI(core::kConfigurations, 0, true);
        bus->EmitForm();
    } else {
        bus->EmitFormReset();
    }
}

void Worker::SlotSelectMouseInfo(DeviceAllInfo info)
{
    StoreCurrentDeviceInfo(info);
    SetCacheFileName(DeviceCacheFileName(info.Cid, info.Mid));
    // The chosen device is the one the next pass opens and asks; what the
    // program held for any earlier device no longer counts.
    SetCurrentDevicePath(info.DevicePath.toLatin1().toStdString());
    core::forgetOpenDeviceImage();
    WorkerOnline = 0;
    std::lock_guard<std::mutex> guard(m_lock);
    m_lastDevicePath.clear();
    m_lastDeviceKind = -1;
}

void Worker::SlotMainPageChange()
{
    ReportedOnline = 0;
}

void Worker::SlotCheckOnline()
{
    if (OfflineAtStart) {
        if (MainPageIndex == 0) {
            if (CurrentDeviceInfoCopy().DeviceKind != 0)
                OfflineAtStart = 0;
        } else if (FirmwareIdle) {
            const bool online = answers(CurrentDevicePath());
            WorkerOnline = online ? 1 : 0;
            ReportedOnline = 0;
            if (!online)
                return;
            PostMsg::instance()->EmitCloseOffOnline();
            OfflineAtStart = 0;
        }
    }
    if (WorkerOnline && RestartRequest) {
        RestartRequest = 0;
        StartPass();
    }
}

void Worker::SelectAndStart(DeviceAllInfo info)
{
    const std::string path = info.DevicePath.toLatin1().toStdString();
    if (answers(path)) {
        if (info.DevicePath != CurrentDeviceInfoCopy().DevicePath)
            core::forgetOpenDeviceImage();
        StoreCurrentDeviceInfo(info);
        SetCurrentDevicePath(path);
    }
    StartPass();
}

void Worker::StartPass()
{
    if (m_shutDown)
        return;
    WorkerBusy = 1;
    // A running pass has already read the device it opens: a request for
    // another one (a hot-plug reselection) would be lost and leave the link on
    // the device before. It runs once this pass has ended.
    if (isRunning()) {
        m_passAgain = true;
        return;
    }
    start(QThread::InheritPriority);
}

void Worker::StartChosenDevice()
{
    MainPageIndex = 1;
    StartPass();
}

void Worker::ResetRunFlag()
{
    WorkerBusy = 0;
}

void Worker::WaitMs(int ms)
{
    WaitProcessingEvents(ms);
}

QList<DeviceAllInfo> Worker::DeviceList() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_deviceList;
}

bool Worker::Shutdown(int boundMs)
{
    m_shutDown = true;
    WorkerBusy = 0;
    m_onlineCheckTimer->stop();
    QElapsedTimer clock;
    clock.start();
    // A pass may be waiting for the GUI to take a blocking signal: keep
    // processing events instead of blocking in wait().
    while (isRunning() && clock.elapsed() < boundMs)
        WaitProcessingEvents(10);
    return wait(0);
}

void Worker::OnUsbChanged()
{
    core::hotPlugChanged();
}

void Worker::rescanAfterUsbChange()
{
    PostMsg::instance()->EmitSetver(4);
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_deviceList.clear();
    }
    FindDevices(core::vendorId(), core::ProductIds::read().searchOrder());
    if (DeviceList().isEmpty()) {
        if (FirmwareIdle) {
            StoreCurrentDeviceInfo(DeviceAllInfo());
            PostMsg::instance()->EmitChangeMainDialog(0);
        }
    } else {
        reselectCurrentDevice();
        if (CurrentDeviceInfoCopy().RestrictedKind)
            announceFirmware();
    }
    // The settings page checks again only while its repair dialog shows and
    // no check runs; the page decides that, as core sees no window.
    PostMsg::instance()->EmitCheckUpdate();
}

bool Worker::qualifies(const DeviceAllInfo& e, const DeviceAllInfo& cur) const
{
    const bool viaAddress = !cur.DevicePath.isEmpty() || (cur.Online && !cur.RestrictedKind);
    if (viaAddress) {
        return e.DriveIndex == cur.DriveIndex && e.RestrictedKind && e.Online && !cur.RestrictedKind
               && sameAddress(e.UsbAddress, cur.UsbAddress);
    }
    return e.DevicePath == cur.DevicePath && e.Online;
}

void Worker::reselectCurrentDevice()
{
    const QList<DeviceAllInfo> entries = DeviceList();
    int elsewhere = 0;
    for (const DeviceAllInfo& e : entries) {
        const DeviceAllInfo cur = CurrentDeviceInfoCopy();
        if (qualifies(e, cur))
            SelectAndStart(e);
        if (e.DevicePath != cur.DevicePath && !cur.DevicePath.isEmpty()) {
            ++elsewhere;
            if (elsewhere == entries.size() && FirmwareIdle)
                PostMsg::instance()->EmitChangeMainDialog(0);
        }
    }
}

void Worker::announceFirmware()
{
    const QList<DeviceAllInfo> entries = DeviceList();
    const DeviceAllInfo mouse = CurrentDeviceInfoCopy();
    // The receiver is the one the mouse on its cable is paired with (same
    // address), else the first receiver with an address; its class follows
    // from its kind, however many devices are plugged.
    const DeviceAllInfo* receiver = nullptr;
    for (const DeviceAllInfo& e : entries) {
        if (e.UsbAddress.isEmpty() || e.RestrictedKind)
            continue;
        if (sameAddress(e.UsbAddress, mouse.UsbAddress)) {
            receiver = &e;
            break;
        }
        if (!receiver)
            receiver = &e;
    }
    const QString receiverText = receiver ? receiver->UsbVersionText : QString();
    const int receiverClass = receiver ? core::receiverClassOfKind(receiver->DeviceKind) : 0;
    core::offerFirmware(receiverText, receiverClass, mouse.VersionText);
}

void Worker::FindDevices(const QString& vid, const QStringList& pids)
{
    for (const QString& pid : pids) {
        for (const QByteArray& path : core::findDevicePaths(vid, pid, core::PathSearch::DeviceIdInterface)) {
            DeviceAllInfo rec = core::foundDevice(path, vid, pid);
            const DeviceAllInfo cur = CurrentDeviceInfoCopy();
            bool keep = true;
            if (!cur.DevicePath.isEmpty()) {
                const int result = FillDeviceInfo(rec, path.constData());
                keep = result != Matched || rec.DriveIndex == cur.DriveIndex;
                if (result == Matched && keep && rec.DevicePath == cur.DevicePath)
                    SetCurrentDevicePath(path.toStdString());
            }
            if (keep) {
                std::lock_guard<std::mutex> guard(m_lock);
                m_deviceList.append(rec);
            }
        }
    }
}

void Worker::readAddressAndRefreshCurrent(DeviceAllInfo& rec, const char* path)
{
    const core::LinkState link = core::readLink(QByteArray(path));
    rec.Online = link.online;
    rec.UsbAddress = link.address;
    QMutexLocker lock(&DeviceInfoMutex());
    if (rec.DevicePath != CurrentDeviceInfo.DevicePath)
        return;
    // Version texts read earlier survive: the scan does not ask for them.
    const QString version = CurrentDeviceInfo.VersionText;
    const QString usbVersion = CurrentDeviceInfo.UsbVersionText;
    CurrentDeviceInfo = rec;
    if (!version.isEmpty())
        CurrentDeviceInfo.VersionText = version;
    if (!usbVersion.isEmpty())
        CurrentDeviceInfo.UsbVersionText = usbVersion;
}

int Worker::FillDeviceInfo(DeviceAllInfo& rec, const char* path)
{
    const core::Identity identity = core::askIdentity(QByteArray(path));
    const HidDeviceIdentity& id = identity.id;
    const int total = core::driveTotal();
    if (!identity.answered) {
        rec.RestrictedKind = DeviceAllInfo::IsRestrictedKind(id.Kind);
        rec.DriveIndex = total;
        return NotIdentified;
    }
    const int group = core::driveIndexOf(id);
    if (group >= 0) {
        rec.Cid = id.Cid;
        rec.Mid = id.Mid;
        rec.SetDeviceKind(id.Kind);
        rec.DriveIndex = group;
        if (CurrentDeviceInfoCopy().DevicePath.isEmpty())
            rec.Online = UsbFinderC_GetDeviceOnLine(path);
        else
            readAddressAndRefreshCurrent(rec, path);
        return Matched;
    }
    if (total == 0)
        return NotIdentified;
    rec.SetDeviceKind(id.Kind);
    rec.DriveIndex = total;
    const int ourCid = ConfigIni::GetInstance()->GetInt(kOption, QStringLiteral("CID"), -1);
    return id.Cid == ourCid ? OurCidNoGroup : ForeignCid;
}
