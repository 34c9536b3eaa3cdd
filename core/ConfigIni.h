#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

// Read access to the device table and skin colours shipped beside the program
// in "/usersetting/Config.ini". The file is read once, when the instance is
// made, into an immutable table; afterwards any thread may read without a
// lock. The program never writes this file.
//
// Thirteen identity keys ("MM", "DM", "D2M", "D4M", "D8M", "Sensor", "CID",
// "VID", "USB_PID", "Wireless_PID", "Wireless2_PID", "Wireless4_PID",
// "Wireless8_PID") hold Base64 of UTF-8 text; they are decoded and stripped of
// line breaks and spaces on every read. All other keys are returned as stored.
// "Option"/"DeviceTotal" reads as at most the highest n of the "Drive" + n
// groups the file holds, with one warning when it says more; a total that is
// missing, negative or no number reads as 0 and marks the file damaged.
class ConfigIni
{
public:
    // The shipped table is a few kilobytes; a larger file, or no regular file, is damaged and
    // read as missing.
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;

    // The process-wide instance over ConfigIniPath(); made on first call under
    // a mutex, so any thread may be first. Never deleted.
    static ConfigIni* GetInstance();

    // An independent store over another file (tests, tools).
    explicit ConfigIni(const QString& path);

    // Text of group/key; empty when missing. A value stored as a list
    // ("a, b") reads as empty here, as lists do in ini files: use
    // GetValueList for lists.
    QString GetValue(const QString& group, const QString& key) const;
    QStringList GetValueList(const QString& group, const QString& key) const;

    // Convenience: GetValue as a decimal number, fallback when missing or not a number.
    int GetInt(const QString& group, const QString& key, int fallback = 0) const;

    bool Contains(const QString& group, const QString& key) const;
    bool IsLoaded() const { return m_loaded; }
    // The file was read but its "DeviceTotal" is no count of devices.
    bool DeviceTotalDamaged() const { return m_deviceTotalDamaged; }
    // The verdict of the start-up check: the file was there as a regular file of bounded size
    // and can list devices. A malformed line alone does not make it unusable.
    bool IsUsable() const { return m_readable && !m_deviceTotalDamaged; }
    QString FilePath() const { return m_path; }

    static bool IsIdentityKey(const QString& key);
    // Base64 -> UTF-8 text, "\n" and " " removed.
    static QString DecodeIdentity(const QString& stored);

private:
    void boundDeviceTotal();

    QString m_path;
    bool m_loaded = false;
    bool m_readable = false;
    bool m_deviceTotalDamaged = false;
    QHash<QString, QVariant> m_values;   // "group/key" -> value as read
};
