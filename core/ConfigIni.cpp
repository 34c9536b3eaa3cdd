#include "core/ConfigIni.h"

#include "core/AppPaths.h"
#include "core/FileIo.h"

#include <QLoggingCategory>
#include <QMutex>
#include <QMutexLocker>
#include <QSettings>
#include <QTextCodec>

#include <iterator>

namespace {
Q_LOGGING_CATEGORY(lcConfigIni, "app.core.config")

// Keys stored as Base64 of UTF-8 text.
constexpr const char* kIdentityKeys[] = {"MM", "DM", "D2M", "D4M", "D8M",
                                         "Sensor", "CID", "VID", "USB_PID", "Wireless_PID",
                                         "Wireless2_PID", "Wireless4_PID", "Wireless8_PID"};

QString addressOf(const QString& group, const QString& key)
{
    return group + QLatin1Char('/') + key;
}

// Highest n of the groups "Drive" + n (n = 1 .. limit) that hold at least one key; 0 for none.
int highestDriveGroup(const QHash<QString, QVariant>& values, int limit)
{
    int highest = 0;
    const QLatin1String prefix("Drive");
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const QString& address = it.key();
        const int slash = address.indexOf(QLatin1Char('/'));
        if (slash <= prefix.size() || !address.startsWith(prefix))
            continue;
        bool ok = false;
        const int n = address.midRef(prefix.size(), slash - prefix.size()).toInt(&ok, 10);
        if (ok && n >= 1 && n <= limit)
            highest = qMax(highest, n);
    }
    return highest;
}

} // namespace

ConfigIni* ConfigIni::GetInstance()
{
    static QMutex creation;
    static ConfigIni* instance = nullptr;
    QMutexLocker locker(&creation);
    if (!instance)
        instance = new ConfigIni(ConfigIniPath());
    return instance;
}

ConfigIni::ConfigIni(const QString& path)
    : m_path(path)
{
    QString why;
    if (core::checkReadableFile(path, kMaxFileBytes, &why) != core::FileState::Usable) {
        qCWarning(lcConfigIni) << "device table missing or damaged:" << why;
        return;
    }
    m_readable = true;
    QSettings settings(path, QSettings::IniFormat);
    settings.setIniCodec(QTextCodec::codecForName("UTF-8"));
    const QStringList keys = settings.allKeys();
    for (const QString& key : keys)
        m_values.insert(key, settings.value(key));
    if (settings.status() != QSettings::NoError)
        qCWarning(lcConfigIni) << "device table is malformed, read what could be parsed:" << path;
    m_loaded = settings.status() == QSettings::NoError;
    boundDeviceTotal();
}

// Every device scan loops over 1 .. "DeviceTotal" and sizes its tables by it: a count far beyond
// the groups the file holds would only burn time and memory, so it is cut to the highest group
// there. Groups may be numbered with gaps; a scan skips a missing one, so none past a gap is lost.
void ConfigIni::boundDeviceTotal()
{
    const QString address = addressOf(QStringLiteral("Option"), QStringLiteral("DeviceTotal"));
    bool ok = false;
    const QString text = m_values.value(address).toString().trimmed();
    const int stated = text.toInt(&ok, 10);
    if (!ok || stated < 0) {
        // No device could ever be listed: the file is damaged, not merely short of devices.
        qCWarning(lcConfigIni, "%s: DeviceTotal \"%s\" is no count of devices", qPrintable(m_path),
                  qPrintable(text));
        m_deviceTotalDamaged = true;
        m_values.insert(address, QStringLiteral("0"));
        return;
    }
    const int highest = highestDriveGroup(m_values, stated);
    if (stated <= highest)
        return;
    qCWarning(lcConfigIni, "%s: DeviceTotal=%d but the highest \"Drive\" group is %d; using %d",
              qPrintable(m_path), stated, highest, highest);
    m_values.insert(address, QString::number(highest));
}

bool ConfigIni::IsIdentityKey(const QString& key)
{
    for (const char* identity : kIdentityKeys) {
        if (key == QLatin1String(identity))
            return true;
    }
    return false;
}

QString ConfigIni::DecodeIdentity(const QString& stored)
{
    QString text = QString::fromUtf8(QByteArray::fromBase64(stored.toUtf8()));
    text.remove(QLatin1Char('\n'));
    text.remove(QLatin1Char(' '));
    return text;
}

QString ConfigIni::GetValue(const QString& group, const QString& key) const
{
    const QString value = m_values.value(addressOf(group, key)).toString();
    return IsIdentityKey(key) ? DecodeIdentity(value) : value;
}

QStringList ConfigIni::GetValueList(const QString& group, const QString& key) const
{
    QStringList items = m_values.value(addressOf(group, key)).toStringList();
    if (IsIdentityKey(key)) {
        for (QString& item : items)
            item = DecodeIdentity(item);
    }
    return items;
}

int ConfigIni::GetInt(const QString& group, const QString& key, int fallback) const
{
    bool ok = false;
    const int value = GetValue(group, key).trimmed().toInt(&ok, 10);
    return ok ? value : fallback;
}

bool ConfigIni::Contains(const QString& group, const QString& key) const
{
    return m_values.contains(addressOf(group, key));
}
