#include "dialogs/UpDataParamImport.h"

#include "core/DeviceReport.h"
#include "core/FileIo.h"

#include <QDataStream>
#include <QLoggingCategory>

#include <cstring>

namespace {
Q_LOGGING_CATEGORY(lcImport, "app.dialogs.import")
} // namespace

namespace dialogs {

namespace {

// One length-prefixed block, refused when its length exceeds `room` or the data ends early.
bool readBlock(QDataStream& in, quint32 room, QByteArray* block)
{
    quint32 length = 0;
    in >> length;
    if (in.status() != QDataStream::Ok || length > room)
        return false;
    block->resize(int(length));
    return in.readRawData(block->data(), int(length)) == int(length);
}

QByteArray textUpToNul(const QByteArray& block)
{
    const int nul = block.indexOf('\0');
    return nul < 0 ? block : block.left(nul);
}

// The text, cut to leave room for its zero byte without splitting a UTF-8 character.
QByteArray paddedText(const QByteArray& text)
{
    QByteArray block = text.left(kSettingsTextBlock - 1);
    if (block.size() < text.size()) {
        while (!block.isEmpty() && (quint8(text.at(block.size())) & 0xC0) == 0x80)
            block.chop(1);
    }
    block.append(QByteArray(kSettingsTextBlock - block.size(), '\0'));
    return block;
}

// Rows of the sensor-mode choice; the device reports no other.
constexpr int kSensorModes = 3;

// The image goes to the mouse as it is: a field no page of the program could have set, nor the
// device have reported, marks a damaged or forged file.
bool holdsOnlyWritableValues(const FlashDataMap& image)
{
    return core::isKnownRateCode(image.ReportRate) && image.DpiLevelCount >= 1 && image.DpiLevelCount <= kDpiLevels
           && image.CurrentDpiLevel < image.DpiLevelCount && image.SensorMode < kSensorModes;
}

} // namespace

ImportCode parseSettingsFile(const QByteArray& bytes, const QString& sensor, int dpiMaxGrade, FlashDataMap* out)
{
    QDataStream in(bytes);
    QByteArray tag, name, image;
    if (!readBlock(in, kSettingsTextBlock, &tag) || !readBlock(in, kSettingsTextBlock, &name)
        || !readBlock(in, sizeof(FlashDataMap), &image) || image.size() != int(sizeof(FlashDataMap))
        || !in.atEnd()) {
        qCWarning(lcImport) << "settings file refused: blocks of the wrong size";
        return ImportNotSettingsFile;
    }
    if (textUpToNul(tag) != QByteArray(kSettingsTag))
        return ImportNotSettingsFile;
    if (QString::fromUtf8(textUpToNul(name)) != sensor)
        return ImportOtherDevice;
    FlashDataMap parsed;
    std::memcpy(&parsed, image.constData(), sizeof(FlashDataMap));
    if (int(parsed.DpiLevelCount) > dpiMaxGrade)
        return ImportOtherDevice;
    if (!holdsOnlyWritableValues(parsed)) {
        qCWarning(lcImport, "settings file refused: rate code %d, %d DPI levels, level %d, sensor mode %d",
                  parsed.ReportRate, parsed.DpiLevelCount, parsed.CurrentDpiLevel, parsed.SensorMode);
        return ImportNotSettingsFile;
    }
    *out = parsed;
    return ImportAccepted;
}

ImportCode readSettingsFile(const QString& path, const QString& sensor, int dpiMaxGrade, FlashDataMap* out)
{
    QByteArray bytes;
    QString error;
    if (!core::readFileBounded(path, kSettingsFileBytes, &bytes, &error)) {
        qCWarning(lcImport) << "settings file not read:" << path << error;
        return ImportNotSettingsFile;
    }
    return parseSettingsFile(bytes, sensor, dpiMaxGrade, out);
}

QByteArray settingsFileBytes(const QString& sensor, const FlashDataMap& image)
{
    QByteArray bytes;
    QDataStream outStream(&bytes, QIODevice::WriteOnly);
    const QByteArray tag = paddedText(kSettingsTag);
    const QByteArray name = paddedText(sensor.toUtf8());
    outStream.writeBytes(tag.constData(), uint(tag.size()));
    outStream.writeBytes(name.constData(), uint(name.size()));
    outStream.writeBytes(reinterpret_cast<const char*>(&image), uint(sizeof(FlashDataMap)));
    return bytes;
}

bool writeSettingsFile(const QString& path, const QString& sensor, const FlashDataMap& image, QString* error)
{
    return core::writeFileAtomically(path, settingsFileBytes(sensor, image), error);
}

} // namespace dialogs
