#include "core/FileIo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace core {

namespace {

// A rename reaches the disk with its folder: until the folder is synced a power cut may bring
// back the old name's old file, however well the new one was synced. A file system that cannot
// sync a folder (EINVAL) keeps its renames in order by itself.
bool syncFolder(const QString& folder, QString* why)
{
    const QByteArray name = QFile::encodeName(folder);
    const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        *why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    if (!synced)
        *why = QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    return synced;
}

} // namespace

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
    // Unbuffered: a buffered save-file pushes small contents out only inside commit(), which
    // does not report that failure, and a full disk would leave an empty file reported as saved.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file.errorString());
    auto cancel = [&file, &fail](const QString& why) {
        file.cancelWriting();
        return fail(why);
    };
    if (file.write(bytes) != bytes.size())
        return cancel(file.errorString());
    // Some file systems tell a lack of space only when the data reaches the disk: that must
    // happen before the new file takes the old one's name.
    if (::fsync(file.handle()) != 0 && errno != EINVAL)
        return cancel(QString::fromLocal8Bit(std::strerror(errno)));
    if (!file.commit())
        return fail(file.errorString());
    QString why;
    if (!syncFolder(info.absolutePath(), &why))
        return fail(QStringLiteral("the folder was not synced: ") + why);
    return true;
}

namespace {

QString tooLarge(qint64 maxBytes)
{
    return QStringLiteral("file is larger than %1 bytes").arg(maxBytes);
}

// Why a stat result is no file to read, or an empty text when it is one.
QString whyNotReadable(const struct stat& st, qint64 maxBytes)
{
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("not a regular file");
    if (st.st_size > maxBytes)
        return tooLarge(maxBytes);
    return QString();
}

} // namespace

FileState checkReadableFile(const QString& path, qint64 maxBytes, QString* error)
{
    struct stat st;
    const QByteArray name = QFile::encodeName(path);
    if (path.isEmpty() || ::stat(name.constData(), &st) != 0) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return FileState::Missing;
    }
    const QString why = whyNotReadable(st, maxBytes);
    if (!why.isEmpty() && error)
        *error = QStringLiteral("%1: %2").arg(path, why);
    if (!S_ISREG(st.st_mode))
        return FileState::NotRegular;
    return why.isEmpty() ? FileState::Usable : FileState::TooLarge;
}

bool readFileBounded(const QString& path, qint64 maxBytes, QByteArray* bytes, QString* error)
{
    auto fail = [error, &path](const QString& why) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    };
    // Opened without waiting and checked on the open descriptor: a FIFO would
    // otherwise block until some writer came, and a name swapped after a check
    // could still lead to one.
    const QByteArray name = QFile::encodeName(path);
    const int fd = path.isEmpty() ? -1 : ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st;
    const QString why =
        ::fstat(fd, &st) != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : whyNotReadable(st, maxBytes);
    if (!why.isEmpty()) {
        ::close(fd);
        return fail(why);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(file.errorString());
    }
    // Read one byte more than allowed: a file that grew since the check is caught too.
    QByteArray content = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    if (content.size() > maxBytes)
        return fail(tooLarge(maxBytes));
    *bytes = content;
    return true;
}

} // namespace core
