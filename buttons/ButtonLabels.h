#pragma once

#include "core/FlashDataMap.h"

#include <QString>

// What a button selector shows for a function code, and the other rules of
// the button page that need no widget. Pure; any thread.
namespace buttons {

// Device button slot -> its selector on the page (slots 0..5), null above.
const char* selectorOfSlot(int slot);

// Where a label comes from.
enum class LabelKind {
    Unchanged,  // no label for this code: the selector keeps its text
    Widget,     // the current text of the widget named by LabelRule::widget
    Keys,       // key combination or multimedia key of the slot's KeyRecord
    Macro,      // MacroText + the name of the slot's MacroRecord
    DpiLock,    // DPI_4's text + "-" + the locked DPI
};
struct LabelRule {
    LabelKind kind = LabelKind::Unchanged;
    const char* widget = nullptr;
};
LabelRule labelRule(int type, int param1);

// The eighteen multimedia keys: consumer usage and the choice button that
// assigns it, in the order of the multimedia list (the index is the list's
// scroll step). The low bytes are distinct, so a low byte names the key.
struct ConsumerKey {
    int usage;
    const char* button;
};
inline constexpr ConsumerKey kConsumerKeys[] = {
    {0x183, "Player"},        {0xCD, "StartPause_2"},   {0xB5, "BackMusic_2"},   {0xB6, "TopMusic_2"},
    {0xB7, "Mute"},           {0xE2, "VolumeUp"},       {0xE9, "VolumeDown"},    {0xEA, "VolumeDown_4"},
    {0x18A, "VolumeDown_5"},  {0x192, "VolumeDown_6"},  {0x194, "VolumeDown_3"}, {0x223, "VolumeDown_8"},
    {0x221, "VolumeDown_9"},  {0x224, "VolumeDown_10"}, {0x225, "VolumeDown_7"}, {0x226, "VolumeDown_12"},
    {0x227, "VolumeDown_13"}, {0x22A, "VolumeDown_11"},
};

// Index into kConsumerKeys of the key whose usage has the low byte of `key`
// (a whole usage is accepted too); -1 for none.
int consumerIndex(int key);

// The multimedia choice button whose usage has this low byte; null for none.
const char* consumerButton(int usageLowByte);

// The DPI lock values the menu offers and their choice buttons, in list order
// (the index is the DPI list's scroll step).
struct DpiLockChoice {
    int dpi;
    const char* button;
};
inline constexpr DpiLockChoice kDpiLockChoices[] = {
    {100, "VolumeUp_11"}, {200, "VolumeUp_12"}, {300, "VolumeUp_13"},  {400, "VolumeUp_16"},
    {500, "VolumeUp_15"}, {600, "VolumeUp_19"}, {700, "VolumeUp_20"},  {800, "VolumeUp_22"},
    {900, "VolumeUp_18"}, {1000, "VolumeUp_24"}, {1100, "VolumeUp_23"}, {1200, "VolumeUp_21"},
};

// The key names of a combination record joined by "+": one name per press,
// as many presses as the record really holds (half its bounded count).
QString comboLabel(const KeyRecord& record);

// The name bytes of a macro record up to the first zero byte.
QByteArray macroRecordName(const MacroRecord& record);

// "KeyNumber" of Config.ini as a slot count: 0 when missing or unreadable,
// at most the image's 16 slots.
int slotCount(const QString& keyNumber);

// The six-slot assignment a page without device data shows.
inline constexpr int kDefaultSlots = 6;
inline constexpr ButtonFunctionCode kDefaultButtons[kDefaultSlots] = {{1, 1, 0}, {1, 2, 0},  {1, 4, 0},
                                                                      {1, 8, 0}, {1, 16, 0}, {2, 1, 0}};

} // namespace buttons
