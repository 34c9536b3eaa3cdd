#include "core/Firmware.h"

#include "core/AppPaths.h"
#include "core/ConfigIni.h"
#include "core/FileIo.h"
#include "core/FileNotices.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Registry.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QtEndian>

#include <mutex>

Q_LOGGING_CATEGORY(lcFirmware, "app.core.firmware")

namespace core {

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
constexpr int kLogLines = 8;
// The library's texts are NUL-ended; a runaway one is cut here.
constexpr int kMaxLogText = 4096;

QString withoutV(QString text)
{
    return text.remove(QLatin1Char('v'));
}

// Rows of the receiver table: device kind -> receiver class and image key.
struct ReceiverRow {
    int kind;
    int receiverClass;
    const char* imageKey;
};
constexpr ReceiverRow kReceivers[] = {
    {0, 1, "DM"},
    {4, 2, "D2M"},
    {1, 4, "D4M"},
    {5, 8, "D8M"},
};

struct ImageSlot {
    std::mutex lock;
    QList<QByteArray> images;
};

// The update log as it was before the running stage wrote its own: put back when the stage
// succeeds, since only a stage that failed or was cut leaves its texts there.
struct LogBeforeStage {
    std::mutex lock;
    bool held = false;
    bool existed = false;
    QByteArray content;
};

LogBeforeStage& logBeforeStage()
{
    static LogBeforeStage before;
    return before;
}

// The record of the flow now running, which the readers of the store must not take for an
// unfinished one.
struct OwnedRecord {
    std::mutex lock;
    const UpdateFlow* flow = nullptr;
    QString value;     // as written, so that another writer's record is still read as its own
    FirmwareStage stage;
};

OwnedRecord& ownedRecord()
{
    static OwnedRecord record;
    return record;
}

const QString& recordName()
{
    static const QString name = QStringLiteral("UpdateFailInfo");
    return name;
}

QString recordText(const UpdateRecord& record)
{
    return QStringLiteral("%1,%2,%3,%4")
        .arg(record.imageKind)
        .arg(record.receiverClass)
        .arg(record.cid)
        .arg(record.mid);
}

// The choice page's repair state follows the store as the readers now see it.
void tellRepairState()
{
    PostMsg::instance()->EmitUpDateButton(unfinishedUpdateFields().isEmpty());
}

constexpr qint64 kMaxLogSize = kLogLines * (kMaxLogText + 1);

ImageSlot& imageSlot(ImageUse use)
{
    static ImageSlot update;
    static ImageSlot repair;
    return use == ImageUse::Update ? update : repair;
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
    for (const ReceiverRow& row : kReceivers)
        if (row.kind == deviceKind)
            return row.receiverClass;
    return 0;
}

QString receiverImageKey(int receiverClass)
{
    for (const ReceiverRow& row : kReceivers)
        if (row.receiverClass == receiverClass)
            return QString::fromLatin1(row.imageKey);
    return QString();
}

QString receiverImageKeyOfKind(int deviceKind)
{
    return receiverImageKey(receiverClassOfKind(deviceKind));
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
    bool unreadable = false;
    for (const QString& fileName : files) {
        const QString path = folder.filePath(fileName);
        QByteArray content;
        QString why;
        if (!readFileBounded(path, kMaxImageSize, &content, &why)) {
            // Only a file that should have been read counts as unreadable; a FIFO or a file far
            // too large is no image at all.
            qCWarning(lcFirmware) << "firmware image skipped:" << why;
            unreadable = unreadable || checkReadableFile(path, kMaxImageSize) == FileState::Usable;
            continue;
        }
        // Bytes 0 to 15 are the device library's: whether the body is whole is its to judge,
        // with the image's size, which travels with the image.
        FirmwareHeader header;
        if (!parseFirmwareHeader(content, &header) || header.kind != query.kind || header.cid != query.cid
            || header.mid != query.mid || QString::fromLocal8Bit(header.name) != query.imageName)
            continue;
        if (!query.currentVersion.isEmpty() && withoutV(firmwareVersionText(header.version)) == current)
            continue;
        *image = content;
        outcome = SearchOutcome::Found;
    }
    return outcome == SearchOutcome::NotFound && unreadable ? SearchOutcome::Unreadable : outcome;
}

bool findUpdateFile(ImageUse use, quint8 imageKind, const QString& version, const QString& imageName, quint8 cid,
                    quint8 mid)
{
    QByteArray image;
    const bool found = findFirmwareImage(AppDir(), FirmwareQuery{imageKind, version, imageName, cid, mid}, &image)
                       == SearchOutcome::Found;
    ImageSlot& slot = imageSlot(use);
    std::lock_guard<std::mutex> guard(slot.lock);
    slot.images.clear();
    if (found)
        slot.images.append(image);
    return found;
}

QList<QByteArray> imageList(ImageUse use)
{
    ImageSlot& slot = imageSlot(use);
    std::lock_guard<std::mutex> guard(slot.lock);
    return slot.images;
}

bool findNewerFile(quint8 imageKind, const QString& version, const QString& imageName, quint8 cid, quint8 mid)
{
    if (version.isEmpty())
        return false;
    QByteArray image;
    return findFirmwareImage(AppDir(), FirmwareQuery{imageKind, version, imageName, cid, mid}, &image)
           == SearchOutcome::Found;
}

bool checkUpdateFile(quint8 imageKind, const QString& version, int receiverClass)
{
    const ConfigIni* config = ConfigIni::GetInstance();
    const QString group = QStringLiteral("Drive%1").arg(CurrentDeviceInfoCopy().DriveIndex + 1);
    const QString key = imageKind == kMouseImage ? QStringLiteral("MM") : receiverImageKey(receiverClass);
    if (key.isEmpty())
        return false;
    const QString name = config->GetValue(group, key);
    const int cid = config->GetValue(QStringLiteral("Option"), QStringLiteral("CID")).toInt();
    const int mid = config->GetValue(group, QStringLiteral("MID")).toInt();
    return findNewerFile(imageKind, version, name, quint8(cid), quint8(mid));
}

void offerFirmware(const QString& receiverText, int receiverClass, const std::optional<QString>& mouseVersion)
{
    QString offer;
    if (QDir(AppDir() + QStringLiteral("/bin")).exists()) {
        const bool receiver = checkUpdateFile(kReceiverImage, receiverText, receiverClass);
        ReceiverUpdateAvailable = receiver ? 1 : 0;
        bool mouse = false;
        if (mouseVersion) {
            mouse = checkUpdateFile(kMouseImage, *mouseVersion, receiverClass);
            MouseUpdateAvailable = mouse ? 1 : 0;
        }
        if (receiver || mouse)
            offer = QStringLiteral("true");
    }
    PostMsg::instance()->EmitLabelTextB(receiverText, offer);
}

QString UpDateLogFile()
{
    return ExceptionDir() + QStringLiteral("/UpDateLog.txt");
}

bool writeUpdateLog(const char* const* texts)
{
    // The log is rewritten whole: built here, then written once.
    QByteArray content;
    for (int i = 0; i < kLogLines; ++i) {
        const char* text = texts ? texts[i] : nullptr;
        if (text)
            content.append(text, int(qstrnlen(text, kMaxLogText)));
        content.append('\n');
    }
    QString error;
    if (writeFileAtomically(UpDateLogFile(), content, &error))
        return true;
    qCWarning(lcFirmware) << "update log not written:" << UpDateLogFile() << error;
    noteUnsavedWrite(UpDateLogFile());
    return false;
}

QStringList unfinishedUpdateFields()
{
    const QString stored = Registry::Value(Registry::DriveTestKey(), recordName());
    const QStringList fields = stored.split(QLatin1Char(','));
    if (fields.size() != 4)
        return QStringList();
    OwnedRecord& owned = ownedRecord();
    std::lock_guard<std::mutex> guard(owned.lock);
    return owned.flow && stored == owned.value ? QStringList() : fields;
}

void removeUpdateFailInfo()
{
    Registry::Remove(Registry::DriveTestKey(), recordName());
}

UpdateRecord recordOfStage(const FirmwareStage& stage)
{
    const int kind = stage.mouseUnfinished ? int(kMouseImage) : stage.imageKind;
    return UpdateRecord{kind, stage.receiverClass, stage.cid, stage.mid};
}

bool stageClearsRecord(const FirmwareStage& stage)
{
    return !(stage.mouseUnfinished && stage.imageKind == kReceiverImage);
}

UpdateFlow::~UpdateFlow()
{
    end();
}

bool UpdateFlow::running() const
{
    OwnedRecord& owned = ownedRecord();
    std::lock_guard<std::mutex> guard(owned.lock);
    return owned.flow == this;
}

StageStart UpdateFlow::startStage(const FirmwareStage& stage, const QByteArray& image, UpgradeEventCallback callback,
                                  int timeoutMs, QString* error)
{
    const QString value = recordText(recordOfStage(stage));
    const bool had = Registry::Contains(Registry::DriveTestKey(), recordName());
    const QString before = Registry::Value(Registry::DriveTestKey(), recordName());
    // The store's write ends with the file and its folder synced, so the record is on the disk
    // before the first byte goes out.
    if (!Registry::SetValue(Registry::DriveTestKey(), recordName(), value)) {
        // The store keeps a value it could not write for the rest of the run: put back what the
        // user had, or the choice page would offer to repair a device nothing has touched.
        if (had)
            Registry::SetValue(Registry::DriveTestKey(), recordName(), before);
        else
            Registry::Remove(Registry::DriveTestKey(), recordName());
        qCWarning(lcFirmware) << "update not started, its record not written:" << value;
        if (error)
            *error = Registry::FilePath();
        return StageStart::NotRecorded;
    }
    const bool first = !running();
    {
        OwnedRecord& owned = ownedRecord();
        std::lock_guard<std::mutex> guard(owned.lock);
        owned.flow = this;
        owned.value = value;
        owned.stage = stage;
    }
    // The repair button may still show for the record this flow has just taken over.
    if (first)
        tellRepairState();
    if (!UsbUpgrade_Start(reinterpret_cast<const unsigned char*>(image.constData()), image.size(), callback,
                          timeoutMs))
        return StageStart::Refused;
    // The library's texts of the stage now running stay in the log if the program never learns
    // how the stage ended.
    LogBeforeStage& kept = logBeforeStage();
    {
        std::lock_guard<std::mutex> guard(kept.lock);
        if (!kept.held) {
            kept.existed = readFileBounded(UpDateLogFile(), kMaxLogSize, &kept.content);
            kept.held = true;
        }
    }
    writeUpdateLog(UsbUpgradeC_GetLogs());
    return StageStart::Started;
}

void UpdateFlow::stageSucceeded()
{
    {
        LogBeforeStage& before = logBeforeStage();
        std::lock_guard<std::mutex> guard(before.lock);
        if (before.held) {
            before.held = false;
            QString error;
            const bool restored = before.existed
                                      ? writeFileAtomically(UpDateLogFile(), before.content, &error)
                                      : (QFile::remove(UpDateLogFile()) || !QFile::exists(UpDateLogFile()));
            if (!restored)
                qCWarning(lcFirmware) << "update log of a stage that succeeded not put back:" << UpDateLogFile()
                                      << error;
            before.content.clear();
        }
    }
    bool clears = true;
    {
        OwnedRecord& owned = ownedRecord();
        std::lock_guard<std::mutex> guard(owned.lock);
        clears = owned.flow != this || stageClearsRecord(owned.stage);
    }
    if (clears)
        removeUpdateFailInfo();
}

void UpdateFlow::stageFailed(const FirmwareStage& stage)
{
    {
        LogBeforeStage& before = logBeforeStage();
        std::lock_guard<std::mutex> guard(before.lock);
        before.held = false;
        before.content.clear();
    }
    const QString value = recordText(recordOfStage(stage));
    if (!Registry::SetValue(Registry::DriveTestKey(), recordName(), value))
        qCWarning(lcFirmware) << "failed update not recorded:" << value;
    OwnedRecord& owned = ownedRecord();
    std::lock_guard<std::mutex> guard(owned.lock);
    if (owned.flow == this)
        owned.value = value;
}

void UpdateFlow::end()
{
    {
        OwnedRecord& owned = ownedRecord();
        std::lock_guard<std::mutex> guard(owned.lock);
        if (owned.flow != this)
            return;
        owned.flow = nullptr;
        owned.value.clear();
    }
    tellRepairState();
}

void writeMouseVersion(const QString& cidText, const QString& midText, const QString& version)
{
    if (!Registry::SetValue(Registry::DriveTestKey(), QStringLiteral("MouseVer") + cidText + midText, version))
        qCWarning(lcFirmware) << "mouse firmware version not recorded:" << version;
}

} // namespace core
