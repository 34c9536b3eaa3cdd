#include "sensor/SensorDpiCodes.h"

#include "core/ConfigIni.h"
#include "core/DeviceAllInfo.h"
#include "core/DeviceParam.h"
#include "core/DpiCodes.h"
#include "core/FlashDataMap.h"

#include <QLoggingCategory>

#include <algorithm>
#include <iterator>

namespace sensor {

namespace {

Q_LOGGING_CATEGORY(lcDpi, "app.sensor.dpi")

constexpr quint8 kDoubled = 0x11;
constexpr quint8 kHundreds = 0x22;
constexpr quint8 kHighBits = 0xC0;  // code bits 8-9 as read back
constexpr int kDpiUnit = 50;
constexpr int kByteCodeMax = 0xFF;
constexpr int kTenBitCodeMax = 0x3FF;

constexpr const char* kTenBitSensors[] = {"3395", "3950"};

struct RangeFlags
{
    quint8 flags = 0;
    int unit = 1;
};

// Flags and unit by the ranges: 0x33 lists pick by the highest range whose
// maximum lies below dpi; 0x22 and 0x11 lists apply above the first range.
RangeFlags flagsFor(const DpiRangeSet& ranges, int dpi)
{
    const int count = std::min(ranges.DpiRangeCount, int(ranges.DpiRangeMaximums.size()));
    if (ranges.DpiRangeFlags == 0x33) {
        static constexpr RangeFlags kByRange[] = {{0, 1}, {0x22, 2}, {0x11, 2}, {0x33, 4}};
        for (int r = count - 1; r >= 0; --r) {
            if (ranges.DpiRangeMaximums.at(r) < dpi)
                return kByRange[std::min(r, 3)];
        }
        return {};
    }
    if ((ranges.DpiRangeFlags == 0x22 || ranges.DpiRangeFlags == 0x11) && count > 0
        && dpi > ranges.DpiRangeMaximums.at(0))
        return {quint8(ranges.DpiRangeFlags), 2};
    return {};
}

bool readNumber(const QString& text, int base, int* value)
{
    bool ok = false;
    *value = text.trimmed().toInt(&ok, base);
    return ok;
}

bool isDpiNumber(int value)
{
    return value >= 0 && value <= core::kMaxDpiValue;
}

DpiRangeSet s_deviceRanges;
QString s_sensorModel;

QString deviceGroup()
{
    return QStringLiteral("Drive") + QString::number(CurrentDeviceInfoCopy().DriveIndex + 1);
}

} // namespace

DpiRangeSet readDpiRanges(const QStringList& items, const DpiRangeSet& previous)
{
    DpiRangeSet set = previous;
    set.DpiRangeMaximums.clear();
    set.DpiRangeCount = 0;
    if (items.isEmpty() || !readNumber(items.last(), 16, &set.DpiRangeFlags))
        set.DpiRangeFlags = 0;
    const int count = (int(items.size()) - 1) / 3;
    if (count < 1 || count > kMaxDpiRanges)
        return set;
    std::array<DpiRange, kMaxDpiRanges> read{};
    for (int k = 0; k < count; ++k) {
        DpiRange& range = read[size_t(k)];
        // A step that is no positive number would divide by zero when snapping; numbers beyond any
        // sensor would overflow when the buttons step past them.
        if (!readNumber(items.at(3 * k), 10, &range.minimum) || !readNumber(items.at(3 * k + 1), 10, &range.maximum)
            || !readNumber(items.at(3 * k + 2), 10, &range.step) || range.step <= 0 || !isDpiNumber(range.minimum)
            || !isDpiNumber(range.maximum) || !isDpiNumber(range.step)) {
            qCWarning(lcDpi) << "DPIRange refused:" << items.join(QLatin1Char(','));
            return set;
        }
    }
    set.DpiRangeCount = count;
    set.DpiRanges = read;
    for (int k = 0; k < count; ++k)
        set.DpiRangeMaximums.append(read[size_t(k)].maximum);
    set.SliderMinimumText = QString::number(read[0].minimum);
    set.SliderMaximumText = QString::number(read[size_t(count - 1)].maximum);
    return set;
}

DpiSnap snapDpi(const DpiRangeSet& ranges, int value)
{
    for (int k = 0; k < ranges.DpiRangeCount; ++k) {
        const DpiRange& range = ranges.DpiRanges[size_t(k)];
        if (value >= range.minimum && value <= range.maximum)
            return {value - value % range.step, range.step};
        if (k + 1 < ranges.DpiRangeCount) {
            const DpiRange& next = ranges.DpiRanges[size_t(k + 1)];
            if (value > range.maximum && value < next.minimum)
                return {next.minimum, next.step};
        }
    }
    return {value, 0};
}

int stepDpi(const DpiRangeSet& ranges, int value, DpiStep direction)
{
    const bool add = direction == DpiStep::Add;
    const int sign = add ? 1 : -1;
    for (int k = 0; k < ranges.DpiRangeCount; ++k) {
        const DpiRange& range = ranges.DpiRanges[size_t(k)];
        const bool last = k + 1 == ranges.DpiRangeCount;
        // Add leaves an inner range at its maximum for the next range; the
        // last range is closed for both buttons.
        const bool inRange = value >= range.minimum
                             && (add && !last ? value < range.maximum : value <= range.maximum);
        if (inRange)
            return value + sign * range.step;
        if (last)
            break;
        const DpiRange& next = ranges.DpiRanges[size_t(k + 1)];
        const bool inGap = (add ? value >= range.maximum : value > range.maximum) && value < next.minimum;
        if (inGap)
            return next.minimum;
    }
    return value;
}

bool isSensorModel(const QString& model, const char* bare)
{
    // Compared in place: this runs on every DPI edit and must not build strings.
    const QLatin1String name(bare);
    return model == name || (model.size() == name.size() + 2 && model.startsWith(QLatin1String("TV"))
                             && model.midRef(2) == name);
}

bool isTenBitSensor(const QString& model)
{
    return std::any_of(std::begin(kTenBitSensors), std::end(kTenBitSensors),
                       [&model](const char* bare) { return isSensorModel(model, bare); });
}

StageCode dpiToStageCode(const core::SensorDefines& defines, const QString& model, const DpiRangeSet& ranges,
                         quint8 currentByte2, int dpi)
{
    const int fallback = (currentByte2 & kHundreds) != 0 ? dpi / 100 : dpi / kDpiUnit;
    RangeFlags range = flagsFor(ranges, dpi);
    int code = 0;
    if (defines.hasDpiTable(model)) {
        code = defines.valueOf(core::DpiEntryName(model, dpi / range.unit)).value_or(fallback);
        code = std::clamp(code, 0, kByteCodeMax);
    } else if (isTenBitSensor(model)) {
        code = std::clamp(dpi / (range.unit * kDpiUnit) - 1, 0, kTenBitCodeMax);
        const int high = code >> 8;
        range.flags |= quint8((high << 6) | (high << 2));
    } else {
        code = std::clamp(dpi / (range.unit * kDpiUnit) - 1, 0, kByteCodeMax);
    }
    const quint8 low = quint8(code & 0xFF);
    return {low, low, range.flags};
}

int stageCodeToDpi(const core::SensorDefines& defines, const QString& model, quint8 b0, quint8 b2)
{
    int dpi = 0;
    if (defines.hasDpiTable(model)) {
        dpi = core::SensorCodeToDpi(defines, model, b0);
    } else {
        int code = b0;
        if (isTenBitSensor(model))
            code |= (b2 & kHighBits) << 2;
        dpi = (code + 1) * ((b2 & kHundreds) != 0 ? 100 : kDpiUnit);
    }
    return (b2 & kDoubled) != 0 ? dpi * 2 : dpi;
}

const DpiRangeSet& CurrentDpiRanges()
{
    return s_deviceRanges;
}

void LoadDpiRanges()
{
    LoadDpiRanges(ConfigIni::GetInstance()->GetValueList(deviceGroup(), QStringLiteral("DPIRange")));
}

void LoadDpiRanges(const QStringList& items)
{
    s_deviceRanges = readDpiRanges(items, s_deviceRanges);
}

const QString& CurrentSensorModel()
{
    return s_sensorModel;
}

void LoadCurrentSensorModel()
{
    s_sensorModel = ConfigIni::GetInstance()->GetValue(deviceGroup(), QStringLiteral("Sensor"));
}

void DPIToSensorCode(int stage, int dpi)
{
    if (stage < 0 || stage >= kDpiLevels)
        return;
    const quint8 current = CurrentDpiLevelEntry(stage).DpiValue[2];
    const StageCode code = dpiToStageCode(core::SharedSensorDefines(), s_sensorModel, s_deviceRanges, current, dpi);
    SetDPILevelValue(stage, code.b0, code.b1, code.b2);
}

int StageCodeToDpi(quint8 b0, quint8 b2)
{
    return stageCodeToDpi(core::SharedSensorDefines(), s_sensorModel, b0, b2);
}

} // namespace sensor
