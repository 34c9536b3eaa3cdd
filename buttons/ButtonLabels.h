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

// The multimedia choice button whose usage has this low byte; null for none.
const char* consumerButton(int usageLowByte);

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
