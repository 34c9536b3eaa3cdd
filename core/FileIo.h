#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVector>

#include <functional>

class QObject;
class QSettings;

namespace core {

// Writes the whole content or nothing: a save-file is filled without buffering,
// each step checked, synced to disk and then renamed over the target. Creates
// missing parent folders. Any thread. On any failure (a full disk too) the old
// file stays byte for byte, false is returned and *error says why.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Every value of a settings store as text, by its "group/key" address; a list value is
// joined with ", " as it stands in the file. Any thread, one store per thread.
QMap<QString, QString> settingsTexts(QSettings& store);

// Writes a settings store (an ini file that QSettings reads back, with or without a codec)
// through writeFileAtomically: the store is written whole or not at all, and a failure, a
// full disk too, is returned, never lost inside QSettings. Every value is stored as text.
// The new file never carries the old one's time stamp, so QSettings does not keep showing
// the old values from its cache. Any thread.
bool writeSettingsAtomically(const QString& path, const QMap<QString, QString>& values, QString* error = nullptr);

// Reads a regular file of at most maxBytes bytes. A larger file, a missing file,
// anything but a regular file (a FIFO, a device, a folder) or a read error gives
// false (and *error), never a partial content; it never waits on a writer.
bool readFileBounded(const QString& path, qint64 maxBytes, QByteArray* bytes, QString* error = nullptr);

enum class FileState { Usable, Missing, NotRegular, TooLarge };

// What a reader would find at path: for readers that cannot go through
// readFileBounded (QSettings stores) and must not open anything else. Any thread.
FileState checkReadableFile(const QString& path, qint64 maxBytes, QString* error = nullptr);

// For a settings store the program also writes (QSettings files): a store that
// is no regular file or is larger than maxBytes is damaged; it is renamed to
// path + ".damaged" (kept for the user, never deleted) so that the store starts
// afresh, with one warning in the log. True when path is now usable or absent.
bool setAsideDamagedStore(const QString& path, qint64 maxBytes);

struct SetAsideStore
{
    QString path;    // the store as it was named
    QString keptAs;  // where the damaged file now is
};

// The stores setAsideDamagedStore moved aside since the last call, oldest first, so that the
// user can be told once; the record is emptied. Any thread.
QVector<SetAsideStore> takeSetAsideStores();

// A write the program made on its own behalf (a device cache, the update log, a settings store)
// that failed. The first one after the receiver was set is handed to it, queued on the
// context's thread (at once, or when the receiver is set if none is yet); later ones are only
// logged by their writers, so the user is told once per run. Any thread.
void noteUnsavedWrite(const QString& path);
void setUnsavedWriteReceiver(QObject* context, std::function<void(const QString& path)> tell);

} // namespace core
