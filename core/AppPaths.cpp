#include "core/AppPaths.h"

#include "core/Product.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString AppDir()
{
    const QString overridden = qEnvironmentVariable("TALVO_APP_DIR");
    if (!overridden.isEmpty())
        return QDir::cleanPath(overridden);
    return QCoreApplication::applicationDirPath();
}

QString UserDataDir()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    // The XDG rules ignore a relative value: it would depend on the working folder.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base) + QLatin1Char('/') + QLatin1String(ProductName);
}

QStringList UserSubDirs()
{
    return {QStringLiteral("/Log"),
            QStringLiteral("/Device_Info"),
            QStringLiteral("/Exception"),
            QStringLiteral("/usersetting"),
            QStringLiteral("/usersetting/MainPage"),
            QStringLiteral("/usersetting/MacroPage"),
            QStringLiteral("/usersetting/SensorPage")};
}

QString ConfigIniPath() { return AppDir() + QStringLiteral("/usersetting/Config.ini"); }
QString MacroIniPath() { return UserDataDir() + QStringLiteral("/Macro.ini"); }
QString DeviceInfoDir() { return UserDataDir() + QStringLiteral("/Device_Info"); }
QString ExceptionDir() { return UserDataDir() + QStringLiteral("/Exception"); }
QString LogDir() { return UserDataDir() + QStringLiteral("/Log"); }

QStringList MissingShippedData()
{
    struct Shipped
    {
        const char* name;
        bool folder;
    };
    static constexpr Shipped kShipped[] = {
        {"/usersetting/Config.ini", false}, {"/Language", true}, {"/Picture", true}, {"/driver_sensor.h", false}};
    QStringList missing;
    for (const Shipped& item : kShipped) {
        const QFileInfo info(AppDir() + QLatin1String(item.name));
        if (item.folder ? !info.isDir() : !info.isFile())
            missing << QLatin1String(item.name);
    }
    return missing;
}
