#pragma once

#include <QString>
#include <QtGlobal>

// How the sensor page turns the mouse's bytes into what its widgets show, and
// the page's own codes. No widget code: the page and its tests read the same
// tables.
namespace sensor {

// PerformanceTime (units of 10 s) of the PerformanceOpen entries 0..5.
inline constexpr quint8 kPerformanceCodes[] = {3, 6, 12, 30, 60, 90};

// The stage count the DPI level file at path gives: its first line as a
// decimal number (0 when it is none), 1 for an empty line or a missing file.
// A file that is no regular file or far larger than one number reads as
// missing, with one warning.
int stageCountFromLevelFile(const QString& path);

// Rate row (0..6) of a ReportRate code; -1 for a code the strip has no row for.
int rateIndexForCode(int code);
// 2000 Hz and up: the rates that lock the sensor mode.
bool isHighRateCode(int code);
// Rate class (SensorRate::SetButtonsShown) of a DeviceKind; -1 leaves it.
int rateClassForKind(int kind);
// Brightness level 1..10 of a DpiLedBrightness byte. A byte between the
// table's values shows the nearest level (the lower one on a tie), so a
// value the slider cannot hold is never taken for its end.
int brightnessLevelFor(int byte);
// PerformanceOpen entry of a PerformanceTime byte; -1 keeps the entry.
int performanceIndexForCode(int code);
// PerformanceTime of entry 0..5; -1 otherwise.
int performanceCodeAt(int index);
// Light-effect mode the page shows for DpiLedOn and DpiLedMode; -1 keeps it.
int dpiLightModeFor(int on, int mode);

// How ModelChoose shows: Free (enabled, the stored SensorMode), Locked
// (index 2 "Corded", disabled), Off (disabled, index kept), Keep (as it is).
enum class ModeChoice { Keep, Free, Locked, Off };

struct ModeState
{
    ModeChoice choice = ModeChoice::Keep;
    bool showCorded = false;  // Locked only: row "Corded" made visible first
};

// For a whole-image fill.
ModeState fillModeChoice(bool modelListed, int deviceKind, int restrictedKind, int rateCode);
// After the mouse reported a new rate.
ModeState reportedRateModeChoice(bool modelListed, int restrictedKind, int rateCode);
// After the user's rate click (0: a low rate, 1: a high one).
ModeState hideModelChoice(bool modelListed, int deviceKind, int restrictedKind, int n);
// Only 0 ("LP") and 1 ("HP") are modes a free choice can show or send.
bool isSendableSensorMode(int index);

// The stage layout a fill shows. Images from a cache or a file are not
// range-checked like a dump, so the page clamps for display and never sends
// the clamped values back.
struct StageView
{
    int grades = 0;   // stage colours, count items and texts to set (0..8)
    int count = 1;    // stages shown, 1..max(1, grades), up to 8
    int current = 0;  // 0..count - 1
};
StageView stageViewFor(int countByte, int levelByte, int maxGrade);

// What a reset does by DeviceKind; apply false for kinds it leaves alone.
struct ResetRate
{
    bool apply = false;
    int rateClass = 0;
    int rateIndex = 0;
    int modeIndex = 0;
};
ResetRate resetRateFor(int deviceKind);

} // namespace sensor
