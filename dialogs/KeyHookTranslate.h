#pragma once

#include <Qt>

// What the key capture needs from a Qt key event, in the terms of the codes
// it reports: Windows virtual-key codes (65 for A, 160/161 for left/right
// Shift, 96..105 for the keypad digits, ...). Pure functions, no widgets.
namespace dialogs {

// The facts of one key event the translation looks at.
struct KeyFacts {
    int qtKey = 0;
    Qt::KeyboardModifiers modifiers;
    quint32 nativeScanCode = 0;    // X keycode (evdev code + 8) where the platform gives one
    quint32 nativeVirtualKey = 0;  // X keysym where the platform gives one
};

// Virtual-key code of the key. Left and right modifier keys are told apart by
// the key symbol or scan code when the platform gives one, else taken as the
// left key. Keypad keys map to their keypad codes. A shifted symbol maps to
// the key that types it ("!" to the key 1), as a US layout has it. A key with
// no virtual-key code gives kUnknownVirtualKey.
inline constexpr int kUnknownVirtualKey = 0xFF;
int VirtualKeyFromKey(const KeyFacts& facts);

// Whether the event counts as a system-key message: Alt itself, F10, or any
// key while Alt is held without Ctrl.
bool IsSystemKeyEvent(const KeyFacts& facts);

} // namespace dialogs
