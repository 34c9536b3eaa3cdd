#pragma once

#include "core/DongleRGB.h"
#include "core/FlashDataMap.h"

#include <QList>
#include <QStringList>
#include <QVector>

class ConfigIni;

// The device-report dispatcher: the callback the device library calls with
// every report of the open device. It keeps CurrentFlashData in step with the
// mouse, answers status changes by asking for exactly what changed, and hands
// every device value to the pages over the bus. Runs on the library's report
// thread; never call it on the GUI thread (its bus signals block until the
// GUI has handled them).
void OnDeviceReport(const unsigned char* header, int headerLen, const unsigned char* data, int dataLen);

// Requests the values that the last status-change report marked as changed.
// Report thread.
void ReadChangedStatus();

// Buffers shared with the device library and the pages, allocated once,
// zero-filled and never freed. Written on the report thread only.
DongleRGB* DongleRGBBuffer();

namespace core {

enum class ReportType : quint8 {
    Battery = 4,
    DataFrame = 8,
    AdvancedSetting = 9,
    StatusChanged = 10,
    ConfigUI = 14,
    Version = 18,
    DongleRGBChanged = 21,
    LongRangeOff = 23,
};

struct ReportHeader {
    quint8 type = 0;        // header byte 1
    quint8 frameGuard = 0;  // header byte 3: a data frame counts only when 0
    quint8 command = 0;     // header byte 4
};

// Bytes at or beyond headerLen read as 0.
ReportHeader readReportHeader(const unsigned char* header, int headerLen);

inline constexpr int kFlashDumpSize = 6912;
inline constexpr quint8 kFrameConfig = 0;
inline constexpr quint8 kFrameDpiStage = 4;
inline constexpr quint8 kFrameDpiLed = 0x4C;
inline constexpr quint8 kFrameLedBar = 0xA0;
inline constexpr int kConfigurations = 4;
inline constexpr int kLongRangeOffSize = 10;

// Report-rate codes the device may use: 125 Hz to 8000 Hz.
bool isKnownRateCode(quint8 code);
// A restricted device (a mouse on its cable of an unusual kind) takes no rate
// above 1000 Hz from a report.
bool acceptReportedRate(quint8 code, bool restrictedKind);

// Values of a freshly parsed dump that the program cannot use (unknown rate
// code, DPI stage 8 or more, level count outside 1..8) are replaced by the
// previous image's value when that one is valid, else by a safe default.
void sanitizeDump(FlashDataMap& fresh, const FlashDataMap& previous);

// 0-based slots whose "KeyParam" + n (n = 1..6) list of the device's "Drive"
// group starts with "0x05".
QList<int> keyRecordSlots(const ConfigIni& config, int driveIndex);

// After the receiver settings were applied the device's key and macro records
// are not trusted: with no key slots all of them are zeroed; otherwise the
// records of the slots before the first key slot are zeroed.
void clearRecordsAfterKeyCheck(FlashDataMap& image, const QList<int>& keySlots);

// The two numbers the receiver settings use from the "Adveanced" list;
// -1 where the list has no such item or it is not a number.
struct AdvancedItems {
    int longRange = -1;    // item 0
    int dongleLight = -1;  // item 1
};
AdvancedItems readAdvancedItems(const QStringList& list);

// Library requests a status-change report asks for, in the order they are made.
enum class StatusRequest { CurrentDpi, ReportRate, BatteryLevel, LedBar, DpiLed, Reload };
QVector<StatusRequest> statusRequests(const quint8 flags[7]);

// The throttle of whole-configuration reloads: true (and restarted) when the
// last accepted reload is more than 3000 ms ago. Started with the worker.
bool reloadThrottleAllows();
void restartReloadThrottle();
// Lets the next reload through at once; for tests, which cannot wait 3 s.
void expireReloadThrottle();

} // namespace core
