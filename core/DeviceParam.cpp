#include "core/DeviceParam.h"

#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "devicelib/HIDUsb.h"

#include <QLoggingCategory>
#include <QMutexLocker>

#include <cstring>

Q_LOGGING_CATEGORY(lcSetters, "app.core.setters")

namespace core {

namespace {

bool validSlot(int slot)
{
    return slot >= 0 && slot < kButtonSlots;
}

bool validLevel(int level)
{
    return level >= 0 && level < kDpiLevels;
}

// Caller holds FlashDataMutex().
void sendLocked()
{
    ProtocolDataUpdate(&CurrentFlashData);
}

bool deviceAnswers()
{
    return UsbFinderC_GetDeviceOnLine(CurrentDevicePath().c_str());
}

// The common path of every writing setter: out-of-range arguments are refused
// silently by the change itself; a device that is absent, or whose
// configuration has not arrived yet, gets the offline notice.
bool setAndSend(const std::function<bool(FlashDataMap&)>& change)
{
    FlashDataMap probe = EmptyFlashDataMap();
    if (!change(probe))
        return false;
    if (!imageFromOpenDevice() || !deviceAnswers()) {
        raiseOfflineNotice();
        return false;
    }
    return changeAndSendImage(change);
}

bool setByte(quint8 FlashDataMap::*field, quint8 value)
{
    return setAndSend([field, value](FlashDataMap& image) { return applyByteField(image, field, value); });
}

} // namespace

bool applyByteField(FlashDataMap& image, quint8 FlashDataMap::*field, quint8 value)
{
    image.*field = value;
    return true;
}

bool applyDpiLevelCount(FlashDataMap& image, quint8 n)
{
    if (n < 1 || n > kDpiLevels)
        return false;
    image.DpiLevelCount = n;
    return true;
}

bool applyCurrentDpiLevel(FlashDataMap& image, quint8 level)
{
    if (!validLevel(level))
        return false;
    image.CurrentDpiLevel = level;
    return true;
}

bool applyDpiLevelValue(FlashDataMap& image, int level, quint8 b0, quint8 b1, quint8 b2)
{
    if (!validLevel(level))
        return false;
    quint8* value = image.DpiLevel[level].DpiValue;
    value[0] = b0;
    value[1] = b1;
    value[2] = b2;
    return true;
}

bool applyDpiLevelColor(FlashDataMap& image, int level, quint8 r, quint8 g, quint8 b)
{
    if (!validLevel(level))
        return false;
    quint8* color = image.DpiLevel[level].DpiColor;
    color[0] = r;
    color[1] = g;
    color[2] = b;
    return true;
}

bool applyDpiLevels(FlashDataMap& image, const DpiLevelEntry& a, const DpiLevelEntry& b, int indexB, int indexA,
                    quint8 n)
{
    if (!validLevel(indexA) || !validLevel(indexB) || !validLevel(n))
        return false;
    image.DpiLevel[indexA] = a;
    image.DpiLevel[indexB] = b;
    image.CurrentDpiLevel = n;
    image.DpiLevelCount = quint8(n + 1);
    return true;
}

void applyDpiLightMode(FlashDataMap& image, int mode)
{
    image.DpiLedOn = mode != 0 ? 1 : 0;
    if (mode != 0)
        image.DpiLedMode = quint8(mode);
}

void applyLightMode(FlashDataMap& image, int mode)
{
    image.LightOn = mode != 0 ? 1 : 0;
    if (mode != 0)
        image.LightMode = quint8(mode);
}

void applyLightColor(FlashDataMap& image, quint8 r, quint8 g, quint8 b)
{
    image.LightColor[0] = r;
    image.LightColor[1] = g;
    image.LightColor[2] = b;
}

bool applyButtonFunction(FlashDataMap& image, int slot, const ButtonFunctionCode& code)
{
    if (!validSlot(slot))
        return false;
    image.ButtonFunction[slot] = code;
    return true;
}

bool applyButtonKeys(FlashDataMap& image, int slot, const ButtonFunctionCode& code, const KeyRecord& record)
{
    if (!applyButtonFunction(image, slot, code))
        return false;
    std::memcpy(&image.KeyRecords[slot], &record, sizeof(KeyRecord));
    return true;
}

bool applyButtonMacro(FlashDataMap& image, int slot, const ButtonFunctionCode& code, const MacroRecord& record)
{
    if (slot >= kDeviceMacroSlots || !applyButtonFunction(image, slot, code))
        return false;
    std::memcpy(&image.MacroRecords[slot], &record, sizeof(MacroRecord));
    return true;
}

bool changeAndSendImage(const std::function<bool(FlashDataMap&)>& change)
{
    QMutexLocker lock(&FlashDataMutex());
    FlashDataMap changed = CurrentFlashData;
    if (!change(changed))
        return false;
    CurrentFlashData = changed;
    sendLocked();
    return true;
}

void sendCurrentImage()
{
    QMutexLocker lock(&FlashDataMutex());
    sendLocked();
}

void raiseOfflineNotice()
{
    if (ButtonPageUpdating == 0 && SensorPageUpdating == 0 && !LinkClosing)
        PostMsg::instance()->EmitMouseOffLineo(0);
}

} // namespace core

