#pragma once

#include "core/MacroCodec.h"

#include <QStringList>
#include <QVector>

// The event list of the macro page as plain data, and the edits the page
// makes to it. The page reads its list widget into a MacroEventList, applies
// one edit and shows the result, so every rule here is testable headless.
// Rows keep the shape key, delay, key, ..., key wherever the rules allow.
namespace macro {

struct MacroEventList {
    QVector<core::MacroRow> rows;
    int current = -1;  // the selected row, -1 for none
};

// The wait the inserts put between two key rows.
inline constexpr quint32 kInsertedDelayMs = 10;

// Whether `added` more key rows still fit the events of one device record.
bool fitsEventLimit(const QVector<core::MacroRow>& rows, int added);

// A row of one of the five mouse buttons (bit 1 left, 2 right, 4 middle,
// 8 back, 16 forward), named as the current language names it.
core::MacroRow mouseButtonRow(quint16 bit, bool release);

// Puts a key row, and the delay that keeps the shape, after the selected
// row; without a selection at the end. A list of one selected row counts as
// selected at its end. The selected row stays selected.
void insertKey(MacroEventList& list, const core::MacroRow& key);
// Press, delay and release of a mouse button, placed as insertKey places a key.
void insertMouseClick(MacroEventList& list, const core::MacroRow& press, const core::MacroRow& release);
// Replaces the delay that belongs to the selected row (before a key row, or
// the selected delay itself) and selects it; between two key rows a delay is
// added. False, changing nothing, when the first row or no row is selected.
bool insertDelay(MacroEventList& list, quint32 delayMs);
// Removes the selected key row with its delay, or the selected delay with
// its key row; a list of fewer than four rows is emptied whatever is
// selected. False, changing nothing, for a longer list without a selection.
bool deleteSelected(MacroEventList& list);
// Removes a delay row that ends the list (a recording ended after a key it
// does not name); true when one was removed.
bool dropTrailingDelay(MacroEventList& list);

// The macro list from the file names of the macro folder, in their order:
// names holding "xml" are skipped and ".ini" is removed wherever it stands.
// Names that would not lead back to their file (unsafe macro names) and
// repeats are left out.
QStringList macroListNames(const QStringList& fileNames);

} // namespace macro
