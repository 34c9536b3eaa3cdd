#include "core/DeviceReport.h"

#include "core/ConfigIni.h"
#include "core/DeviceAllInfo.h"
#include "core/DeviceInfoFile.h"
#include "core/DeviceParam.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Registry.h"
#include "devicelib/HIDUsb.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QMutexLocker>

#include <cstring>
#include <functional>
#include <mutex>

Q_LOGGING_CATEGORY(lcReport, "app.core.report")

DongleRGB* DongleRGBBuffer()
{
    static DongleRGB buffer{};
    return &buffer;
}

namespace core {

namespace {

constexpr int kDpiLedBytes = 8;
constexpr int kLedBarBytes = 9;
constexpr quint8 kNoAnswer = 0x73; // "s": the probe value the library leaves when the receiver is silent
constexpr int kReloadGapMs = 3000;
constexpr int kKeyParamLists = 6;

struct Throttle {
    std::mutex lock;
    QElapsedTimer timer;
};

Throttle& throttle()
{
    static Throttle t;
    return t;
}

bool closing()
{
    return LinkClosing.load();
}

QString driveGroup(int driveIndex)
{
    return QStringLiteral("Drive%1").arg(driveIndex + 1);
}

bool isValidLevelCount(quint8 n)
{
    return n >= 1 && n <= kDpiLevels;
}

} // namespace

ReportHeader readReportHeader(const unsigned char* header, int headerLen)
{
    auto at = [header, headerLen](int i) -> quint8 { return header && i < headerLen ? header[i] : 0; };
    return ReportHeader{at(1), at(3), at(4)};
}

bool isKnownRateCode(quint8 code)
{
    switch (code) {
    case 1: case 2: case 4: case 8: case 16: case 32: case 64: return true;
    default: return false;
    }
}

bool acceptReportedRate(quint8 code, bool restrictedKind)
{
    return isKnownRateCode(code) && (!restrictedKind || code <= 15);
}

void sanitizeDump(FlashDataMap& fresh, const FlashDataMap& previous)
{
    if (!isKnownRateCode(fresh.ReportRate))
        fresh.ReportRate = isKnownRateCode(previous.ReportRate) ? previous.ReportRate : 1;
    if (!isValidLevelCount(fresh.DpiLevelCount))
        fresh.DpiLevelCount = isValidLevelCount(previous.DpiLevelCount) ? previous.DpiLevelCount : 1;
    if (fresh.CurrentDpiLevel >= kDpiLevels)
        fresh.CurrentDpiLevel = previous.CurrentDpiLevel < kDpiLevels ? previous.CurrentDpiLevel : 0;
}

QList<int> keyRecordSlots(const ConfigIni& config, int driveIndex)
{
    QList<int> keySlots;
    for (int n = 1; n <= kKeyParamLists; ++n) {
        const QStringList list = config.GetValueList(driveGroup(driveIndex), QStringLiteral("KeyParam%1").arg(n));
        if (!list.isEmpty() && list.first().trimmed() == QLatin1String("0x05"))
            keySlots.append(n - 1);
    }
    return keySlots;
}

void clearRecordsAfterKeyCheck(FlashDataMap& image, const QList<int>& keySlots)
{
    for (int slot = 0; slot < kButtonSlots && !keySlots.contains(slot); ++slot) {
        std::memset(&image.KeyRecords[slot], 0, sizeof(KeyRecord));
        std::memset(&image.MacroRecords[slot], 0, sizeof(MacroRecord));
    }
}

AdvancedItems readAdvancedItems(const QStringList& list)
{
    auto item = [&list](int i) {
        bool ok = false;
        const int value = i < list.size() ? list.at(i).trimmed().toInt(&ok, 10) : -1;
        return ok ? value : -1;
    };
    return AdvancedItems{item(0), item(1)};
}

QVector<StatusRequest> statusRequests(const quint8 flags[7])
{
    static constexpr struct {
        int flag;
        StatusRequest request;
    } kOrder[] = {{0, StatusRequest::CurrentDpi}, {1, StatusRequest::ReportRate}, {6, StatusRequest::BatteryLevel},
                  {5, StatusRequest::LedBar},     {3, StatusRequest::DpiLed},     {2, StatusRequest::Reload}};
    QVector<StatusRequest> requests;
    for (const auto& row : kOrder) {
        if (flags[row.flag])
            requests.append(row.request);
    }
    return requests;
}

bool reloadThrottleAllows()
{
    std::lock_guard<std::mutex> guard(throttle().lock);
    if (throttle().timer.isValid() && throttle().timer.elapsed() <= kReloadGapMs)
        return false;
    throttle().timer.start();
    return true;
}

void restartReloadThrottle()
{
    std::lock_guard<std::mutex> guard(throttle().lock);
    throttle().timer.start();
}

void expireReloadThrottle()
{
    std::lock_guard<std::mutex> guard(throttle().lock);
    throttle().timer.invalidate();
}

namespace {

// A report belongs to the connection that was current when its handler began;
// once another connection or device has taken over it must change nothing.
bool stale(quint64 generation)
{
    return closing() || generation != linkGeneration();
}

// Emits the image to the pages, one signal at a time, and stops as soon as the
// report has gone stale: each signal waits for the GUI, which may meanwhile
// have chosen another device. False when it stopped.
bool emitImageToPages(const FlashDataMap& image, quint64 generation)
{
    PostMsg* bus = PostMsg::instance();
    const std::function<void()> steps[] = {
        [&] { bus->EmitUpDataLightUIButton(image); },
        [&] { bus->EmitUpDataLightLight(image); },
        [&] { bus->EmitUpDataLightSensor(image); },
        [&] { bus->EmitForm(); },
    };
    for (const auto& step : steps) {
        if (stale(generation))
            return false;
        step();
    }
    return true;
}

// Reads the receiver's own light and its long-range mode once per opened
// connection, unless the receiver settings were just applied.
void probeReceiverState(const DeviceAllInfo& info, quint64 generation)
{
    const QByteArray path = info.DevicePath.toLatin1();
    if (!info.RestrictedKind && info.DeviceKind == 1) {
        UsbFinderC_Get4KDongleRGBValue(path.constData(), DongleRGBBuffer());
        if (DongleRGBBuffer()->Mode != 0 && !stale(generation))
            PostMsg::instance()->EmitRGBValue(DongleRGBBuffer());
    }
    unsigned char probe = kNoAnswer;
    UsbFinderC_GetLongRangeMode(path.constData(), &probe);
    if (probe != kNoAnswer && probe != 0 && !stale(generation))
        PostMsg::instance()->EmitLongRangeMode(true);
}

// Stores a value the mouse reported and returns a copy of the image. Once the
// image is the device's, it is also handed back to the library (which sends
// only what differs): a setter that sent the old value while this report was
// on its way would otherwise leave the mouse and the program disagreeing.
// Before the device's own configuration has arrived nothing is sent, since
// echoing that image would overwrite the mouse's flash. False, nothing stored,
// when the report has gone stale.
bool storeReportedValue(quint64 generation, const std::function<void(FlashDataMap&)>& store,
                        FlashDataMap* copy = nullptr)
{
    QMutexLocker lock(&FlashDataMutex());
    if (stale(generation))
        return false;
    store(CurrentFlashData);
    if (imageFromOpenDevice())
        ProtocolDataUpdate(&CurrentFlashData);
    if (copy)
        *copy = CurrentFlashData;
    return true;
}

void handleFlashDump(const unsigned char* data, quint64 generation)
{
    // The parser fills a private zeroed image; only the finished, checked
    // image replaces the shared one, so no reader ever sees half a dump.
    FlashDataMap fresh = EmptyFlashDataMap();
    if (!ProtocolDataParser(data, &fresh)) {
        qCWarning(lcReport) << "configuration dump failed its check; ignored";
        return;
    }
    if (stale(generation))
        return;
    const DeviceAllInfo info = CurrentDeviceInfoCopy();
    if (KeyCheckPending.exchange(0))
        clearRecordsAfterKeyCheck(fresh, keyRecordSlots(*ConfigIni::GetInstance(), info.DriveIndex));
    {
        QMutexLocker lock(&FlashDataMutex());
        if (stale(generation))
            return;
        sanitizeDump(fresh, CurrentFlashData);
        CurrentFlashData = fresh;
        ProtocolDataUpdate(&CurrentFlashData);
        SetDumpCacheFileName(DeviceCacheFileName(info.Cid, info.Mid));
    }

    UsbServer_ReadDPILed();
    UsbServer_ReadBatteryLevel();
    UsbServer_ReadVersion();
    UsbServer_ReadConfig();
    if (!DongleStateApplied.exchange(0))
        probeReceiverState(info, generation);

    DumpInProgress = 1;
    SensorPageFilled = 0;
    ButtonPageFilled = 0;
    const bool shown = emitImageToPages(fresh, generation);
    DumpInProgress = 0;
    if (!shown)
        return;
    // Last, and only while this is still the open connection: whoever waits
    // for the device's configuration finds the pages filled.
    QMutexLocker lock(&FlashDataMutex());
    if (stale(generation))
        return;
    SessionOnline = 1;
    WorkerBusy = 0;
    setImageFromOpenDevice(true);
}

void handleReportRate(quint8 code, quint64 generation)
{
    if (!acceptReportedRate(code, CurrentDeviceInfoCopy().RestrictedKind))
        return;
    if (storeReportedValue(generation, [code](FlashDataMap& image) { image.ReportRate = code; })
        && !stale(generation))
        PostMsg::instance()->EmitUpDataReportRate(code);
}

void handleDpiStage(quint8 stage, quint64 generation)
{
    if (stage >= kDpiLevels)
        return;
    if (storeReportedValue(generation, [stage](FlashDataMap& image) { image.CurrentDpiLevel = stage; })
        && !stale(generation))
        PostMsg::instance()->EmitUpDataDPI(stage);
}

void handleDpiLed(const unsigned char* data, quint64 generation)
{
    FlashDataMap copy = EmptyFlashDataMap();
    const bool stored = storeReportedValue(
        generation,
        [data](FlashDataMap& image) {
            BufferToDPILed(data, reinterpret_cast<unsigned char*>(&image) + offsetof(FlashDataMap, DpiLedMode));
        },
        &copy);
    if (stored && !stale(generation))
        PostMsg::instance()->EmitUpDataDPILed(copy);
}

void handleLedBar(const unsigned char* data, quint64 generation)
{
    FlashDataMap copy = EmptyFlashDataMap();
    const bool stored = storeReportedValue(
        generation,
        [data](FlashDataMap& image) {
            BufferToLedBar(data, reinterpret_cast<unsigned char*>(&image) + offsetof(FlashDataMap, LightMode));
        },
        &copy);
    if (stored && !stale(generation))
        PostMsg::instance()->EmitUpDataLightLight(copy);
}

void handleDataFrame(const ReportHeader& head, const unsigned char* data, int dataLen, quint64 generation)
{
    if (head.frameGuard != 0 || !data)
        return;
    if (head.command == kFrameConfig && dataLen == kFlashDumpSize)
        handleFlashDump(data, generation);
    else if (head.command == kFrameConfig && dataLen == 1)
        handleReportRate(data[0], generation);
    else if (head.command == kFrameDpiStage && dataLen == 1)
        handleDpiStage(data[0], generation);
    else if (head.command == kFrameDpiLed && dataLen == kDpiLedBytes)
        handleDpiLed(data, generation);
    else if (head.command == kFrameLedBar && dataLen == kLedBarBytes)
        handleLedBar(data, generation);
}

void handleAdvancedSetting(quint64 generation)
{
    const DeviceAllInfo info = CurrentDeviceInfoCopy();
    const QStringList list =
        ConfigIni::GetInstance()->GetValueList(driveGroup(info.DriveIndex), QStringLiteral("Adveanced"));
    const AdvancedItems items = readAdvancedItems(list);
    const QByteArray path = info.DevicePath.toLatin1();
    if (items.dongleLight > 0 && !info.RestrictedKind && info.DeviceKind == 1) {
        DongleRGBBuffer()->Mode = quint8(items.dongleLight);
        UsbFinderC_Set4KDongleRGB(path.constData(), DongleRGBBuffer());
        if (DongleRGBBuffer()->Mode != 0 && !stale(generation))
            PostMsg::instance()->EmitRGBValue(DongleRGBBuffer());
    }
    if (items.longRange == 0 || items.longRange == 1) {
        UsbFinderC_SetLongRangeMode(path.constData(), items.longRange == 1);
        if (!stale(generation))
            PostMsg::instance()->EmitLongRangeMode(items.longRange == 1);
    }
    if (stale(generation))
        return;
    // The dump may come back on the library's thread before the request call
    // returns, so it must find both marks already set.
    KeyCheckPending = 1;
    DongleStateApplied = 1;
    UsbServer_ReadAllFlashData();
}

void handleVersion(quint64 generation)
{
    const DeviceAllInfo info = CurrentDeviceInfoCopy();
    const int version = UsbFinderC_GetVersion(info.DevicePath.toLatin1().constData());
    const QString versionText = DeviceAllInfo::VersionTextOf(quint32(version));
    const int driveIndex = info.DriveIndex;
    {
        QMutexLocker lock(&DeviceInfoMutex());
        if (CurrentDeviceInfo.DevicePath == info.DevicePath)
            CurrentDeviceInfo.VersionText = versionText;
    }
    if (!stale(generation))
        PostMsg::instance()->EmitSetver(0);
    const ConfigIni* config = ConfigIni::GetInstance();
    const QString cid = config->GetValue(QStringLiteral("Option"), QStringLiteral("CID"));
    const QString mid = config->GetValue(driveGroup(driveIndex), QStringLiteral("MID"));
    // An unmatched device has no "Drive" group; a name without its MID would
    // be read as another device's version.
    if (!cid.isEmpty() && !mid.isEmpty())
        Registry::SetValue(Registry::DriveTestKey(), QStringLiteral("MouseVer") + cid + mid, versionText);
}

void handleBattery(const unsigned char* data, quint64 generation)
{
    GetDeviceBatteryStatus(data, BatteryStatus);
    if (!stale(generation))
        PostMsg::instance()->EmitBattery(BatteryStatus[1] > 0, BatteryStatus[0], BatteryAsNumber == 1);
}

void handleConfigUi(const unsigned char* data, int dataLen, quint64 generation)
{
    if (stale(generation))
        return;
    if (dataLen != 1)
        PostMsg::instance()->EmitUpDataConfigUI(0, 0, false);
    else if (data && data[0] < kConfigurations)
        PostMsg::instance()->EmitUpDataConfigUI(kConfigurations, data[0], true);
}

} // namespace

} // namespace core

