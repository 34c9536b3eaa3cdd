#include "sensor/SensorPageRules.h"

#include "core/FileIo.h"
#include "sensor/OptionCodes.h"

#include <QFileInfo>
#include <QLoggingCategory>

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace sensor {

namespace {

Q_LOGGING_CATEGORY(lcSensorRules, "app.sensor.page")

// The level file holds one number.
constexpr qint64 kMaxLevelFileBytes = 4096;

bool receiverWithHighRates(int kind)
{
    return kind == 1 || kind == 4 || kind == 5;
}

ModeState free()
{
    return {ModeChoice::Free, false};
}

} // namespace

int stageCountFromLevelFile(const QString& path)
{
    QByteArray bytes;
    QString why;
    if (!core::readFileBounded(path, kMaxLevelFileBytes, &bytes, &why) && QFileInfo::exists(path))
        qCWarning(lcSensorRules) << "DPI level file ignored:" << why;
    const int end = bytes.indexOf('\n');
    const QString line = QString::fromUtf8(end < 0 ? bytes : bytes.left(end)).trimmed();
    return line.isEmpty() ? 1 : line.toInt();
}

int rateIndexForCode(int code)
{
    for (int i = 0; i < kReportRateCount; ++i) {
        if (kReportRates[i].code == code)
            return i;
    }
    return -1;
}

bool isHighRateCode(int code)
{
    const int index = rateIndexForCode(code);
    return index >= 0 && kReportRates[index].hideModel == 1;
}

int rateClassForKind(int kind)
{
    switch (kind) {
    case 0:
    case 2: return 0;
    case 1:
    case 3: return 1;
    case 4: return 2;
    case 5: return 3;
    default: return -1;
    }
}

int brightnessLevelFor(int byte)
{
    int best = 0;
    for (int i = 1; i < kBrightnessLevels; ++i) {
        if (std::abs(BrightnessLevelTable[i] - byte) < std::abs(BrightnessLevelTable[best] - byte))
            best = i;
    }
    return best + 1;
}

int performanceIndexForCode(int code)
{
    const auto* end = std::end(kPerformanceCodes);
    const auto* at = std::find(std::begin(kPerformanceCodes), end, code);
    return at == end ? -1 : int(at - std::begin(kPerformanceCodes));
}

int performanceCodeAt(int index)
{
    return index >= 0 && index < int(std::size(kPerformanceCodes)) ? kPerformanceCodes[index] : -1;
}

int dpiLightModeFor(int on, int mode)
{
    if (on == 0)
        return 0;
    return mode == 1 || mode == 2 ? mode : -1;
}

ModeState fillModeChoice(bool modelListed, int deviceKind, int restrictedKind, int rateCode)
{
    if (!modelListed)
        return {ModeChoice::Off, false};
    if (restrictedKind != 0 || (receiverWithHighRates(deviceKind) && isHighRateCode(rateCode)))
        return {ModeChoice::Locked, false};
    return free();
}

ModeState reportedRateModeChoice(bool modelListed, int restrictedKind, int rateCode)
{
    if (!modelListed || restrictedKind != 0 || rateIndexForCode(rateCode) < 0)
        return {};
    return isHighRateCode(rateCode) ? ModeState{ModeChoice::Locked, true} : free();
}

ModeState hideModelChoice(bool modelListed, int deviceKind, int restrictedKind, int n)
{
    if (!modelListed)
        return {};
    if (n == 0 && restrictedKind == 0)
        return free();
    if (n == 1 && receiverWithHighRates(deviceKind))
        return {ModeChoice::Locked, true};
    return {};
}

bool isSendableSensorMode(int index)
{
    return index == 0 || index == 1;
}

StageView stageViewFor(int countByte, int levelByte, int maxGrade)
{
    StageView view;
    view.grades = std::clamp(maxGrade, 0, 8);
    const int most = view.grades > 0 ? view.grades : 8;
    view.count = std::clamp(countByte, 1, most);
    view.current = std::clamp(levelByte, 0, view.count - 1);
    return view;
}

ResetRate resetRateFor(int deviceKind)
{
    switch (deviceKind) {
    case 0:
    case 2: return {true, 0, 3, 0};
    case 1:
    case 3: return {true, 1, 3, 2};
    case 5: return {true, 3, 6, 2};
    default: return {};
    }
}

} // namespace sensor
