#include "core/Worker.h"

#include "core/AppPaths.h"
#include "core/ConfigIni.h"
#include "core/DeviceInfoFile.h"
#include "core/DeviceLinkState.h"
#include "core/DeviceReport.h"
#include "core/EventWait.h"
#include "core/PostMsg.h"
#include "devicelib/HIDUsb.h"
#include "settings/FormSetting.h"
#include "settings/FormSettingFirmware.h"
#include "settings/UpDateRepair.h"
#include "shell/DialogChangeState.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QMutexLocker>
#include <QTimer>

#include <atomic>

Worker* WorkerInstance = nullptr;

Q_LOGGING_CATEGORY(lcWorker, "app.core.worker", QtInfoMsg)

namespace {

constexpr int kOnlineCheckMs = 1300;
constexpr int kIdentityAttempts = 10;
constexpr int kMaxPathsPerSearch = 5;
constexpr int kAddressBytes = 3;

// One rescan is queued at a time; callbacks arriving meanwhile are folded into it.
std::atomic<bool> s_rescanQueued{false};

const QString kOption = QStringLiteral("Option");

QString driveGroup(int n)
{
    return QStringLiteral("Drive%1").arg(n);
}

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
    if (LinkClosing || s_rescanQueued.exchange(true))
        return;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        s_rescanQueued = false;
        return;
    }
    QMetaObject::invokeMethod(
        app,
        [] {
            s_rescanQueued = false;
            if (WorkerInstance && !LinkClosing)
                WorkerInstance->rescanAfterUsbChange();
        },
        Qt::QueuedConnection);
}

void Worker::rescanAfterUsbChange()
{
    PostMsg::instance()->EmitSetver(4);
    const ConfigIni* config = ConfigIni::GetInstance();
    QStringList pids;
    for (const char* key : {"USB_PID", "Wireless_PID", "Wireless2_PID", "Wireless4_PID", "Wireless8_PID"})
        pids += config->GetValueList(kOption, QLatin1String(key));
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_deviceList.clear();
    }
    FindDevices(config->GetValue(kOption, QStringLiteral("VID")), pids);
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
    if (UpdateRepairDialog && UpdateRepairDialog->isVisible() && UpdateCheckRunning == 0)
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
    const int receiverClass = receiver ? settings::receiverClassOfKind(receiver->DeviceKind) : 0;
    QString offer;
    if (QDir(AppDir() + QStringLiteral("/bin")).exists()) {
        ReceiverUpdateAvailable = FormSetting::CheckUpdateFile(settings::kReceiverImage, receiverText, receiverClass);
        MouseUpdateAvailable = FormSetting::CheckUpdateFile(settings::kMouseImage, mouse.VersionText, receiverClass);
        if (ReceiverUpdateAvailable || MouseUpdateAvailable)
            offer = QStringLiteral("true");
    }
    PostMsg::instance()->EmitLabelTextB(receiverText, offer);
}

void Worker::FindDevices(const QString& vid, const QStringList& pids)
{
    const QByteArray vidText = vid.toLatin1();
    for (const QString& pid : pids) {
        int count = kMaxPathsPerSearch;
        const QByteArray pidText = pid.toLatin1();
        const char** found = UsbFinderC_FindHidDevicesByDeviceId(vidText.constData(), pidText.constData(), 1,
                                                                 kMaxPathsPerSearch, &count);
        QList<QByteArray> paths;
        for (int i = 0; found && i < qBound(0, count, kMaxPathsPerSearch); ++i)
            paths.append(QByteArray(found[i]));
        for (const QByteArray& path : paths) {
            DeviceAllInfo rec;
            rec.DevicePath = QString::fromLatin1(path);
            rec.Vid = vid;
            rec.Pid = pid;
            unsigned char attribute[12] = {};
            UsbFinderC_GetUsbDeviceAttribute(path.constData(), attribute);
            rec.UsbVersionText = DeviceAllInfo::VersionTextOf(quint32(attribute[8] | (attribute[9] << 8)));
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
    unsigned char address[10] = {};
    rec.UsbAddress.clear();
    UsbFinderC_GetDeviceOnLineWithUsbAddress(path, address);
    rec.Online = address[6] == 1;
    rec.UsbAddress = QByteArray(reinterpret_cast<const char*>(address + 7), kAddressBytes);
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
    // A device may answer zeros while it wakes up: ask up to ten times and
    // take the first real identity, the tenth answer included.
    HidDeviceIdentity id{};
    for (int attempt = 0; attempt < kIdentityAttempts; ++attempt) {
        id = UsbFinderC_GetDeviceInfo(path);
        if (id.Cid != 0 || id.Mid != 0)
            break;
    }
    const ConfigIni* config = ConfigIni::GetInstance();
    const int total = config->GetInt(kOption, QStringLiteral("DeviceTotal"));
    if (id.Cid == 0 && id.Mid == 0) {
        rec.RestrictedKind = DeviceAllInfo::IsRestrictedKind(id.Kind);
        rec.DriveIndex = total;
        return NotIdentified;
    }
    const bool noCurrent = CurrentDeviceInfoCopy().DevicePath.isEmpty();
    const int ourCid = config->GetValue(kOption, QStringLiteral("CID")).toInt();
    for (int index = 0; index < total; ++index) { // not n <= total: ++n would overflow at INT_MAX
        const int n = index + 1;
        const bool match = id.Cid == ourCid && id.Mid == config->GetValue(driveGroup(n), QStringLiteral("MID")).toInt();
        if (!match) {
            if (noCurrent)
                rec.DriveIndex = -1;
            continue;
        }
        rec.Cid = id.Cid;
        rec.Mid = id.Mid;
        rec.SetDeviceKind(id.Kind);
        rec.DriveIndex = n - 1;
        if (noCurrent) {
            rec.Online = UsbFinderC_GetDeviceOnLine(path);
            return Matched;
        }
        readAddressAndRefreshCurrent(rec, path);
        return Matched;
    }
    if (total == 0)
        return NotIdentified;
    rec.SetDeviceKind(id.Kind);
    rec.DriveIndex = total;
    return id.Cid == ourCid ? OurCidNoGroup : ForeignCid;
}
