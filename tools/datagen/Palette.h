#pragma once

#include <QColor>

// The one palette every generated picture draws from: a dark interface with
// one clear accent. Pages pick roles, never raw numbers, so the whole skin
// stays consistent.
namespace datagen::palette {

struct Rgb {
    int r, g, b;
    QColor color(int alpha = 255) const { return QColor(r, g, b, alpha); }
};

constexpr Rgb kBackground{21, 23, 28};
constexpr Rgb kPanel{30, 33, 40};
constexpr Rgb kRaised{39, 43, 52};
constexpr Rgb kBorder{52, 57, 68};
constexpr Rgb kText{230, 232, 238};
constexpr Rgb kMutedText{138, 144, 160};
constexpr Rgb kAccent{0, 194, 255};
constexpr Rgb kAccentPressed{0, 150, 204};
constexpr Rgb kWarning{255, 176, 32};
constexpr Rgb kDanger{255, 84, 84};
constexpr Rgb kOk{64, 214, 128};
// The closed combo box: white text reads on it at 4.7:1, a disabled box's black text at 4.4:1.
constexpr Rgb kComboFace{108, 116, 130};

} // namespace datagen::palette
