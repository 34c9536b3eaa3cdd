#pragma once

#include "core/FlashDataMap.h"

#include <QString>
#include <QStringList>

#include <optional>

// The key vocabulary of the program: the short names shown to the user
// ("Ctrl", "PgUp", "Num+"), the codes the mouse stores for them (keyboard
// usages, modifier bits, consumer usages) and the virtual-key codes the
// keyboard capture reports. Every function here is pure and thread-safe.
namespace core {

// EventType values of a KeyEvent.
enum KeyEventType : quint8 {
    KeyEventModifier = 0,
    KeyEventKeyboard = 1,
    KeyEventConsumer = 2,
    KeyEventMouse = 4,
};

// Which virtual-key table to use: the combination dialog names no modifier
// keys (it has check boxes for them), the single-key dialog names the left
// and right modifiers, neither names the space bar. Macro recording names
// what the single-key dialog names and the space bar.
enum class CaptureTable { Combination, SingleKey, Recording };

// Most keys a KeyRecord can hold: two events (press, release) per key.
inline constexpr int kMaxComboKeys = kKeyRecordEvents / 2;

// Keyboard usage of a key name, or nothing. Knows every key row, "Space" and
// the empty name (usage 0); no modifier names.
std::optional<quint8> KeyUsageFromName(const QString& name);

// The key row named like `text` when case is ignored ("DEL" gives "Del",
// "num+" gives "Num+"), in the row's own spelling; "" when no row is, and
// always "" for the empty name. For text typed or pasted by the user.
QString KeyRowName(const QString& text);

// Bit of a left or right modifier name ("LCtrl" 0x01 ... "RWin" 0x80).
std::optional<quint8> SideModifierBitFromName(const QString& name);

// Every name KeyUsageFromName knows, the empty name included, and every name
// SideModifierBitFromName knows, each list in its table's order.
QStringList KeyRowNames();
QStringList SideModifierNames();

// Bit of a short modifier name ("Ctrl", "Shift", "Alt", "Win"), always the
// left-hand bit.
std::optional<quint8> ModifierBitFromName(const QString& name);

// Name of a stored code. kind is the event's EventType; an unknown code gives
// the empty name. Codes that are both a modifier bit and a keyboard usage go by
// kind (0x04 is "Alt" for kind 0 and "A" for kind 1).
QString KeyNameFromCode(int code, int kind);

// Splits a combination text into its key names. A "+" separates names, except
// the one that ends "Num+", so "A+Num+" is the two keys "A" and "Num+"; the
// separator after "Num+" may be left out ("Num+B" is "Num+" and "B"). Empty
// parts are kept ("A++B" is three names, the middle one empty).
QStringList SplitKeyCombo(const QString& text);

// Writes key `index` of a combination of `count` keys into a copy of record:
// its press at event index, its release at event 2*count-1-index, both with a
// 10 ms delay. A name with no row gives type 1 and keeps the code as it was.
// Indexes that would fall outside the record leave it unchanged.
KeyRecord EncodeComboKey(const QString& name, int index, int count, KeyRecord record);

// The record a button sends for a combination text such as "Shift+Ctrl+A":
// presses in text order, releases in reverse. The record holds at most
// kMaxComboKeys keys; further names are dropped rather than written past it.
KeyRecord BuildKeyCombo(const QString& text);

// Press and release of one consumer-page usage, given as high and low byte.
KeyRecord MakeConsumerKeyRecord(quint8 high, quint8 low);

// Sets EventType and Code of event `index` of a macro record from a name: a
// key row, a left/right modifier name, or one of the five mouse-button names
// (left, right, middle, back, forward, as the macro editor shows them). An
// unknown name gives type 1 and keeps the code. Release and DelayMs are left
// to the caller; an index outside the record changes nothing.
void EncodeMacroKey(const QString& name, int index, MacroRecord& record, const QStringList& mouseButtonNames);

// Name of a Windows virtual-key code as the capture dialogs show it; a code
// with no row (including 12, the keypad 5 without NumLock) gives "".
QString VirtualKeyName(int virtualKey, CaptureTable table);

// The same, telling a code with no row (nothing) from 12, the keypad 5
// without NumLock, whose row has the empty name.
std::optional<QString> FindVirtualKeyName(int virtualKey, CaptureTable table);

} // namespace core
