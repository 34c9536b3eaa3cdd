#include "core/AppPaths.h"

#include "core/Product.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>

QString AppDir()
{
    const QString overridden = qEnvironmentVariable("TALVO_APP_DIR");
    if (!overridden.isEmpty())
        return QDir::cleanPath(overridden);
    return QCoreApplication::applicationDirPath();
}

QString UserBaseDir(const char* variable, const char* underHome)
{
    // Bytes as the environment holds them: Qt decodes file names from the locale's encoding.
    QByteArray base = qgetenv(variable);
    // The XDG rules ignore a relative value: it would depend on the working folder.
    if (!base.startsWith('/')) {
        base = qgetenv("HOME");
        if (!base.startsWith('/'))
            base = QFile::encodeName(QDir::homePath());
        base += underHome;
    }
    // The locale codec main installs reads every byte string into a path that leads back to it.
    const QString path = QFile::decodeName(base);
    static std::atomic<bool> warned{false};
    if (QFile::encodeName(path) != base && !warned.exchange(true))
        qWarning("folder name is no text in the locale's encoding, and no codec keeps its bytes: %s",
                 base.constData());
    return QDir::cleanPath(path);
}

QString UserDataDir()
{
    return UserBaseDir("XDG_DATA_HOME", "/.local/share") + QLatin1Char('/') + QLatin1String(ProductName);
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
