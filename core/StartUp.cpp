#include "core/StartUp.h"

#include "core/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <sys/file.h>
#include <unistd.h>

namespace {
Q_LOGGING_CATEGORY(lcStartUp, "app.core.startup")
constexpr quint32 kSecondsPerDay = 86400;
constexpr quint32 kKeptDays = 7;
}

void PrepareUserFolders()
{
    const QString base = UserDataDir();
    for (const QString& sub : UserSubDirs()) {
        const QString path = base + sub;
        if (!QDir(path).exists() && !QDir().mkpath(path))
            qCWarning(lcStartUp) << "cannot create folder" << path;
    }
    QFile macroIni(MacroIniPath());
    // NewOnly: created empty only when absent, an existing file is never truncated.
    if (!macroIni.exists() && !macroIni.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        qCWarning(lcStartUp) << "cannot create" << macroIni.fileName() << macroIni.errorString();
}

void DeleteOldFiles(const QString& folder, const QDateTime& now)
{
    const qint64 nowSecs = now.toSecsSinceEpoch();
    // One snapshot of the listing: every entry present at entry is looked at once.
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir())
            continue;
        const quint32 ageSecs = quint32(nowSecs - entry.lastModified().toSecsSinceEpoch());
        if (ageSecs / kSecondsPerDay > kKeptDays && !QFile::remove(entry.absoluteFilePath()))
            qCWarning(lcStartUp) << "cannot remove old file" << entry.absoluteFilePath();
    }
}

void DeleteOldFiles(const QString& folder)
{
    DeleteOldFiles(folder, QDateTime::currentDateTime());
}

SingleInstance::SingleInstance(const QString& lockPath)
    : m_path(lockPath)
{
}

SingleInstance::~SingleInstance()
{
    // Closing the descriptor drops the lock. The file itself stays: removing
    // it could let a starting copy lock a file that is about to vanish.
    if (m_fd >= 0)
        ::close(m_fd);
}

bool SingleInstance::TryAcquire()
{
    if (m_owner)
        return true;
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    if (m_fd < 0) {
        // Close-on-exec: a program started from here (a browser for the web
        // link) must not inherit the lock and keep it after we end.
        const QByteArray path = QFile::encodeName(m_path);
        m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        // A lock file left read-only still takes the lock; only the owner note is lost.
        if (m_fd < 0 && errno == EACCES)
            m_fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (m_fd < 0) {
            // No lock can be made at all (folder not writable): starting anyway
            // is better than claiming that another copy runs.
            qCWarning(lcStartUp) << "cannot create the instance lock" << m_path << std::strerror(errno);
            return true;
        }
    }
    int locked;
    do
        locked = ::flock(m_fd, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        if (errno == EWOULDBLOCK)
            return false;
        qCWarning(lcStartUp) << "cannot lock" << m_path << std::strerror(errno);
        return true;
    }
    m_owner = true;
    // The owner's process id, for people looking at the folder; nobody parses it.
    const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
    if (::ftruncate(m_fd, 0) != 0 || ::pwrite(m_fd, pid.constData(), size_t(pid.size()), 0) != pid.size())
        qCDebug(lcStartUp) << "cannot note the owner in" << m_path;
    return true;
}

QString SingleInstance::DefaultLockPath()
{
    return UserDataDir() + QStringLiteral("/Instance.lock");
}

namespace core {

namespace {
// Pictures of a few hundred kilobytes are decoded, converted and dropped in start-up; below this
// size the heap's own reuse serves better than a mapping per block.
constexpr int kMapThresholdBytes = 128 * 1024;
constexpr int kTrimThresholdBytes = 256 * 1024;
} // namespace

void TuneHeapForLargeBlocks()
{
#if defined(__GLIBC__)
    // Setting them fixes them: the allocator no longer raises the threshold after each freed
    // mapping, which would leave every later picture in the heap.
    mallopt(M_MMAP_THRESHOLD, kMapThresholdBytes);
    mallopt(M_TRIM_THRESHOLD, kTrimThresholdBytes);
#endif
}

void UseRasterWindowsOnly()
{
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
}

void KeepLocalTimeZone()
{
    if (!qEnvironmentVariableIsSet("TZ"))
        qputenv("TZ", ":/etc/localtime");
}

void releaseFreeHeap()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace core
