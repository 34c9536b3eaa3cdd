#pragma once

#include "core/SensorDefines.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

// DPI values of the stages and what the mouse stores for them. A stage keeps
// three value bytes: the sensor's code in bytes 0 and 1, flag bits in byte 2
// (0x11: DPI doubled, 0x22: the code counts 100-DPI units instead of 50, and
// for the ten-bit sensors code bits 8-9 in bits 2-3 and again in bits 6-7).
// Which flags a DPI needs follows from the device's DPI ranges.
//
// The pure functions take everything they use as arguments; the process-wide
// state (the open device's ranges and sensor model) and the sender live on
// the GUI thread.
namespace sensor {

inline constexpr int kMaxDpiRanges = 4;

struct DpiRange
{
    int minimum = 0;
    int maximum = 0;
    int step = 0;  // always positive in a set that counts the range
};

// The DPI ranges of one device, from the "DPIRange" list of its Config.ini
// group: minimum, maximum and step per range, then the flag bits in hex.
struct DpiRangeSet
{
    int DpiRangeFlags = 0;
    int DpiRangeCount = 0;  // 0: no usable list; nothing is snapped or stepped
    std::array<DpiRange, kMaxDpiRanges> DpiRanges{};
    QVector<int> DpiRangeMaximums;
    // The DPI slider's range. A device without a usable list keeps the range
    // of the last one that had it (at first the mouse's own 100..26000), so
    // the slider never collapses to 0..0.
    QString SliderMinimumText = QStringLiteral("100");
    QString SliderMaximumText = QStringLiteral("26000");
};

// The set after reading `items` over `previous`. A list with one to four
// whole ranges of numbers with positive steps replaces ranges and slider
// texts; any other list counts no range and keeps the slider texts.
DpiRangeSet readDpiRanges(const QStringList& items, const DpiRangeSet& previous);

// A DPI value on the grid of the ranges, and the slider page step for it
// (0 where the step stays as it was). Values below, above or between no
// ranges are kept; so is every value while the set counts no range.
struct DpiSnap
{
    int value = 0;
    int pageStep = 0;
};
DpiSnap snapDpi(const DpiRangeSet& ranges, int value);

// One step of the add or reduce button: within a range by its step, from a
// gap to the next range's minimum; Add at the top of an inner range jumps to
// the next range. Values outside every range are kept.
enum class DpiStep { Add, Reduce };
int stepDpi(const DpiRangeSet& ranges, int value, DpiStep direction);

// Whether `model` is the sensor `bare` ("3950"): Config.ini names sensors
// with the maker's prefix ("TV3950"), older files without it; both count.
bool isSensorModel(const QString& model, const char* bare);
// The sensors whose codes have ten bits, 3395 and 3950.
bool isTenBitSensor(const QString& model);

struct StageCode
{
    quint8 b0 = 0;
    quint8 b1 = 0;
    quint8 b2 = 0;
};

// The value bytes for `dpi`. `currentByte2` is byte 2 the stage holds now:
// it chooses the unit of the fallback code of a model whose table lacks the
// DPI. A code that does not fit the sensor is clamped to its range.
StageCode dpiToStageCode(const core::SensorDefines& defines, const QString& model, const DpiRangeSet& ranges,
                         quint8 currentByte2, int dpi);

// The DPI shown for a stage's bytes 0 and 2; 0 for a code missing from the
// model's own table.
int stageCodeToDpi(const core::SensorDefines& defines, const QString& model, quint8 b0, quint8 b2);

// The open device's DPI ranges, as the last LoadDpiRanges left them. GUI
// thread, like everything below.
const DpiRangeSet& CurrentDpiRanges();
// Reads the "DPIRange" list of the open device's group.
void LoadDpiRanges();
void LoadDpiRanges(const QStringList& items);

// The open device's sensor model ("Sensor" of its group), set by
// LoadCurrentSensorModel each time the sensor page fills itself.
const QString& CurrentSensorModel();
void LoadCurrentSensorModel();

// Converts dpi for the stage (0..7) with the shared definitions, the model
// and the ranges, and sends it through SetDPILevelValue. Any other stage
// does nothing.
void DPIToSensorCode(int stage, int dpi);
int StageCodeToDpi(quint8 b0, quint8 b2);

} // namespace sensor
