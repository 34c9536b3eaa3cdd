#include "light/LightRules.h"

#include "sensor/OptionCodes.h"

#include <cmath>

namespace light {

namespace {

constexpr ModeControls kModeTable[kLightModes] = {
    // line   line2  colour brightness speed  speedBox
    {true, true, false, false, false, false},  // off
    {false, false, false, true, true, true},   // colour flow
    {false, false, true, true, true, true},    // single-colour breathing
    {false, true, true, true, false, false},   // steady: no speed
    {false, false, false, true, true, true},   // neon
    {false, false, false, true, true, true},   // mixed breathing
};

} // namespace

const PresetColour kPresetColours[kPresets] = {
    {'A', 255, 0, 0},    {'B', 0, 255, 255},  {'C', 0, 255, 0},     {'D', 255, 0, 255},  {'E', 255, 255, 0},
    {'F', 255, 80, 0},   {'G', 0, 0, 255},    {'H', 227, 0, 127},   {'I', 46, 166, 223}, {'J', 96, 25, 133},
    {'K', 255, 255, 255}, {'L', 139, 178, 36}, {'M', 255, 155, 51}, {'N', 208, 113, 173},
};

bool modeControls(int mode, ModeControls* out)
{
    if (mode < 0 || mode >= kLightModes)
        return false;
    *out = kModeTable[mode];
    return true;
}

int sleepIndexForSeconds(int seconds)
{
    for (int i = 0; i < sensor::kSleepTimes; ++i) {
        if (sensor::SleepTimeTable[i] * 10 == seconds)
            return i;
    }
    return -1;
}

QPoint samplePoint(QPoint cursor, double scale)
{
    if (!(scale > 0.0) || !std::isfinite(scale))
        scale = 1.0;
    return QPoint(int(std::trunc(cursor.x() * scale)), int(std::trunc(cursor.y() * scale)));
}

} // namespace light
