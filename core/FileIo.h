#pragma once

#include <QByteArray>
#include <QString>

namespace core {

// Writes the whole content or nothing: a save-file is filled, its byte count
// checked and then renamed over the target. Creates missing parent folders.
// Any thread. On failure the old file stays and *error says why.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Reads a file of at most maxBytes bytes. A larger file, a missing file or a
// read error gives false (and *error), never a partial content.
bool readFileBounded(const QString& path, qint64 maxBytes, QByteArray* bytes, QString* error = nullptr);

} // namespace core
