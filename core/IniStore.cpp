#include "core/IniStore.h"

#include "core/FileIo.h"
#include "core/FileNotices.h"
#include "core/IniText.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMutexLocker>

Q_LOGGING_CATEGORY(lcIniStore, "app.core.inistore")

namespace core {

namespace {

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

IniStore::IniStore(const QString& path, qint64 maxBytes)
    : m_path(path)
{
    QString why;
    switch (checkReadableFile(path, maxBytes, &why)) {
    case FileState::Missing:
        return;
    case FileState::NotRegular:
    case FileState::TooLarge:
        m_writable = setAsideDamaged(path, why);
        return;
    case FileState::Usable:
        break;
    }
    QByteArray bytes;
    if (!readFileBounded(path, maxBytes, &bytes, &why)) {
        // Written from memory alone, it would lose every value the file holds.
        qCWarning(lcIniStore, "%s; it is not used", qPrintable(why));
        m_writable = false;
        return;
    }
    m_values = parseIniText(bytes);
}

QString IniStore::value(const QString& address, const QString& fallback) const
{
    const QMutexLocker locker(&m_lock);
    return m_values.value(address, fallback);
}

bool IniStore::contains(const QString& address) const
{
    const QMutexLocker locker(&m_lock);
    return m_values.contains(address);
}

bool IniStore::setValue(const QString& address, const QString& text, QString* error)
{
    const QMutexLocker locker(&m_lock);
    m_values.insert(address, text);
    return writeLocked(error);
}

bool IniStore::remove(const QString& address, QString* error)
{
    const QMutexLocker locker(&m_lock);
    return m_values.remove(address) == 0 || writeLocked(error);
}

bool IniStore::writeLocked(QString* error)
{
    if (m_writable)
        return writeFileAtomically(m_path, iniFileText(m_values), error);
    if (error)
        *error = QStringLiteral("%1: the file could not be read, so it is not written over").arg(m_path);
    return false;
}

} // namespace core
