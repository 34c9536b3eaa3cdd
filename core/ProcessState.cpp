#include "core/ProcessState.h"

#include <QMutexLocker>

#include <mutex>

std::atomic<quint8> DeviceWriteReady{0};
std::atomic<quint8> ButtonPageUpdating{0};
std::atomic<quint8> SensorPageUpdating{0};
std::atomic<quint8> LightPageUpdating{0};
std::atomic<quint8> ButtonPageFilled{0};
std::atomic<quint8> SensorPageFilled{0};

std::atomic<quint8> WorkerBusy{0};
std::atomic<quint8> WorkerOnline{0};
std::atomic<quint8> ReportedOnline{0};
std::atomic<quint8> SessionOnline{0};
std::atomic<quint8> OfflineAtStart{0};
std::atomic<quint8> RestartRequest{0};
std::atomic<quint8> ReloadRequested{0};
std::atomic<int> MainPageIndex{0};
std::atomic<quint8> FirmwareIdle{1};
std::atomic<quint8> UpdateCheckRunning{0};
std::atomic<quint8> ParamProgressSuppressed{0};
std::atomic<int> BatteryAsNumber{0};

std::atomic<quint8> KeyCheckPending{0};
std::atomic<quint8> DongleStateApplied{0};
std::atomic<quint8> DumpInProgress{0};

std::atomic<bool> LinkClosing{false};

Worker* WorkerInstance = nullptr;
quint8 BatteryStatus[4] = {};
quint8 StatusChangedFlags[7] = {};

DialogChange* ChoicePage = nullptr;
QList<DeviceAllInfo> TileDeviceList;
QList<DeviceAllInfo> FoundDeviceList;
int ConfiguredDriveCount = 0;
QStringList Wireless1kPidList;
QStringList Wireless2kPidList;
QStringList Wireless4kPidList;
QStringList Wireless8kPidList;
QString NoDeviceText;
QString RepairDeviceText;
QString OfflineTips1Text;
QString OfflineTips2Text;
QString MouseIsNewTipsText;
std::atomic<quint8> PairRequested{0};
DeviceAllInfo PairDeviceInfo;

std::atomic<quint8> PairingActive{0};
std::atomic<int> PairState{0};
std::atomic<quint8> RestoreMainPage{0};
std::atomic<int> PairTextStep{0};

std::atomic<quint8> ReceiverUpdateAvailable{0};
std::atomic<quint8> MouseUpdateAvailable{0};
UpDateRepair* UpdateRepairDialog = nullptr;
QString WiredModeText;

std::atomic<quint8> RepairUpgrading{0};
std::atomic<quint8> UpgradeProgressSeen{0};
QStringList UpdateFailFields;
quint32 RepairStage = 0;
quint32 RepairStageCount = 1;
quint32 RepairReceiverClass = 0;
quint32 RepairCid = 0;
quint32 RepairMid = 0;
QString RepairMouseImageName;
quint32 RepairFailedKindIsMouse = 0;

std::atomic<int> ImportResult{0};
std::atomic<int> ImportRunning{0};
std::atomic<int> OffLineNoticeIndex{0};

bool MacroRecording = false;
QString LeftButtonName;
QString RightButtonName;
QString MiddleButtonName;
QString ForwardButtonName;
QString BackButtonName;

namespace {

std::atomic<quint64> s_linkGeneration{1};

} // namespace

namespace {

struct Texts {
    std::mutex lock;
    std::string devicePath;
    QString cacheFileName;
    QString dumpCacheFileName;
    bool imageFromDevice = false;
};

Texts& texts()
{
    static Texts t;
    return t;
}

} // namespace

std::string CurrentDevicePath()
{
    std::lock_guard<std::mutex> guard(texts().lock);
    return texts().devicePath;
}

void SetCurrentDevicePath(const std::string& path)
{
    std::lock_guard<std::mutex> guard(texts().lock);
    texts().devicePath = path;
}

QString CacheFileName()
{
    std::lock_guard<std::mutex> guard(texts().lock);
    return texts().cacheFileName;
}

void SetCacheFileName(const QString& name)
{
    std::lock_guard<std::mutex> guard(texts().lock);
    texts().cacheFileName = name;
}

QString DumpCacheFileName()
{
    std::lock_guard<std::mutex> guard(texts().lock);
    return texts().dumpCacheFileName;
}

void SetDumpCacheFileName(const QString& name)
{
    std::lock_guard<std::mutex> guard(texts().lock);
    texts().dumpCacheFileName = name;
}

namespace core {

bool imageFromOpenDevice()
{
    std::lock_guard<std::mutex> guard(texts().lock);
    return texts().imageFromDevice;
}

void setImageFromOpenDevice(bool fromDevice)
{
    std::lock_guard<std::mutex> guard(texts().lock);
    texts().imageFromDevice = fromDevice;
}

void forgetOpenDeviceImage()
{
    // One step under the image lock: a dump handler that checks the generation
    // under that lock either finishes before or sees the new generation.
    QMutexLocker imageLock(&FlashDataMutex());
    ++s_linkGeneration;
    std::lock_guard<std::mutex> guard(texts().lock);
    texts().imageFromDevice = false;
    texts().dumpCacheFileName.clear();
}

quint64 linkGeneration()
{
    return s_linkGeneration.load();
}

void beginLinkGeneration()
{
    QMutexLocker imageLock(&FlashDataMutex());
    ++s_linkGeneration;
}

void resetDeviceLinkState()
{
    for (auto* flag : {&DeviceWriteReady, &ButtonPageUpdating, &SensorPageUpdating, &LightPageUpdating,
                       &ButtonPageFilled, &SensorPageFilled, &WorkerBusy, &WorkerOnline, &ReportedOnline,
                       &SessionOnline, &OfflineAtStart, &RestartRequest, &ReloadRequested, &UpdateCheckRunning,
                       &ParamProgressSuppressed, &KeyCheckPending, &DongleStateApplied, &DumpInProgress})
        flag->store(0);
    FirmwareIdle = 1;
    MainPageIndex = 0;
    BatteryAsNumber = 0;
    LinkClosing = false;
    forgetOpenDeviceImage();
    SetCacheFileName(QString());
}

} // namespace core
