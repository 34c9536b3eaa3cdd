#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>

class QMutex;

// One mouse or receiver found on the bus: where the device library reaches it,
// how it identifies itself and which "Drive" group of Config.ini describes it.
// A plain value: copies are member-wise.
class DeviceAllInfo
{
public:
    QString DevicePath;
    QString Vid = QStringLiteral("0");
    QString Pid = QStringLiteral("0");
    quint8 Cid = 0;
    quint8 Mid = 0;
    quint8 DeviceKind = 0;
    qint32 DriveIndex = 0;      // "Drive" + (DriveIndex + 1); -1 or DeviceTotal when none
    bool Online = false;
    bool RestrictedKind = false;
    QString UsbVersionText;
    QString VersionText;
    QByteArray UsbAddress;      // receiver address bytes, empty when unknown

    // Stores the kind and the restricted-kind flag that follows from it.
    void SetDeviceKind(quint8 kind);

    // Kinds other than 0, 1, 4 and 5 (any bit besides bits 0 and 2).
    static bool IsRestrictedKind(quint8 kind);

    // "v" + high byte in decimal + "." + low byte in lower-case hexadecimal:
    // 0x0312 gives "v3.12", 0x010A gives "v1.a". Bits above 15 count in the
    // decimal part, as the device library's 32-bit answers may carry them.
    static QString VersionTextOf(quint32 version);
};

// The open device's record, CurrentDeviceInfo (core/ProcessState.h): several
// threads read and write it, so every direct access holds DeviceInfoMutex().
QMutex& DeviceInfoMutex();
DeviceAllInfo CurrentDeviceInfoCopy();
void StoreCurrentDeviceInfo(const DeviceAllInfo& info);

Q_DECLARE_METATYPE(DeviceAllInfo)
