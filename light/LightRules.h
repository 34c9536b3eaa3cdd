#pragma once

#include <QPoint>
#include <QtGlobal>

// The lighting page's rules that need no widget: which controls each light
// mode shows, the preset colours, the idle light-off time, and where on the
// screen the colour board's pick is read.
namespace light {

inline constexpr int kLightModes = 6;

// The mode-dependent controls of one entry of the mode list.
struct ModeControls
{
    bool line;        // separator across the brightness slider's place
    bool line2;       // separator across the speed slider's place
    bool colour;      // the whole colour group
    bool brightness;  // brightness slider and its number
    bool speed;       // speed slider
    bool speedBox;    // speed number
};

// False (and `out` untouched) for an entry outside 0..5.
bool modeControls(int mode, ModeControls* out);

struct PresetColour
{
    char letter;  // toolButtonColor<letter>, Color<letter>.png
    quint8 red;
    quint8 green;
    quint8 blue;
};
inline constexpr int kPresets = 14;
extern const PresetColour kPresetColours[kPresets];

// Entry 0..10 of the sleep-time list for the idle time in seconds; -1 for a
// time the list does not offer, which leaves the list as it is.
int sleepIndexForSeconds(int seconds);

// The screen point read for a cursor at `cursor` when physical pixels are
// `scale` times the logical ones: each coordinate scaled and truncated
// toward zero. A scale that is not a positive number counts as 1.
QPoint samplePoint(QPoint cursor, double scale);

} // namespace light
