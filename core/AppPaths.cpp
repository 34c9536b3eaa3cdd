#include "core/AppPaths.h"

#include "core/Product.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString AppDir()
{
    const QString overridden = qEnvironmentVariable("TALVO_APP_DIR");
    if (!overridden.isEmpty())
        return QDir::cleanPath(overridden);
    return QCoreApplication::applicationDirPath();
}

namespace {

// A folder whose name is no text in the locale's encoding (a Latin-1 name under UTF-8) has no
// QString path that leads back to it: decoding replaces its bytes. It is opened once by its
// bytes and reached through the process's descriptor of it, never through a look-alike.
QString reachableFolder(const QByteArray& bytes)
{
    static QMutex lock;
    static QHash<QByteArray, int> opened;  // kept open for the life of the process
    const QMutexLocker locker(&lock);
    int fd = opened.value(bytes, -1);
    if (fd < 0) {
        for (int slash = bytes.indexOf('/', 1); slash > 0; slash = bytes.indexOf('/', slash + 1))
            ::mkdir(bytes.left(slash).constData(), 0700);
        ::mkdir(bytes.constData(), 0700);
        fd = ::open(bytes.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const QString alias = QStringLiteral("/proc/self/fd/%1").arg(fd);
        if (fd < 0 || !QFileInfo(alias).isDir()) {
            qWarning("folder name not readable as text, nor reachable by descriptor: %s",
                     qPrintable(QFile::decodeName(bytes)));
            if (fd >= 0)
                ::close(fd);
            return QFile::decodeName(bytes);
        }
        opened.insert(bytes, fd);
    }
    return QStringLiteral("/proc/self/fd/%1").arg(fd);
}

} // namespace

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
    const QString path = QFile::decodeName(base);
    if (QFile::encodeName(path) == base)
        return QDir::cleanPath(path);
    return reachableFolder(base);
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
