#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QtEndian>

#include <cstddef>
#include <type_traits>

class QMutex;

// The mouse's configuration flash as the device library reads and writes it.
// The layout is fixed to the byte: every struct here is packed, and every
// offset the device library relies on is checked at compile time below.

inline constexpr int kButtonSlots = 16;
inline constexpr int kDpiLevels = 8;
inline constexpr int kKeyRecordEvents = 6;
inline constexpr int kMacroRecordEvents = 70;
inline constexpr int kMacroNameBytes = 30;

#pragma pack(push, 1)

struct ButtonFunctionCode {
    quint8 Type;
    quint8 Param1;
    quint8 Param2;
};

// One key or mouse event of a key record or macro record.
struct KeyEvent {
    quint8 Release;      // 0 press, 1 release
    quint8 EventType;    // 0 modifier bits, 1 keyboard usage, 2 consumer usage, 4 mouse-button bits
    quint16_le Code;
    quint32_le DelayMs;  // wait after this event
};

struct KeyRecord {
    quint8 EventCount;   // valid events; never trust it beyond kKeyRecordEvents
    quint8 Reserved[3];
    KeyEvent Events[kKeyRecordEvents];
};

struct MacroRecord {
    quint8 NameLength;   // never trust it beyond kMacroNameBytes
    char Name[kMacroNameBytes];
    quint8 EventCount;   // never trust it beyond kMacroRecordEvents
    KeyEvent Events[kMacroRecordEvents];
};

struct DpiLevelEntry {
    quint8 DpiValue[3];  // X code, Y code, flags
    quint8 DpiColor[3];  // red, green, blue
};

struct FlashDataMap {
    quint8 ReportRate;
    quint8 DpiLevelCount;
    quint8 CurrentDpiLevel;
    quint8 ConfigByte3;
    quint8 ConfigByte4;
    quint8 LiftOffDistance;
    quint8 DebounceTime;
    quint8 MotionSync;
    quint8 SleepTime;
    quint8 StraightLine;
    quint8 RippleControl;
    quint8 LightRippleControl;
    quint8 Performance;
    quint8 PerformanceTime;
    quint8 SensorMode;
    DpiLevelEntry DpiLevel[kDpiLevels];
    quint8 DpiLedMode;
    quint8 DpiLedBrightness;
    quint8 DpiLedSpeed;
    quint8 DpiLedOn;
    quint8 LightMode;
    quint8 LightColor[3];
    quint8 LightSpeed;
    quint8 LightBrightness;
    quint8 LightOn;
    ButtonFunctionCode ButtonFunction[kButtonSlots];
    quint8 Reserved[2];
    KeyRecord KeyRecords[kButtonSlots];
    MacroRecord MacroRecords[kButtonSlots];
};

#pragma pack(pop)

