#include "core/Registry.h"

#include "core/AppPaths.h"
#include "core/FileNotices.h"
#include "core/Product.h"

#include <QLoggingCategory>
#include <QMutex>
#include <QMutexLocker>

#include <memory>

namespace {
Q_LOGGING_CATEGORY(lcRegistry, "app.core.registry")

// The store holds a few short values.
constexpr qint64 kMaxStoreBytes = 1024 * 1024;

QMutex& storeLock()
{
    static QMutex lock;
    return lock;
}

// With storeLock held. The store of the config folder named now, made again only when that
// folder changes (a test moves it); the store itself follows changes of its file.
core::IniStore& store()
{
    static std::unique_ptr<core::IniStore> current;
    const QString path = Registry::FilePath();
    if (!current || current->path() != path)
        current = std::make_unique<core::IniStore>(path, kMaxStoreBytes);
    return *current;
}

// Registry paths use backslashes; settings groups use slashes.
QString addressOf(const QString& keyPath, const QString& name)
{
    QString group = keyPath;
    group.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return group + QLatin1Char('/') + name;
}

bool written(bool ok, const QString& path, const QString& error)
{
    if (ok)
        return true;
    qCWarning(lcRegistry, "cannot write: %s", qPrintable(error));
    // Nothing the user chose lives here: the program's own records, told once per run.
    core::noteUnsavedWrite(path);
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

QString Value(const QString& keyPath, const QString& name, const QString& fallback)
{
    const QMutexLocker locker(&storeLock());
    return store().value(addressOf(keyPath, name), fallback);
}

bool Contains(const QString& keyPath, const QString& name)
{
    const QMutexLocker locker(&storeLock());
    return store().contains(addressOf(keyPath, name));
}

bool SetValue(const QString& keyPath, const QString& name, const QString& value)
{
    const QMutexLocker locker(&storeLock());
    core::IniStore& values = store();
    QString error;
    return written(values.setValue(addressOf(keyPath, name), value, &error), values.path(), error);
}

bool Remove(const QString& keyPath, const QString& name)
{
    const QMutexLocker locker(&storeLock());
    core::IniStore& values = store();
    QString error;
    return written(values.remove(addressOf(keyPath, name), &error), values.path(), error);
}

} // namespace Registry
