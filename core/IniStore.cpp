#include "core/IniStore.h"

#include "core/FileIo.h"
#include "core/FileNotices.h"
#include "core/IniText.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QLoggingCategory>
#include <QMutexLocker>

#include <cerrno>
#include <sys/stat.h>

Q_LOGGING_CATEGORY(lcIniStore, "app.core.inistore")

namespace core {

namespace {

// QSettings holds its lock for one read and write of a small file.
constexpr int kLockWaitMs = 2000;

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

IniStore::Identity IniStore::identityOf(const QString& path)
{
    Identity identity;
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

// With m_lock held. One look at the file; read again only when it is another file than the one
// last read or written. False while its content is not known: it must not be written over.
bool IniStore::syncLocked() const
{
    const Identity now = identityOf(m_path);
    if (now != m_seen)
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
    syncLocked();
    // A removal that failed to reach the file is still pending, and is tried again.
    if (!m_values.contains(address) && !m_pending.contains(address))
        return true;
    m_pending.insert(address, std::nullopt);
    m_values.remove(address);
    return writeLocked(error);
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
    const QByteArray bytes = editIniText(m_bytes, m_pending);
    if (bytes == m_bytes) {
        m_pending.clear();
        return true;
    }
    if (!writeFileAtomically(m_path, bytes, error))
        return false;
    m_bytes = bytes;
    m_pending.clear();
    m_seen = identityOf(m_path);
    // Another writer that replaced the file between the rename and that look is caught by the
    // size at least: the next use reads the file again.
    if (m_seen.size != bytes.size())
        m_seen = Identity();
    viewLocked();
    return true;
}

} // namespace core
