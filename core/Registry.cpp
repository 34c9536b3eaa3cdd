#include "core/Registry.h"

#include "core/AppPaths.h"
#include "core/FileIo.h"
#include "core/Product.h"

#include <QDir>
#include <QLoggingCategory>
#include <QMutex>
#include <QMutexLocker>
#include <QSettings>
#include <QStandardPaths>

namespace {
Q_LOGGING_CATEGORY(lcRegistry, "app.core.registry")

QMutex& storeLock()
{
    static QMutex lock;
    return lock;
}

// Registry paths use backslashes; settings groups use slashes.
QString addressOf(const QString& keyPath, const QString& name)
{
    QString group = keyPath;
    group.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return group + QLatin1Char('/') + name;
}

// The store holds a few short values.
constexpr qint64 kMaxStoreBytes = 1024 * 1024;

// QSettings would block on a FIFO and read any size whole: a damaged store is set aside before
// each use; false when it could not be, and then it is not opened at all.
bool storeUsable()
{
    return core::setAsideDamagedStore(Registry::FilePath(), kMaxStoreBytes);
}

// Not through QSettings: its writer reports success when a full disk leaves the file empty.
bool writeStore(const QMap<QString, QString>& values)
{
    QString error;
    if (core::writeSettingsAtomically(Registry::FilePath(), values, &error))
        return true;
    qCWarning(lcRegistry, "cannot write: %s", qPrintable(error));
    // Nothing the user chose lives here: the program's own records, told once per run.
    core::noteUnsavedWrite(Registry::FilePath());
    return false;
}

} // namespace

namespace Registry {

QString InstallerKey()
{
    const QString p = QLatin1String(ProductName);
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\") + p + QLatin1Char('\\') + p + QLatin1Char('\\') + p;
}

QString DriveTestKey()
{
    const QString p = QLatin1String(ProductName);
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\") + p + QLatin1Char('\\') + p
           + QStringLiteral("\\Mouse Drive Test");
}

QString RunKey()
{
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
}

QString FilePath()
{
    return UserBaseDir("XDG_CONFIG_HOME", "/.config") + QLatin1Char('/') + QLatin1String(ProductName)
           + QStringLiteral(".ini");
}

QVariant Value(const QString& keyPath, const QString& name, const QVariant& fallback)
{
    QMutexLocker locker(&storeLock());
    if (!storeUsable())
        return fallback;
    QSettings store(FilePath(), QSettings::IniFormat);
    return store.value(addressOf(keyPath, name), fallback);
}

bool Contains(const QString& keyPath, const QString& name)
{
    QMutexLocker locker(&storeLock());
    if (!storeUsable())
        return false;
    QSettings store(FilePath(), QSettings::IniFormat);
    return store.contains(addressOf(keyPath, name));
}

bool SetValue(const QString& keyPath, const QString& name, const QVariant& value)
{
    QMutexLocker locker(&storeLock());
    if (!storeUsable())
        return false;
    QSettings store(FilePath(), QSettings::IniFormat);
    QMap<QString, QString> values = core::settingsTexts(store);
    values.insert(addressOf(keyPath, name), value.toString());
    return writeStore(values);
}

bool Remove(const QString& keyPath, const QString& name)
{
    QMutexLocker locker(&storeLock());
    if (!storeUsable())
        return false;
    QSettings store(FilePath(), QSettings::IniFormat);
    QMap<QString, QString> values = core::settingsTexts(store);
    return values.remove(addressOf(keyPath, name)) == 0 || writeStore(values);
}

} // namespace Registry
