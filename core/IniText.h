#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// The text of the settings stores (Macro.ini, the registry store): the ini form QSettings reads
// and writes. Values are text, addressed as "group/key"; a key without a group belongs to the
// file's "General" section. Pure functions, any thread.
namespace core {

// The whole file for these values. Only printable ASCII goes unescaped and every value is quoted,
// so that QSettings reads each value back as the same text, with or without a UTF-8 codec.
QByteArray iniFileText(const QMap<QString, QString>& values);

// Every value a file holds, read as QSettings reads it (escapes, quotes, comments, line
// continuations, "%General"); bytes outside escapes are UTF-8. A value
// QSettings would read as a list is its items joined with ", ", as the file shows them; a typed
// value that is no text ("@Variant(...)", "@Rect(...)" and the like) reads as empty. A line
// that cannot be read is skipped.
QMap<QString, QString> parseIniText(const QByteArray& bytes);

} // namespace core
