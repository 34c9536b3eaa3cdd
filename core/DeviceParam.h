#pragma once

#include "core/FlashDataMap.h"

#include <functional>

// The device-parameter setters. Each writes one field (or a small group) of
// CurrentFlashData and hands the whole image to the device library at once.
// GUI thread only. A setter returns true when the change was stored and sent;
// false when nothing was stored or sent, because
//  - an argument is out of range (slot 0..15, level 0..7, count 1..8): silent;
//  - no full configuration of the open device has arrived yet, or the device
//    does not answer: the offline notice is raised, unless a page is being
//    filled from an image (ButtonPageUpdating / SensorPageUpdating).

bool SetReportRate(quint8 code);
bool SetDPILevelCount(quint8 n);
bool SetCurrentDPILevel(quint8 i);
bool SetConfigByte3(quint8 v);
bool SetConfigByte4(quint8 v);
bool SetLiftOffDistance(quint8 code);
bool SetDebounceTime(quint8 v);
bool SetMotionSync(quint8 on);
bool SetSleepTime(quint8 code);
bool SetStraightLine(quint8 on);
bool SetRippleControl(quint8 on);
bool SetLightRippleControl(quint8 on);
bool SetPerformance(quint8 on);
bool SetPerformanceLevel(quint8 code);
bool SetSensorMode(quint8 index);
bool SetDPILevelValue(int level, quint8 b0, quint8 b1, quint8 b2);
bool SetDPILevelColor(int level, quint8 r, quint8 g, quint8 b);
// Level a goes to indexA, level b to indexB; n becomes the current level and
// n + 1 the number of levels.
bool SetDPILevels(const DpiLevelEntry& a, const DpiLevelEntry& b, int indexB, int indexA, quint8 n);
bool SetDPILightMode(int mode);
bool SetDPILightBrightness(quint8 v);
bool SetDPILightSpeed(quint8 v);
bool SetLightMode(int mode);
bool SetLightColor(quint8 r, quint8 g, quint8 b);
bool SetLightSpeed(quint8 v);
bool SetLightBrightness(quint8 v);
bool SetButtonFunction(int slot, quint8 type, quint8 p1, quint8 p2);
bool SetButtonKeys(int slot, const ButtonFunctionCode& code, const KeyRecord& record);
bool SetButtonMacro(int slot, const ButtonFunctionCode& code, const MacroRecord& record);

// The online check of the setters without a change: true when the open
// device answers; otherwise the offline notice under the same rule.
bool CheckDeviceOnLine();

namespace core {

// The mouse keeps macro records for the first ten button slots only (its
// configuration dump holds no more). A macro given to a later slot would be
// dropped by the device while the setter reported it stored, so the macro
// setter refuses those slots like any other out-of-range slot.
inline constexpr int kDeviceMacroSlots = 10;

// The pure halves of the setters: they change only the named fields and
// return false (leaving the image as it was) for an out-of-range argument.
bool applyByteField(FlashDataMap& image, quint8 FlashDataMap::*field, quint8 value);
bool applyDpiLevelCount(FlashDataMap& image, quint8 n);
bool applyCurrentDpiLevel(FlashDataMap& image, quint8 level);
bool applyDpiLevelValue(FlashDataMap& image, int level, quint8 b0, quint8 b1, quint8 b2);
bool applyDpiLevelColor(FlashDataMap& image, int level, quint8 r, quint8 g, quint8 b);
bool applyDpiLevels(FlashDataMap& image, const DpiLevelEntry& a, const DpiLevelEntry& b, int indexB, int indexA,
                    quint8 n);
// Mode 0 switches the light off but keeps the last effect for the next switch-on.
void applyDpiLightMode(FlashDataMap& image, int mode);
void applyLightMode(FlashDataMap& image, int mode);
void applyLightColor(FlashDataMap& image, quint8 r, quint8 g, quint8 b);
bool applyButtonFunction(FlashDataMap& image, int slot, const ButtonFunctionCode& code);
bool applyButtonKeys(FlashDataMap& image, int slot, const ButtonFunctionCode& code, const KeyRecord& record);
bool applyButtonMacro(FlashDataMap& image, int slot, const ButtonFunctionCode& code, const MacroRecord& record);

// Applies a change to CurrentFlashData and sends the resulting image, both
// under the image lock, so the device always receives a whole, consistent
// image and sends from different threads cannot overtake each other. The
// change returns false to abandon (nothing stored, nothing sent). Any thread.
bool changeAndSendImage(const std::function<bool(FlashDataMap&)>& change);

// Sends the current image as it is (under the image lock). Any thread.
void sendCurrentImage();

// Raises the offline notice unless a page is being filled. Any thread.
void raiseOfflineNotice();

} // namespace core
