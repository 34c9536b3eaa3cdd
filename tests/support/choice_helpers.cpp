#include "support/choice_helpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace choicetest {

QString prepareAppDir()
{
    const QString shipped = QCoreApplication::applicationDirPath();
    const QString dir = QDir::homePath() + QStringLiteral("/app");
    QDir().mkpath(dir + QStringLiteral("/usersetting"));
    QDir().mkpath(dir + QStringLiteral("/Language"));
    QDir().mkpath(dir + QStringLiteral("/bin"));
    QFile::copy(shipped + QStringLiteral("/usersetting/Config.ini"), dir + QStringLiteral("/usersetting/Config.ini"));
    const QDir languages(shipped + QStringLiteral("/Language"));
    for (const QString& file : languages.entryList({QStringLiteral("*.xml")}, QDir::Files))
        QFile::copy(languages.filePath(file), dir + QStringLiteral("/Language/") + file);
    // Pictures are only looked at, never changed: the shipped ones serve.
    QFile::link(shipped + QStringLiteral("/Picture"), dir + QStringLiteral("/Picture"));
    qputenv("TALVO_APP_DIR", dir.toUtf8());
    return dir;
}

QString unpairedReceivers(int count)
{
    static const int kClasses[] = {1, 2, 4, 8};
    QString ini;
    for (int i = 0; i < count; ++i) {
        ini += QStringLiteral("[Receiver%1]\nClass=%2\nMouse=\nModel=%3\nPlugged=true\n")
                   .arg(i + 1)
                   .arg(kClasses[i % 4])
                   .arg(1 + (i / 4) % 2);
    }
    return ini;
}

bool writeFirmwareImage(const QString& binDir, const QString& file, quint8 kind, quint8 cid, quint8 mid,
                        const QByteArray& name, quint32 version)
{
    QByteArray image(728 + 256, '\0');
    for (int i = 0; i < 4; ++i)
        image[16 + i] = char((version >> (8 * i)) & 0xFF);
    image[20] = char(kind);
    image[21] = char(cid);
    image[22] = char(mid);
    image.replace(87, name.size(), name);
    QSaveFile out(binDir + QLatin1Char('/') + file);
    return out.open(QIODevice::WriteOnly) && out.write(image) == image.size() && out.commit();
}

} // namespace choicetest
