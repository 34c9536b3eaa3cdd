#include "macro/MacroEventList.h"

#include <algorithm>
#include <initializer_list>

namespace macro {
namespace {

using core::MacroRow;

void insertAt(MacroEventList& list, int position, const MacroRow& row)
{
    position = std::clamp(position, 0, int(list.rows.size()));
    list.rows.insert(position, row);
    if (list.current >= position)
        ++list.current;
}

// Rows put in one after another from `position` on.
void insertRun(MacroEventList& list, int position, std::initializer_list<MacroRow> rows)
{
    for (const MacroRow& row : rows)
        insertAt(list, position++, row);
}

// No selection, or the last row selected (also the only row): the new rows
// go to the end, behind a delay.
bool appendsAtEnd(const MacroEventList& list)
{
    return list.current < 0 || list.current >= list.rows.size() - 1;
}

} // namespace

bool fitsEventLimit(const QVector<MacroRow>& rows, int added)
{
    return core::keyRowCount(rows) + added <= kMacroRecordEvents;
}

MacroRow mouseButtonRow(quint16 bit, bool release)
{
    MacroRow row;
    row.text = core::MacroKeyTable::MouseBitToName(bit);
    row.release = release;
    row.eventType = core::KeyEventMouse;
    row.code = bit;
    return row;
}

void insertKey(MacroEventList& list, const MacroRow& key)
{
    const MacroRow delay = core::makeDelayRow(kInsertedDelayMs);
    const int n = list.rows.size();
    const int r = list.current;
    if (n == 0)
        insertRun(list, 0, {key});
    else if (appendsAtEnd(list))
        insertRun(list, n, {delay, key});
    else if (r == 0)
        insertRun(list, 2, {key, delay});
    else if (list.rows.at(r).isDelay)
        insertRun(list, r + 1, {key, delay});
    else
        insertRun(list, r + 2, {key, delay});
}

void insertMouseClick(MacroEventList& list, const MacroRow& press, const MacroRow& release)
{
    const MacroRow delay = core::makeDelayRow(kInsertedDelayMs);
    const int n = list.rows.size();
    const int r = list.current;
    if (n == 0)
        insertRun(list, 0, {press, delay, release});
    else if (appendsAtEnd(list))
        insertRun(list, n, {delay, press, delay, release});
    else if (r == 0)
        insertRun(list, 2, {press, delay, release, delay});
    else if (list.rows.at(r).isDelay)
        insertRun(list, r + 1, {press, delay, release, delay});
    else
        insertRun(list, r + 1, {delay, press, delay, release});
}

bool insertDelay(MacroEventList& list, quint32 delayMs)
{
    const int r = list.current;
    if (r <= 0 || r >= list.rows.size())
        return false;
    const MacroRow delay = core::makeDelayRow(delayMs);
    if (list.rows.at(r).isDelay) {
        list.rows[r] = delay;
    } else if (list.rows.at(r - 1).isDelay) {
        list.rows[r - 1] = delay;
        list.current = r - 1;
    } else {
        list.rows.insert(r, delay);
    }
    return true;
}

bool deleteSelected(MacroEventList& list)
{
    const int n = list.rows.size();
    if (n < 4) {
        list.rows.clear();
        list.current = -1;
        return true;
    }
    const int r = list.current;
    if (r < 0 || r >= n)
        return false;
    // The row that goes with the selected one: the key before a delay, the
    // delay after a key, or the delay before the last key.
    int partner = r + 1;
    if (r < n - 1 && list.rows.at(r).isDelay)
        partner = r - 1;
    else if (r == n - 1)
        partner = r - 1;
    list.rows.removeAt(std::max(r, partner));
    if (partner >= 0)
        list.rows.removeAt(std::min(r, partner));
    list.current = std::min(std::max(0, std::min(r, partner)), int(list.rows.size()) - 1);
    return true;
}

bool dropTrailingDelay(MacroEventList& list)
{
    if (list.rows.isEmpty() || !list.rows.constLast().isDelay)
        return false;
    list.rows.removeLast();
    list.current = std::min(list.current, int(list.rows.size()) - 1);
    return true;
}

QStringList macroListNames(const QStringList& fileNames)
{
    QStringList names;
    for (QString name : fileNames) {
        if (name.contains(QLatin1String("xml")))
            continue;
        name.remove(QStringLiteral(".ini"));
        if (core::isSafeMacroName(name) && !names.contains(name))
            names.append(name);
    }
    return names;
}

} // namespace macro