void ReadChangedStatus()
{
    using core::StatusRequest;
    for (StatusRequest request : core::statusRequests(StatusChangedFlags)) {
        switch (request) {
        case StatusRequest::CurrentDpi: UsbServer_ReadCurrentDPI(); break;
        case StatusRequest::ReportRate: UsbServer_ReadReportRate(); break;
        case StatusRequest::BatteryLevel: UsbServer_ReadBatteryLevel(); break;
        case StatusRequest::LedBar: UsbServer_ReadLedBar(); break;
        case StatusRequest::DpiLed: UsbServer_ReadDPILed(); break;
        case StatusRequest::Reload:
            if (core::reloadThrottleAllows()) {
                RestartRequest = 1;
                ReloadRequested = 1;
            }
            break;
        }
    }
}

void OnDeviceReport(const unsigned char* header, int headerLen, const unsigned char* data, int dataLen)
{
    using core::ReportType;
    if (LinkClosing)
        return;
    const quint64 generation = core::linkGeneration();
    const core::ReportHeader head = core::readReportHeader(header, headerLen);
    if (!data)
        dataLen = 0;
    switch (ReportType(head.type)) {
    case ReportType::Battery:
        if (dataLen >= int(sizeof(BatteryStatus)))
            core::handleBattery(data, generation);
        break;
    case ReportType::DataFrame: core::handleDataFrame(head, data, dataLen, generation); break;
    case ReportType::AdvancedSetting: core::handleAdvancedSetting(generation); break;
    case ReportType::StatusChanged:
        if (dataLen > 0) {
            GetDeviceStatusChanged(data, StatusChangedFlags);
            ReadChangedStatus();
        }
        break;
    case ReportType::ConfigUI: core::handleConfigUi(data, dataLen, generation); break;
    case ReportType::Version: core::handleVersion(generation); break;
    case ReportType::DongleRGBChanged:
        if (!LinkClosing)
            PostMsg::instance()->EmitRGBValue(DongleRGBBuffer());
        break;
    case ReportType::LongRangeOff:
        if (dataLen == core::kLongRangeOffSize && !LinkClosing)
            PostMsg::instance()->EmitLongRangeMode(false);
        break;
    }
}
