#include "core/IniStore.h"

#include "core/FileIo.h"
#include "core/FileNotices.h"
#include "core/IniText.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QLoggingCategory>
#include <QMutexLocker>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <iterator>
#include <sys/stat.h>

Q_LOGGING_CATEGORY(lcIniStore, "app.core.inistore")

namespace core {

namespace {

// QSettings holds its lock for one read and write of a small file.
constexpr int kLockWaitMs = 2000;
// Coarser than any file system's time stamps (FAT keeps two seconds).
constexpr qint64 kSettleNs = qint64(3) * 1000000000;

std::function<void(const QString&)>& afterWriteHook()
{
    static std::function<void(const QString&)> hook;
    return hook;
}

std::atomic<qint64> s_clockAheadNs {0};

qint64 nowNs()
{
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec + s_clockAheadNs;
}

// A store that is no regular file (a FIFO would block its reader for ever) or far too large is
// moved aside, never deleted, so that the store can start afresh. False when it could not be.
bool setAsideDamaged(const QString& path, const QString& why)
{
    QString aside = path + QStringLiteral(".damaged");
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = path + QStringLiteral(".damaged%1").arg(n);
    const bool moved = QFile::rename(path, aside);
    qCWarning(lcIniStore, "%s; %s", qPrintable(why),
              moved ? qPrintable(QStringLiteral("kept as %1, starting afresh").arg(aside))
                    : "cannot move it aside, it is not used");
    if (moved)
        recordSetAsideStore({path, aside});
    return moved;
}

} // namespace

bool IniStore::Identity::operator==(const Identity& other) const
{
    return kind == other.kind && device == other.device && inode == other.inode && size == other.size
           && modifiedNs == other.modifiedNs && changedNs == other.changedNs;
}

bool IniStore::Identity::settled() const
{
    return kind != Kind::Present || lookedNs - changedNs >= kSettleNs;
}

IniStore::Identity IniStore::identityOf(const QString& path)
{
    Identity identity;
    identity.lookedNs = nowNs();
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            identity.kind = Identity::Kind::Missing;
        return identity;
    }
    identity.kind = Identity::Kind::Present;
    identity.device = quint64(st.st_dev);
    identity.inode = quint64(st.st_ino);
    identity.size = qint64(st.st_size);
    identity.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    identity.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return identity;
}

IniStore::IniStore(const QString& path, qint64 maxBytes)
    : m_path(path)
    , m_maxBytes(maxBytes)
{
    const QMutexLocker locker(&m_lock);
    loadLocked(identityOf(path));
}

// With m_lock held. One look at the file; read again when it is another file than the one last
// read or written, or may be one the look cannot tell (an edit of the same size in the same
// clock tick, its time put back). False while its content is not known: it must not be written
// over.
bool IniStore::syncLocked() const
{
    const Identity now = identityOf(m_path);
    if (now != m_seen || !m_seen.settled())
        loadLocked(now);
    return m_known;
}

// With m_lock held: the file as it is now (its identity taken before it is read, so that a change
// made while it is read shows at the next look).
void IniStore::loadLocked(Identity now) const
{
    m_seen = now;
    m_known = false;
    QString why;
    if (now.kind == Identity::Kind::Unknown) {
        qCWarning(lcIniStore, "%s: cannot look at the file; it is not used", qPrintable(m_path));
        return;
    }
    QByteArray bytes;
    switch (now.kind == Identity::Kind::Missing ? FileState::Missing : checkReadableFile(m_path, m_maxBytes, &why)) {
    case FileState::Missing:
        break;
    case FileState::NotRegular:
    case FileState::TooLarge:
        if (!setAsideDamaged(m_path, why))
            return;
        m_seen = identityOf(m_path);
        break;
    case FileState::Usable:
        if (!readFileBounded(m_path, m_maxBytes, &bytes, &why)) {
            // Written from memory alone, it would lose every value the file holds.
            qCWarning(lcIniStore, "%s; it is not used", qPrintable(why));
            return;
        }
        break;
    }
    m_known = true;
    m_bytes = bytes;
    viewLocked();
}

