#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

#include <optional>

// The text of the settings stores (Macro.ini, the registry store): the ini form QSettings reads
// and writes. Values are text, addressed as "group/key"; a key without a group belongs to the
// file's "General" section. Pure functions, any thread.
namespace core {

// Every value a file holds, read as QSettings reads it (escapes, quotes, comments, line
// continuations, "%General"); bytes outside escapes are UTF-8. A value
// QSettings would read as a list is its items joined with ", ", as the file shows them; a typed
// value that is no text ("@Variant(...)", "@Rect(...)" and the like) reads as empty. A line
// that cannot be read is skipped.
QMap<QString, QString> parseIniText(const QByteArray& bytes);

// As parseIniText, only the values QSettings too reads as one text (no list, no other type).
QMap<QString, QString> parsePlainIniText(const QByteArray& bytes);

// The file with these changes made (a value to set, or none to remove the address) and every
// other byte as it was: entries the changes do not name, comments, a byte-order mark, line
// breaks. A value set replaces the address's line in place, or joins the end of its section, or
// starts that section at the end of the file. Only printable ASCII goes unescaped and every value
// set is quoted, so that QSettings reads it back as the same text, with or without a UTF-8 codec.
QByteArray editIniText(const QByteArray& bytes, const QMap<QString, std::optional<QString>>& changes);

} // namespace core
