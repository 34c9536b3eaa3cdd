#pragma once

#include <QByteArray>
#include <QString>

namespace core {

// Writes the whole content or nothing: a save-file is filled without buffering,
// each step checked, synced to disk and then renamed over the target, and the
// folder synced so that the new name is on the disk too. Creates
// missing parent folders. Any thread. On any failure (a full disk too) the old
// file stays byte for byte, false is returned and *error says why; only a folder
// sync that fails after the rename (a failing disk: EIO, ENOSPC, ...) gives false
// with the new file under the name. A folder that cannot be opened, or whose file
// system does not sync folders, counts as synced (logged once per folder).
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Reads a regular file of at most maxBytes bytes. A larger file, a missing file,
// anything but a regular file (a FIFO, a device, a folder) or a read error gives
// false (and *error), never a partial content; it never waits on a writer.
bool readFileBounded(const QString& path, qint64 maxBytes, QByteArray* bytes, QString* error = nullptr);

enum class FileState { Usable, Missing, NotRegular, TooLarge };

// What a reader would find at path, without opening it: for readers that cannot go through
// readFileBounded (QSettings over the shipped table) and for checks of presence. Any thread.
FileState checkReadableFile(const QString& path, qint64 maxBytes, QString* error = nullptr);

} // namespace core
