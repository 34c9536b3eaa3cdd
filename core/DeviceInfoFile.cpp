#include "core/DeviceInfoFile.h"

#include "core/AppPaths.h"
#include "core/FileIo.h"
#include "core/FileNotices.h"

#include <QtEndian>

#include <cstring>

namespace {
constexpr int kImageBytes = int(sizeof(FlashDataMap));
constexpr int kLengthBytes = 4;
constexpr int kFileBytes = kLengthBytes + kImageBytes;
}

QString DeviceCacheFileName(quint8 cid, quint8 mid)
{
    auto hex2 = [](quint8 v) { return QString::number(v, 16).toUpper().rightJustified(2, QLatin1Char('0')); };
    return QStringLiteral("Device_CID") + hex2(cid) + QStringLiteral("_MID") + hex2(mid) + QStringLiteral(".bin");
}

QString DeviceCachePath(const QString& fileName)
{
    if (fileName.isEmpty() || fileName.contains(QLatin1Char('/')) || fileName.contains(QLatin1Char('\\'))
        || fileName == QLatin1String(".") || fileName == QLatin1String(".."))
        return QString();
    return DeviceInfoDir() + QLatin1Char('/') + fileName;
}

bool WriteDeviceInfoFile(const QString& fileName, const FlashDataMap& image, QString* error)
{
    const QString path = DeviceCachePath(fileName);
    if (path.isEmpty()) {
        if (error)
            *error = QStringLiteral("not a cache file name: \"%1\"").arg(fileName);
        return false;
    }
    // The same bytes a data stream writes for one byte block: big-endian length, then the block.
    QByteArray content(kLengthBytes, '\0');
    qToBigEndian<quint32>(quint32(kImageBytes), content.data());
    content.append(FlashDataToBytes(image));
    if (core::writeFileAtomically(path, content, error))
        return true;
    core::noteUnsavedWrite(path);
    return false;
}

bool ReadDeviceInfoFile(const QString& fileName, FlashDataMap* image, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!image)
        return fail(QStringLiteral("no image to fill"));
    const QString path = DeviceCachePath(fileName);
    if (path.isEmpty())
        return fail(QStringLiteral("not a cache file name: \"%1\"").arg(fileName));
    QByteArray content;
    if (!core::readFileBounded(path, kFileBytes, &content, error))
        return false;
    if (content.size() != kFileBytes)
        return fail(QStringLiteral("%1: %2 bytes instead of %3").arg(path).arg(content.size()).arg(kFileBytes));
    const quint32 length = qFromBigEndian<quint32>(content.constData());
    if (length != quint32(kImageBytes))
        return fail(QStringLiteral("%1: block of %2 bytes instead of %3").arg(path).arg(length).arg(kImageBytes));
    std::memcpy(image, content.constData() + kLengthBytes, sizeof(FlashDataMap));
    return true;
}
