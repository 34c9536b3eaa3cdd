#include "core/FileIo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMutex>
#include <QMutexLocker>
#include <QSaveFile>
#include <QSet>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcFileIo, "app.core.fileio")

namespace core {

namespace {

// Answers of a folder's fsync that say its file system keeps no folder sync to ask for (FUSE and
// network file systems, some of them only for folders): the rename is as far on the disk as that
// file system takes it.
bool syncNotSupported(int error)
{
    return error == EINVAL || error == EOPNOTSUPP || error == ENOTSUP || error == EPERM || error == EBADF;
}

// Told once per folder: every save in it would say the same.
void noteUnsynced(const QString& folder, const char* what, int error)
{
    static QMutex lock;
    static QSet<QString> told;
    const QMutexLocker locker(&lock);
    if (!told.contains(folder)) {
        told.insert(folder);
        qCWarning(lcFileIo, "%s: %s (%s); a file renamed in it is taken as on the disk", qPrintable(folder), what,
                  std::strerror(error));
    }
}

// A rename reaches the disk with its folder: until the folder is synced a power cut may bring
// back the old name's old file, however well the new one was synced. A folder that cannot be
// opened (write and search rights only) or whose file system does not sync folders is no failed
// save: the new bytes are under the name, as far on the disk as that folder can take them. Only
// an error of the disk itself (EIO, ENOSPC, EDQUOT, ...) fails.
bool syncFolder(const QString& folder, QString* why)
{
    const QByteArray name = QFile::encodeName(folder);
    const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        noteUnsynced(folder, "the folder cannot be opened to sync it", errno);
        return true;
    }
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    if (error == 0)
        return true;
    if (syncNotSupported(error)) {
        noteUnsynced(folder, "its file system does not sync folders", error);
        return true;
    }
    *why = QString::fromLocal8Bit(std::strerror(error));
    return false;
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
