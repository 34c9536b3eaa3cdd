#include "HIDUsb.h"

#include "DumpCodec.h"
#include "Simulator.h"

#include <cstring>

using devicelib::Request;
using devicelib::Simulator;

namespace {

Simulator& sim()
{
    return Simulator::instance();
}

} // namespace

extern "C" {

const char** UsbFinderC_FindHidDevicesByDefaultDeviceId(const char* id1, const char* id2, int* count)
{
    return sim().findDevices(id1, id2, count ? *count : 0, count);
}

const char** UsbFinderC_FindHidDevicesByDeviceId(const char* id1, const char* id2, int interfaceNumber, int maxDevices,
                                                 int* count)
{
    (void)interfaceNumber; // every simulated device has the one configuration interface
    const int room = count ? *count : 0;
    return sim().findDevices(id1, id2, maxDevices > 0 && maxDevices < room ? maxDevices : room, count);
}

HidDeviceIdentity UsbFinderC_GetDeviceInfo(const char* path)
{
    return sim().deviceInfo(path);
}
bool UsbFinderC_GetUsbDeviceAttribute(const char* path, unsigned char* buf)
{
    return sim().usbAttribute(path, buf);
}
bool UsbFinderC_GetDeviceOnLine(const char* path)
{
    return sim().online(path);
}
bool UsbFinderC_GetDeviceOnLineWithUsbAddress(const char* path, unsigned char* buf)
{
    return sim().onlineWithAddress(path, buf);
}
int UsbFinderC_GetVersion(const char* path)
{
    return sim().version(path);
}
bool UsbFinderC_GetSlaveVersion(const char* path, int* version)
{
    return sim().slaveVersion(path, version);
}
bool UsbFinderC_Get4KDongleRGBValue(const char* path, void* dongleRgb)
{
    return sim().receiverLight(path, dongleRgb, false);
}
bool UsbFinderC_Set4KDongleRGB(const char* path, const void* dongleRgb)
{
    unsigned char copy[10];
    if (!dongleRgb)
        return false;
    std::memcpy(copy, dongleRgb, sizeof copy);
    return sim().receiverLight(path, copy, true);
}
bool UsbFinderC_GetLongRangeMode(const char* path, unsigned char* mode)
{
    return sim().getLongRange(path, mode);
}
bool UsbFinderC_SetLongRangeMode(const char* path, bool on)
{
    return sim().setLongRange(path, on);
}
bool UsbFinderC_SetDongleIDToMouse(const char* path, const unsigned char* record)
{
    return sim().setDongleIdToMouse(path, record);
}

bool UsbServerC_Start(const char* path, const char* path2, DeviceReportCallback callback)
{
    // Two different devices cannot share one connection: the earlier one still ends.
    if (path && path2 && std::strcmp(path, path2) != 0)
        return sim().start(nullptr, nullptr), false;
    return sim().start(path, callback);
}
void UsbServer_Exit(void)
{
    sim().exit();
}
bool UsbServer_SetPCDriverStatus(unsigned char present)
{
    return sim().request(Request::ToolPresence, present, "UsbServer_SetPCDriverStatus");
}
bool UsbServer_ReadAllFlashData(void)
{
    return sim().request(Request::ReadAll, -1, "UsbServer_ReadAllFlashData");
}
bool UsbServer_ReadCurrentDPI(void)
{
    return sim().request(Request::ReadDpi, -1, "UsbServer_ReadCurrentDPI");
}
bool UsbServer_ReadReportRate(void)
{
    return sim().request(Request::ReadRate, -1, "UsbServer_ReadReportRate");
}
bool UsbServer_ReadLedBar(void)
{
    return sim().request(Request::ReadLedBar, -1, "UsbServer_ReadLedBar");
}
bool UsbServer_ReadBatteryLevel(void)
{
    return sim().request(Request::ReadBattery, -1, "UsbServer_ReadBatteryLevel");
}
bool UsbServer_ReadDPILed(void)
{
    return sim().request(Request::ReadDpiLed, -1, "UsbServer_ReadDPILed");
}
bool UsbServer_ReadVersion(void)
{
    return sim().request(Request::ReadVersion, -1, "UsbServer_ReadVersion");
}
bool UsbServer_ReadConfig(void)
{
    return sim().request(Request::ReadConfig, -1, "UsbServer_ReadConfig");
}
bool UsbServer_ReadDonglePairStatus(void)
{
    return sim().request(Request::ReadPairStatus, -1, "UsbServer_ReadDonglePairStatus");
}
bool UsbServer_EnterDonglePairOnlyCid(unsigned char cid)
{
    return sim().request(Request::EnterPair, cid, "UsbServer_EnterDonglePairOnlyCid");
}
bool UsbServer_SetCurrentConfig(unsigned char index)
{
    return sim().request(Request::SetConfig, index, "UsbServer_SetCurrentConfig");
}
bool UsbServer_SetClearSetting(void)
{
    return sim().request(Request::ClearSetting, -1, "UsbServer_SetClearSetting");
}

bool ProtocolDataParser(const unsigned char* data, void* image)
{
    sim().record("ProtocolDataParser()");
    return devicelib::decodeDump(data, static_cast<std::uint8_t*>(image));
}
bool ProtocolDataUpdate(const void* image)
{
    return sim().update(image);
}
bool BufferToDPILed(const unsigned char* data, unsigned char* out)
{
    return devicelib::decodeDpiLed(data, out);
}
bool BufferToLedBar(const unsigned char* data, unsigned char* out)
{
    return devicelib::decodeLedBar(data, out);
}

bool GetDeviceBatteryStatus(const unsigned char* data, unsigned char* out)
{
    if (!data || !out)
        return false;
    out[0] = data[0] > 100 ? 100 : data[0];
    out[1] = data[1] ? 1 : 0;
    out[2] = 0;
    out[3] = 0;
    return true;
}

bool GetDeviceStatusChanged(const unsigned char* data, unsigned char* out)
{
    if (!out)
        return false;
    if (!data) {
        // A status report without data changed nothing; stale flags would make
        // the caller ask again for values that did not change.
        std::memset(out, 0, 7);
        return false;
    }
    for (int i = 0; i < 7; ++i)
        out[i] = (data[0] >> i) & 1;
    return true;
}

bool StartUsbChanged(UsbChangedCallback callback, int settleMs)
{
    return sim().startUsbChanged(callback, settleMs);
}
void StopUsbChanged(void)
{
    sim().stopUsbChanged();
}

bool UsbUpgradeC_FindBootDevices(const unsigned char* image, int imageSize, int* count)
{
    return sim().findBootDevices(image, imageSize, count);
}
bool UsbUpgrade_Start(const unsigned char* image, int imageSize, UpgradeEventCallback callback, int timeoutMs)
{
    return sim().upgradeStart(image, imageSize, callback, timeoutMs);
}
const char* const* UsbUpgradeC_GetLogs(void)
{
    return sim().upgradeLogs();
}

} // extern "C"