using core::setAndSend;
using core::setByte;

bool SetReportRate(quint8 code) { return setByte(&FlashDataMap::ReportRate, code); }
bool SetConfigByte3(quint8 v) { return setByte(&FlashDataMap::ConfigByte3, v); }
bool SetConfigByte4(quint8 v) { return setByte(&FlashDataMap::ConfigByte4, v); }
bool SetLiftOffDistance(quint8 code) { return setByte(&FlashDataMap::LiftOffDistance, code); }
bool SetDebounceTime(quint8 v) { return setByte(&FlashDataMap::DebounceTime, v); }
bool SetMotionSync(quint8 on) { return setByte(&FlashDataMap::MotionSync, on); }
bool SetSleepTime(quint8 code) { return setByte(&FlashDataMap::SleepTime, code); }
bool SetStraightLine(quint8 on) { return setByte(&FlashDataMap::StraightLine, on); }
bool SetRippleControl(quint8 on) { return setByte(&FlashDataMap::RippleControl, on); }
bool SetLightRippleControl(quint8 on) { return setByte(&FlashDataMap::LightRippleControl, on); }
bool SetPerformance(quint8 on) { return setByte(&FlashDataMap::Performance, on); }
bool SetPerformanceLevel(quint8 code) { return setByte(&FlashDataMap::PerformanceTime, code); }
bool SetSensorMode(quint8 index) { return setByte(&FlashDataMap::SensorMode, index); }
bool SetDPILightBrightness(quint8 v) { return setByte(&FlashDataMap::DpiLedBrightness, v); }
bool SetDPILightSpeed(quint8 v) { return setByte(&FlashDataMap::DpiLedSpeed, v); }
bool SetLightSpeed(quint8 v) { return setByte(&FlashDataMap::LightSpeed, v); }
bool SetLightBrightness(quint8 v) { return setByte(&FlashDataMap::LightBrightness, v); }

bool SetDPILevelCount(quint8 n)
{
    return setAndSend([n](FlashDataMap& image) { return core::applyDpiLevelCount(image, n); });
}

bool SetCurrentDPILevel(quint8 i)
{
    return setAndSend([i](FlashDataMap& image) { return core::applyCurrentDpiLevel(image, i); });
}

bool SetDPILevelValue(int level, quint8 b0, quint8 b1, quint8 b2)
{
    return setAndSend([=](FlashDataMap& image) { return core::applyDpiLevelValue(image, level, b0, b1, b2); });
}

bool SetDPILevelColor(int level, quint8 r, quint8 g, quint8 b)
{
    return setAndSend([=](FlashDataMap& image) { return core::applyDpiLevelColor(image, level, r, g, b); });
}

bool SetDPILevels(const DpiLevelEntry& a, const DpiLevelEntry& b, int indexB, int indexA, quint8 n)
{
    return setAndSend([&](FlashDataMap& image) { return core::applyDpiLevels(image, a, b, indexB, indexA, n); });
}

bool SetDPILightMode(int mode)
{
    return setAndSend([mode](FlashDataMap& image) {
        core::applyDpiLightMode(image, mode);
        return true;
    });
}

bool SetLightMode(int mode)
{
    return setAndSend([mode](FlashDataMap& image) {
        core::applyLightMode(image, mode);
        return true;
    });
}

bool SetLightColor(quint8 r, quint8 g, quint8 b)
{
    return setAndSend([=](FlashDataMap& image) {
        core::applyLightColor(image, r, g, b);
        return true;
    });
}

bool SetButtonFunction(int slot, quint8 type, quint8 p1, quint8 p2)
{
    const ButtonFunctionCode code{type, p1, p2};
    return setAndSend([slot, code](FlashDataMap& image) { return core::applyButtonFunction(image, slot, code); });
}

bool SetButtonKeys(int slot, const ButtonFunctionCode& code, const KeyRecord& record)
{
    return setAndSend([&](FlashDataMap& image) { return core::applyButtonKeys(image, slot, code, record); });
}

bool SetButtonMacro(int slot, const ButtonFunctionCode& code, const MacroRecord& record)
{
    if (slot >= core::kDeviceMacroSlots && slot < kButtonSlots)
        qCWarning(lcSetters) << "macro for button slot" << slot << "refused: the mouse keeps macros for slots 0 to"
                           << core::kDeviceMacroSlots - 1 << "only";
    return setAndSend([&](FlashDataMap& image) { return core::applyButtonMacro(image, slot, code, record); });
}

bool CheckDeviceOnLine()
{
    if (core::deviceAnswers())
        return true;
    core::raiseOfflineNotice();
    return false;
}