void IniStore::viewLocked() const
{
    m_values = parseIniText(m_bytes);
    for (auto change = m_pending.cbegin(); change != m_pending.cend(); ++change) {
        if (change.value())
            m_values.insert(change.key(), *change.value());
        else
            m_values.remove(change.key());
    }
}

QString IniStore::value(const QString& address, const QString& fallback) const
{
    const QMutexLocker locker(&m_lock);
    syncLocked();
    return m_values.value(address, fallback);
}

bool IniStore::contains(const QString& address) const
{
    const QMutexLocker locker(&m_lock);
    syncLocked();
    return m_values.contains(address);
}

bool IniStore::setValue(const QString& address, const QString& text, QString* error)
{
    const QMutexLocker locker(&m_lock);
    m_pending.insert(address, text);
    m_values.insert(address, text);
    return writeLocked(error);
}

bool IniStore::remove(const QString& address, QString* error)
{
    const QMutexLocker locker(&m_lock);
    const bool known = syncLocked();
    m_values.remove(address);
    // Only a value in the file needs a write to go: one the program set that never reached it
    // goes with its change. A file that cannot be read holds nothing the store knows of, and
    // goes without the value once it can be written.
    if (!parseIniText(m_bytes).contains(address)) {
        if (known)
            m_pending.remove(address);
        else
            m_pending.insert(address, std::nullopt);
        return true;
    }
    // A removal that failed to reach the file is still pending, and is tried again.
    m_pending.insert(address, std::nullopt);
    return writeLocked(error);
}

void IniStore::setAfterWriteForTesting(std::function<void(const QString& path)> hook)
{
    afterWriteHook() = std::move(hook);
}

void IniStore::setClockAheadForTesting(qint64 ns)
{
    s_clockAheadNs = ns;
}

bool IniStore::writeLocked(QString* error)
{
    // Writers through QSettings take this lock around their read and write; taken here too, none
    // of them writes between this store's read and its write. One that holds it far longer than
    // a write takes (a hung process) does not keep the program's values from the file.
    QLockFile guard(m_path + QStringLiteral(".lock"));
    if (!guard.tryLock(kLockWaitMs) && guard.error() == QLockFile::LockFailedError)
        qCWarning(lcIniStore, "%s: another writer keeps it locked; written all the same", qPrintable(m_path));
    if (!syncLocked()) {
        if (error)
            *error = QStringLiteral("%1: the file could not be read, so it is not written over").arg(m_path);
        return false;
    }
    dropHeldLocked();
    const QByteArray bytes = editIniText(m_bytes, m_pending);
    if (bytes == m_bytes) {
        m_pending.clear();
        return true;
    }
    if (!writeFileAtomically(m_path, bytes, error))
        return false;
    if (afterWriteHook())
        afterWriteHook()(m_path);
    m_bytes = bytes;
    m_pending.clear();
    // Taken after the rename: another writer's edit in between bears the same tick and maybe the
    // same size, so this look is not settled and the next one confirms the bytes.
    m_seen = identityOf(m_path);
    viewLocked();
    return true;
}

// With m_lock held and the file read. A change the file already holds is no change of the
// program's: kept pending past a failed write, it would hide, and at the next write undo, a
// later change of that value by another writer.
void IniStore::dropHeldLocked()
{
    const QMap<QString, QString> texts = parsePlainIniText(m_bytes);
    const QMap<QString, QString> present = parseIniText(m_bytes);
    for (auto change = m_pending.begin(); change != m_pending.end();) {
        const bool held = change.value() ? texts.contains(change.key()) && texts.value(change.key()) == *change.value()
                                         : !present.contains(change.key());
        change = held ? m_pending.erase(change) : std::next(change);
    }
}

} // namespace core
