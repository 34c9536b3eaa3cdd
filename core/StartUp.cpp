#include "core/StartUp.h"

#include "core/AppPaths.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QLoggingCategory>
#include <QTimer>
#include <QWidget>

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
    , m_lock(std::make_unique<QLockFile>(lockPath))
{
    // Age alone never makes the lock stale: a copy may run for weeks. Only a
    // dead owner does.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::TryAcquire()
{
    if (m_owner)
        return true;
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    m_owner = m_lock->tryLock(0);
    if (m_owner || m_lock->error() == QLockFile::LockFailedError)
        return m_owner;
    // No lock can be made at all (folder not writable): starting anyway is
    // better than claiming that another copy runs.
    qCWarning(lcStartUp) << "cannot create the instance lock" << m_path << "error" << m_lock->error();
    return true;
}

QString SingleInstance::DefaultLockPath()
{
    return UserDataDir() + QStringLiteral("/Instance.lock");
}

void ScheduleAutoClose()
{
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("TALVO_AUTOCLOSE_MS", &ok);
    if (!ok || ms <= 0 || !QCoreApplication::instance())
        return;
    QTimer::singleShot(ms, QCoreApplication::instance(), [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
        QApplication::closeAllWindows();
        QCoreApplication::quit();
    });
}
