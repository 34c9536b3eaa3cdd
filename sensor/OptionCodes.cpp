#include "sensor/OptionCodes.h"

namespace sensor {

namespace {

template <typename T, int N>
int lookup(const T (&table)[N], int index)
{
    return index >= 0 && index < N ? int(table[index]) : -1;
}

// Entries of the three-entry list, 0.7 mm first.
constexpr quint8 kThreeEntryCodes[] = {kLiftOff07mm, kLiftOff1mm, kLiftOff2mm};
constexpr quint8 kTwoEntryCodes[] = {kLiftOff1mm, kLiftOff2mm};

} // namespace

int reportRateCode(int index)
{
    return index >= 0 && index < kReportRateCount ? kReportRates[index].code : -1;
}

bool rateClassShows(int rateClass, int index)
{
    if (rateClass < 0 || rateClass >= kRateClassCount || index < kFirstUpperRate || index >= kReportRateCount)
        return false;
    return kRateClassShows[rateClass][index - kFirstUpperRate];
}

int brightnessForLevel(int level)
{
    return lookup(BrightnessLevelTable, level - 1);
}

int sleepTimeValue(int index)
{
    return lookup(SleepTimeTable, index);
}

int liftOffCode(int entries, int index)
{
    return entries == 3 ? lookup(kThreeEntryCodes, index) : lookup(kTwoEntryCodes, index);
}

int liftOffEntryFor(int entries, int v)
{
    if (entries == 3) {
        // v is the device code - 1, and the 0.7 mm code 3 sits at entry 0.
        constexpr int kEntryOfV[] = {1, 2, 0};
        const int entry = lookup(kEntryOfV, v);
        return entry < 0 ? kKeepSelection : entry;
    }
    return v >= 0 && v < entries ? v : -1;
}

int debounceValue(int index)
{
    return index >= 0 && index <= kDebounceMax ? index : -1;
}

SleepShown sleepShownAt(int position)
{
    const int value = sleepTimeValue(position - 1);
    const int seconds = (value < 0 ? SleepTimeTable[0] : value) * 10;
    if (seconds < 60)
        return {seconds, false};
    return {seconds / 60, true};
}

} // namespace sensor
