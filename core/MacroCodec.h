#pragma once

#include "core/FlashDataMap.h"
#include "core/KeyTable.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <optional>

// A macro in its four forms: the rows the pages show, the macro file in the
// user's macro folder, the record a button carries on the device and the
// export stream a user carries between computers. Qt Core only. The key
// table reads the five mouse-button names at call time, so every function
// that names keys belongs on the GUI thread.
namespace core {

// Key, delay, key, ... key: one delay fewer than the events of a record.
inline constexpr int kMacroMaxRows = 2 * kMacroRecordEvents - 1;
// The export's name block is 48 bytes and its reader stops at the first zero.
inline constexpr int kMacroExportNameBytes = 47;
inline constexpr int kDefaultRepeat = 1;
// Bounds for reading: a macro file of a full record is under 2 KiB, an
// export carries an icon per row.
inline constexpr qint64 kMacroFileMaxBytes = 1 << 20;
inline constexpr qint64 kMacroExportMaxBytes = 16 << 20;

// One row of a macro: a key press or release, or the wait after the key row
// before it. A key row keeps the type and code it was made with, so it is
// written and sent the same even after the mouse-button names changed.
struct MacroRow {
    QString text;  // key name, or the wait as digits followed by "ms"
    bool release = false;
    bool isDelay = false;
    quint32 delayMs = 0;
    quint8 eventType = KeyEventKeyboard;
    quint16 code = 0;
};
bool operator==(const MacroRow& a, const MacroRow& b);

// The 109 names of the macro editor with their event types and codes: 96
// keyboard keys (type 1), 8 modifier keys (type 0) and the five mouse-button
// names (type 4). A code's text form is "0x" and two upper-case hex digits.
namespace MacroKeyTable {
// [code text, type text] of a name, such as ["0x04", "1"]; [] for a name not
// in the table. A mouse-button name equal to a key name gives the key, except
// for "F1" to "F12", which give the mouse button.
QStringList KeyTextToCodes(const QString& name);
// The name with exactly that code text and type; "" when there is none.
QString KeyCodeToText(const QString& codeText, int type);
// EventType and Code of event `index` from a name; a name not in the table
// gives type 1 and keeps the code. An index outside the record changes nothing.
void FillMacroEvent(const QString& name, int index, MacroRecord& record);
// Name of a key event read from the device, code first: 0x04/0x08/0x10/0x20
// go by type (1 key, 0 modifier, else ""), 0x40 is "RAlt" for type 0 and
// "F7" otherwise, 0x01/0x02/0x80 are modifiers and the keypad's 0x58 is
// "Enter" whatever the type; other codes give their key's name or "".
QString KeyCodeToName(int code, int type);
// 1, 2, 4, 8, 16 to the left, right, middle, back, forward names; else "".
QString MouseBitToName(int bit);
} // namespace MacroKeyTable

// A key row of a table name, or nothing for a name outside the table.
std::optional<MacroRow> makeKeyRow(const QString& name, bool release);
// Key rows a record carries one event each; a macro with more does not fit.
int keyRowCount(const QVector<MacroRow>& rows);
bool fitsMacroRecord(const QVector<MacroRow>& rows);
MacroRow makeDelayRow(quint32 delayMs);

// Macro files: line 1 the repeat code, then one line per row, "0x04 1 0"
// for a key row (code, type, 0 press / 1 release) and "50ms" for a delay.
struct MacroFileContent {
    int repeat = kDefaultRepeat;
    QVector<MacroRow> rows;
};
// The repeat code of the first line of `text`: 1 to 250, 253, 254 or 255;
// a missing, empty or other first value reads as 1.
int repeatFromHeader(const QString& text);
// Accepts LF and CR LF line ends and a last line without one. Lines that are
// neither a key row with flag "0"/"1" nor a single value are dropped; a key
// row whose code and type are not in the table becomes the empty key.
MacroFileContent parseMacroFile(const QByteArray& bytes);
// The file's bytes, LF line ends; key rows write their stored code and type.
QByteArray macroFileText(int repeat, const QVector<MacroRow>& rows);

// Macro names become file names. A safe name is not empty, holds no path
// separator, no character some file systems refuse (: * ? " < > |), no
// control character, is not dots alone, and holds neither "xml" nor ".ini"
// (the macro list would hide or rename its file).
bool isSafeMacroName(const QString& name);
// The name without the characters a safe name may not hold; a name of dots
// alone becomes empty. "xml" and ".ini" are left for the caller to refuse.
QString stripUnsafeNameCharacters(const QString& name);
// The longest start of `name`, in whole characters, whose local 8-bit form
// takes at most maxBytes bytes.
QString cutToLocal8Bit(const QString& name, int maxBytes);
QString macroFolderPath();
// UserDataDir() + "/usersetting/MacroPage/" + name + ".ini"; "" for a name
// that is not safe, so nothing is ever opened outside the macro folder.
QString macroFilePath(const QString& name);
// Read (bounded) and write (atomically) the file of a named macro. Both
// refuse an unsafe name; *error says why.
bool readMacroFile(const QString& name, MacroFileContent* content, QString* error = nullptr);
bool writeMacroFile(const QString& name, int repeat, const QVector<MacroRow>& rows, QString* error = nullptr);

// The name of a record: its 30 name bytes up to the first zero, decoded from
// the local 8-bit encoding. The length byte is not trusted.
QString recordName(const MacroRecord& record);
// Writes the name (NUL characters removed, cut to 30 bytes in the local
// encoding at a character boundary) and its length; clears the rest of the field.
void setRecordName(MacroRecord& record, const QString& name);
// The record a button carries: one event per key row, at most 70; a delay row
// gives the wait after the key row before it, so delays before the first key,
// after the last key and after the 70th key are left out.
MacroRecord recordFromRows(const QString& name, const QVector<MacroRow>& rows);
// True when both records hold the same events (count, flags, types, codes
// and waits); names are not compared.
bool sameEvents(const MacroRecord& a, const MacroRecord& b);
// Key rows for the record's events (the count read through
// MacroRecordEventCount) with a delay row between each two.
QVector<MacroRow> rowsFromRecord(const MacroRecord& record);

// The export stream: a data stream (version 17, big-endian) of a 12-byte tag
// block "Kvelt", a 48-byte UTF-8 name block, a 12-byte repeat block, the row
// count and per row its text, its icon and, for key rows, the flag "0"/"1".
struct MacroExportRow {
    MacroRow row;
    QVariant icon;  // a QIcon in the program; invalid for a row without one
};
struct MacroExport {
    QString name;
    int repeat = kDefaultRepeat;
    QVector<MacroExportRow> rows;
};
enum class MacroExportStatus { Ok, WrongTag, Refused };
// The name is cut to 47 UTF-8 bytes at a character boundary. Fails for more
// than kMacroMaxRows rows or an icon Qt cannot stream.
bool writeExport(const QString& name, int repeat, const QVector<MacroExportRow>& rows, QByteArray* bytes,
                 QString* error = nullptr);
// Mouse-button names a row may carry besides the current language's, each
// with its button bit (1 left, 2 right, 4 middle, 8 back, 16 forward).
using MouseNameCodes = QHash<QString, quint16>;
// Reads a whole stream or nothing: a broken stream, bytes after the last
// row, more than kMacroMaxRows rows, an unsafe name, a key name outside the
// table and `otherMouseNames`, or an icon entry other than a small picture
// gives Refused and no rows. result->name is filled as soon as the name
// block was read, so a caller can test it for a duplicate before anything
// else. Icons are stepped over, never decoded: the rows come back without
// one, for the caller to give each the icon of its kind.
MacroExportStatus readExport(const QByteArray& bytes, MacroExport* result, QString* error = nullptr,
                             const MouseNameCodes& otherMouseNames = {});

} // namespace core
