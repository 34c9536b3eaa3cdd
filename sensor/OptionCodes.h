#pragma once

#include <QtGlobal>

#include <iterator>

// The value tables of the sensor option widgets and the lookups from a
// control's position to the byte the mouse stores. No widget code here: pages
// and tests read the same tables the widgets send from.
//
// Every lookup answers -1 for a position outside its table. A control with no
// entry selected reports index -1; that must never reach a setter, which
// would store it as 0xFF.
namespace sensor {

// Report rates in button order, slowest first.
struct RateRow
{
    const char* button;  // object name of the rate button
    const char* text;    // its text in the button strip
    const char* textB;   // its text in the check-box strip
    quint8 code;         // ReportRate byte
    int hideModel;       // 1 for the rates that lock the sensor mode
};

inline constexpr RateRow kReportRates[] = {
    {"Button125HZ", "125Hz", "125HZ", 8, 0},     {"Button250HZ", "250Hz", "250HZ", 4, 0},
    {"Button500HZ", "500Hz", "500HZ", 2, 0},     {"Button1000HZ", "1000Hz", "1000HZ", 1, 0},
    {"Button2000HZ", "2000Hz", "2000HZ", 16, 1}, {"Button4000HZ", "4000Hz", "4000HZ", 32, 1},
    {"Button8000HZ", "8000Hz", "8000HZ", 64, 1},
};
inline constexpr int kReportRateCount = int(std::size(kReportRates));
// Rows 0..3 are always offered; the rate class decides about the upper three.
inline constexpr int kFirstUpperRate = 4;

// Which of the 2000, 4000 and 8000 Hz buttons a rate class shows.
inline constexpr bool kRateClassShows[][3] = {
    {false, false, false},  // 0: up to 1000 Hz
    {true, true, false},    // 1: up to 4000 Hz
    {true, false, false},   // 2: up to 2000 Hz
    {true, true, true},     // 3: up to 8000 Hz
};
inline constexpr int kRateClassCount = int(std::size(kRateClassShows));

// DpiLedBrightness for the brightness levels 1..10 the user sees.
inline constexpr quint8 BrightnessLevelTable[] = {16, 30, 60, 90, 128, 150, 180, 210, 230, 255};
inline constexpr int kBrightnessLevels = int(std::size(BrightnessLevelTable));
inline constexpr int kDpiLightSpeeds = 5;
inline constexpr int kDpiLightModes = 3;  // off, steady, breathing

// SleepTime (units of 10 s) for the sleep-time entries 0..10.
inline constexpr quint8 SleepTimeTable[] = {1, 3, 6, 30, 60, 90, 120, 150, 180, 210, 240};
inline constexpr int kSleepTimes = int(std::size(SleepTimeTable));

// LiftOffDistance codes. The 0.7 mm entry exists only for some sensors and
// then comes first in the list.
inline constexpr quint8 kLiftOff1mm = 1;
inline constexpr quint8 kLiftOff2mm = 2;
inline constexpr quint8 kLiftOff07mm = 3;

inline constexpr int kDebounceMax = 20;

// ReportRate code of rate row `index`.
int reportRateCode(int index);
// Whether rate class `rateClass` shows upper rate row `index`; false for an
// unknown class or a row that is not an upper one.
bool rateClassShows(int rateClass, int index);
// DpiLedBrightness for level 1..10.
int brightnessForLevel(int level);
// SleepTime value of entry 0..10.
int sleepTimeValue(int index);
// LiftOffDistance code of entry `index` in a list of `entries` (2 or 3).
int liftOffCode(int entries, int index);

// The entry SensorLOD selects for v = device code - 1. kKeepSelection when
// the selection stays as it is; -1 selects no entry.
inline constexpr int kKeepSelection = -2;
int liftOffEntryFor(int entries, int v);

// Debounce value of entry `index` (0..20).
int debounceValue(int index);

// What the sleep-time slider shows at position 1..11: 10 and 30 seconds,
// then whole minutes. Positions outside the table show position 1.
struct SleepShown
{
    int number;
    bool minutes;
};
SleepShown sleepShownAt(int position);

} // namespace sensor
