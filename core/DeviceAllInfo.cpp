#include "core/DeviceAllInfo.h"

#include "core/ProcessState.h"

#include <QMutex>
#include <QMutexLocker>

DeviceAllInfo CurrentDeviceInfo;

QMutex& DeviceInfoMutex()
{
    static QMutex mutex;
    return mutex;
}

DeviceAllInfo CurrentDeviceInfoCopy()
{
    QMutexLocker locker(&DeviceInfoMutex());
    return CurrentDeviceInfo;
}

void StoreCurrentDeviceInfo(const DeviceAllInfo& info)
{
    QMutexLocker locker(&DeviceInfoMutex());
    CurrentDeviceInfo = info;
}

void DeviceAllInfo::SetDeviceKind(quint8 kind)
{
    DeviceKind = kind;
    RestrictedKind = IsRestrictedKind(kind);
}

bool DeviceAllInfo::IsRestrictedKind(quint8 kind)
{
    return (kind & 0xFA) != 0;
}

QString DeviceAllInfo::VersionTextOf(quint32 version)
{
    return QStringLiteral("v%1.%2").arg(version >> 8).arg(version & 0xFF, 0, 16);
}