static_assert(sizeof(ButtonFunctionCode) == 3);
static_assert(sizeof(KeyEvent) == 8);
static_assert(offsetof(KeyEvent, Code) == 2 && offsetof(KeyEvent, DelayMs) == 4);
static_assert(sizeof(KeyRecord) == 52);
static_assert(offsetof(KeyRecord, Events) == 4);
static_assert(sizeof(MacroRecord) == 592);
static_assert(offsetof(MacroRecord, Name) == 1 && offsetof(MacroRecord, EventCount) == 31);
static_assert(offsetof(MacroRecord, Events) == 32);
static_assert(sizeof(DpiLevelEntry) == 6);
static_assert(sizeof(FlashDataMap) == 10428);
static_assert(offsetof(FlashDataMap, ReportRate) == 0);
static_assert(offsetof(FlashDataMap, DpiLevelCount) == 1);
static_assert(offsetof(FlashDataMap, CurrentDpiLevel) == 2);
static_assert(offsetof(FlashDataMap, ConfigByte3) == 3);
static_assert(offsetof(FlashDataMap, ConfigByte4) == 4);
static_assert(offsetof(FlashDataMap, LiftOffDistance) == 5);
static_assert(offsetof(FlashDataMap, DebounceTime) == 6);
static_assert(offsetof(FlashDataMap, MotionSync) == 7);
static_assert(offsetof(FlashDataMap, SleepTime) == 8);
static_assert(offsetof(FlashDataMap, StraightLine) == 9);
static_assert(offsetof(FlashDataMap, RippleControl) == 10);
static_assert(offsetof(FlashDataMap, LightRippleControl) == 11);
static_assert(offsetof(FlashDataMap, Performance) == 12);
static_assert(offsetof(FlashDataMap, PerformanceTime) == 13);
static_assert(offsetof(FlashDataMap, SensorMode) == 14);
static_assert(offsetof(FlashDataMap, DpiLevel) == 15);
static_assert(offsetof(FlashDataMap, DpiLedMode) == 63 && offsetof(FlashDataMap, DpiLedMode) == 0x3F);
static_assert(offsetof(FlashDataMap, DpiLedBrightness) == 64);
static_assert(offsetof(FlashDataMap, DpiLedSpeed) == 65);
static_assert(offsetof(FlashDataMap, DpiLedOn) == 66);
static_assert(offsetof(FlashDataMap, LightMode) == 67 && offsetof(FlashDataMap, LightMode) == 0x43);
static_assert(offsetof(FlashDataMap, LightColor) == 68);
static_assert(offsetof(FlashDataMap, LightSpeed) == 71);
static_assert(offsetof(FlashDataMap, LightBrightness) == 72);
static_assert(offsetof(FlashDataMap, LightOn) == 73);
static_assert(offsetof(FlashDataMap, ButtonFunction) == 0x4A);
static_assert(offsetof(FlashDataMap, Reserved) == 122);
static_assert(offsetof(FlashDataMap, KeyRecords) == 0x7C);
static_assert(offsetof(FlashDataMap, MacroRecords) == 0x3BC);
static_assert(std::is_trivially_copyable_v<FlashDataMap>);
static_assert(std::is_trivially_copyable_v<KeyEvent>);
static_assert(std::is_trivially_copyable_v<KeyRecord>);
static_assert(std::is_trivially_copyable_v<MacroRecord>);

// A zero-filled image (value-initialised; every field 0).
FlashDataMap EmptyFlashDataMap();

// Byte view of an image and back. FlashDataFromBytes accepts exactly
// sizeof(FlashDataMap) bytes and leaves *image untouched otherwise.
QByteArray FlashDataToBytes(const FlashDataMap& image);
bool FlashDataFromBytes(const QByteArray& bytes, FlashDataMap* image);

// Readers that never look past a record, whatever its count bytes say.
int KeyRecordEventCount(const KeyRecord& record);
int MacroRecordEventCount(const MacroRecord& record);
int MacroRecordNameLength(const MacroRecord& record);
QByteArray MacroRecordName(const MacroRecord& record);

// Writers that keep a record within its room. The name is cut to
// kMacroNameBytes bytes; AppendMacroEvent/AppendKeyEvent return false (and
// change nothing) when the record is full.
void SetMacroRecordName(MacroRecord& record, const QByteArray& name);
bool AppendMacroEvent(MacroRecord& record, const KeyEvent& event);
bool AppendKeyEvent(KeyRecord& record, const KeyEvent& event);
KeyEvent MakeKeyEvent(quint8 release, quint8 eventType, quint16 code, quint32 delayMs);

// Physical button (0-based, as the button page counts) to image slot:
// the fourth and fifth buttons are stored swapped. -1 for an unknown button.
int SlotOfPhysicalButton(int button);

// The process-wide image of the open device, CurrentFlashData
// (core/ProcessState.h). The GUI thread's setters and the device library's
// report thread both write it, so every access holds FlashDataMutex(); the
// copy-in/copy-out helpers take the lock themselves.
QMutex& FlashDataMutex();
FlashDataMap CurrentFlashDataCopy();
// One DPI stage of it (0 .. kDpiLevels - 1), without copying the whole image: a DPI edit reads
// its stage's flags on every slider step.
DpiLevelEntry CurrentDpiLevelEntry(int stage);
void StoreCurrentFlashData(const FlashDataMap& image);

Q_DECLARE_METATYPE(FlashDataMap)
