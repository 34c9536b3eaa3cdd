#include "core/FileIo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace core {

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    auto fail = [error, &path](const QString& why) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    };
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return fail(QStringLiteral("cannot create the folder"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

bool readFileBounded(const QString& path, qint64 maxBytes, QByteArray* bytes, QString* error)
{
    auto fail = [error, &path](const QString& why) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    if (file.size() > maxBytes)
        return fail(QStringLiteral("file is larger than %1 bytes").arg(maxBytes));
    // Read one byte more than allowed: a file that grew since size() is caught too.
    QByteArray content = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    if (content.size() > maxBytes)
        return fail(QStringLiteral("file is larger than %1 bytes").arg(maxBytes));
    *bytes = content;
    return true;
}

} // namespace core
