#include "settings/FormSettingFirmware.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

namespace settings {

namespace {

constexpr int kVersionOffset = 16;
constexpr int kKindOffset = 20;
constexpr int kCidOffset = 21;
constexpr int kMidOffset = 22;
constexpr int kNameOffset = 87;
constexpr int kNameSize = 64;
// Images are a few hundred kilobytes; anything far larger is not one of ours
// and is not read into memory.
constexpr qint64 kMaxImageSize = 32 * 1024 * 1024;

QString withoutV(QString text)
{
    return text.remove(QLatin1Char('v'));
}

} // namespace

bool parseFirmwareHeader(const QByteArray& image, FirmwareHeader* header)
{
    if (image.size() < kImageHeaderSize)
        return false;
    const auto* bytes = reinterpret_cast<const uchar*>(image.constData());
    header->version = qFromLittleEndian<quint32>(bytes + kVersionOffset);
    header->kind = bytes[kKindOffset];
    header->cid = bytes[kCidOffset];
    header->mid = bytes[kMidOffset];
    const QByteArray field = image.mid(kNameOffset, kNameSize);
    const int nul = field.indexOf('\0');
    header->name = nul < 0 ? field : field.left(nul);
    return true;
}

QString firmwareVersionText(quint32 version)
{
    return QStringLiteral("v%1.%2").arg(version >> 8).arg(version & 0xFF, 0, 16);
}

int receiverClassOfKind(int deviceKind)
{
    switch (deviceKind) {
    case 0: return 1;
    case 4: return 2;
    case 1: return 4;
    case 5: return 8;
    default: return 0;
    }
}

QString receiverImageKey(int receiverClass)
{
    switch (receiverClass) {
    case 1: return QStringLiteral("DM");
    case 2: return QStringLiteral("D2M");
    case 4: return QStringLiteral("D4M");
    case 8: return QStringLiteral("D8M");
    default: return QString();
    }
}

SearchOutcome findFirmwareImage(const QString& appDir, const FirmwareQuery& query, QByteArray* image)
{
    image->clear();
    const QDir folder(appDir + QStringLiteral("/bin"));
    if (!folder.exists())
        return SearchOutcome::NoFolder;
    const QString current = query.currentVersion.isEmpty() ? QStringLiteral("0.0") : withoutV(query.currentVersion);
    const QStringList files =
        folder.entryList({QStringLiteral("*.bin")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    SearchOutcome outcome = SearchOutcome::NotFound;
    for (const QString& fileName : files) {
        QFile file(folder.filePath(fileName));
        if (!file.open(QIODevice::ReadOnly)) {
            image->clear();
            return SearchOutcome::Unreadable;
        }
        if (file.size() < kImageHeaderSize || file.size() > kMaxImageSize)
            continue;
        const QByteArray content = file.readAll();
        FirmwareHeader header;
        if (!parseFirmwareHeader(content, &header) || header.kind != query.kind || header.cid != query.cid
            || header.mid != query.mid || QString::fromLocal8Bit(header.name) != query.imageName)
            continue;
        if (!query.currentVersion.isEmpty() && withoutV(firmwareVersionText(header.version)) == current)
            continue;
        *image = content;
        outcome = SearchOutcome::Found;
    }
    return outcome;
}

} // namespace settings
