#pragma once

#include "devicelib/HIDUsb.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Firmware image files shipped in the program's "/bin" folder: header fields,
// version texts, the receiver classes, the search that picks the image for a
// device and the offer made when a device is opened. Plain logic, no widgets;
// the settings page, the repair dialog, the choice page and the worker call
// it (the first two keep their given names as forwarders).
namespace core {

constexpr quint8 kMouseImage = 210;
constexpr quint8 kReceiverImage = 211;
constexpr int kImageHeaderSize = 728;

struct FirmwareHeader {
    quint32 version = 0;
    quint8 kind = 0;
    quint8 cid = 0;
    quint8 mid = 0;
    QByteArray name; // up to the first NUL of the 64-byte field
};

// Reads the header fields; false when the buffer is shorter than a header.
bool parseFirmwareHeader(const QByteArray& image, FirmwareHeader* header);

// "v" + major in decimal + "." + minor in lower-case hexadecimal (0x010A -> "v1.a").
QString firmwareVersionText(quint32 version);

// Receiver class 1, 2, 4 or 8 of a device kind; 0 for a kind that is no
// receiver (a mouse on its cable).
int receiverClassOfKind(int deviceKind);

// Config.ini key of the receiver image name of a class ("DM", "D2M", "D4M",
// "D8M"); empty for any other class.
QString receiverImageKey(int receiverClass);
// The same key by device kind: empty for a kind that names no receiver, so no
// receiver image is ever found for it.
QString receiverImageKeyOfKind(int deviceKind);

struct FirmwareQuery {
    quint8 kind = 0;
    QString currentVersion; // "v1.5" or empty when unknown
    QString imageName;
    quint8 cid = 0;
    quint8 mid = 0;
};

enum class SearchOutcome { Found, NotFound, NoFolder, Unreadable };

// Searches "<appDir>/bin/*.bin" in case-insensitive name order for images of
// the query's kind, CID, MID and name whose version differs from the current
// one; the last such file wins and its whole content lands in *image. A file
// whose version equals a known current version is never taken. Files too
// short to hold a header, implausibly large or unreadable are skipped (one
// bad file must not hide the others); Unreadable only when such a file was
// met and nothing was found.
SearchOutcome findFirmwareImage(const QString& appDir, const FirmwareQuery& query, QByteArray* image);

// Who keeps the image a lookup found: the settings page's update or the
// repair dialog's repair.
enum class ImageUse { Update, Repair };

// True when "<AppDir>/bin" holds an image of that kind, CID, MID and name
// whose version differs from version (empty = unknown, every match counts).
// The image found, or none, becomes the one `use` writes. Any thread.
bool findUpdateFile(ImageUse use, quint8 imageKind, const QString& version, const QString& imageName, quint8 cid,
                    quint8 mid);
// The image the last lookup for `use` kept; empty when it found none.
QList<QByteArray> imageList(ImageUse use);

// The same question without keeping the image; false for an unknown version.
bool findNewerFile(quint8 imageKind, const QString& version, const QString& imageName, quint8 cid, quint8 mid);

// Whether an image of that kind is to be offered for the open device's
// "Drive" group and receiver class (1, 2, 4, 8; any other class has no
// receiver image).
bool checkUpdateFile(quint8 imageKind, const QString& version, int receiverClass);

// Tells the settings page what can be updated once a device is open: looks
// up the receiver image for receiverText and receiverClass and, when a mouse
// version is given, the mouse image; keeps the answers in
// ReceiverUpdateAvailable and MouseUpdateAvailable and emits
// SigLabelTextB(receiverText, "true" when either is offered, else empty).
// Without a "/bin" folder nothing is looked up and the flags keep their values.
void offerFirmware(const QString& receiverText, int receiverClass,
                   const std::optional<QString>& mouseVersion = std::nullopt);

// The records a firmware stage leaves behind. Any thread.

// ExceptionDir() + "/UpDateLog.txt".
QString UpDateLogFile();
// Rewrites the update log with the device library's eight texts, one per
// line (a null text gives an empty line). False, with a warning, when the
// log could not be written; the old log then stays whole.
bool writeUpdateLog(const char* const* texts);

void removeUpdateFailInfo();

// The fields of "UpdateFailInfo" for one stage.
struct UpdateRecord {
    int imageKind = 0;
    int receiverClass = 0;
    int cid = 0;
    int mid = 0;
};

// One firmware stage of an update or a repair: the image it writes and the model it is for.
struct FirmwareStage {
    int imageKind = 0;  // kMouseImage or kReceiverImage
    // The record names the mouse of this model (an earlier update left it in its boot loader,
    // or was cut before its end was recorded), and stays the mouse's until the mouse is written.
    bool mouseUnfinished = false;
    int receiverClass = 0;
    int cid = 0;
    int mid = 0;
};

// What a stage leaves recorded. A mouse that waits in its boot loader stays the device to
// repair until its own stage ends well: the receiver's stage in front of it is recorded as the
// mouse's, and does not clear the record when it succeeds (cut or failed there, the next start
// must still repair the mouse).
UpdateRecord recordOfStage(const FirmwareStage& stage);
bool stageClearsRecord(const FirmwareStage& stage);

// The four fields of "UpdateFailInfo" (kind, receiver class, CID, MID) of a record no running
// update of this program owns: one an earlier run left, or one of an update of this run that has
// ended. While an update runs, the record it found standing or its stages wrote means "running",
// not "unfinished", and nothing is to be repaired for it. Empty when no stage is recorded (any
// other field count), and while the update that holds it runs.
QStringList unfinishedUpdateFields();

enum class StageStart { Started, NotRecorded, Refused };

// One firmware update or repair, held by the page or dialog that runs it. It runs from its first
// stage's start to its end, however it ends: end() once no stage follows, or the holder's
// destruction. While it runs, the record its stages wrote, or found already stored as a repair
// does, is its own (unfinishedUpdateFields() leaves it out); another writer's different record
// is still unfinished. The choice page is told (SigUpDateButton) when a flow starts and when it
// ends, so that no repair is offered for it meanwhile. One flow runs at a time: a stage of
// another takes the record over. GUI thread.
class UpdateFlow
{
public:
    UpdateFlow() = default;
    ~UpdateFlow();
    UpdateFlow(const UpdateFlow&) = delete;
    UpdateFlow& operator=(const UpdateFlow&) = delete;

    // Starts one stage, and the flow with its first. The record goes to the store, and is known
    // on the disk, before the library gets the image: a program that dies while the device sits
    // in its boot loader (killed, crashed, the power cut) leaves what the next start needs to
    // repair it. NotRecorded: the store could not be written; nothing reached the library, the
    // record stays as it was and *error names the file. Refused: the library did not take the
    // image (the record stays, as for a failed stage; stageFailed() follows). Started, the
    // library's texts of the stage go to the update log at once, so that a stage the program
    // never sees end leaves its texts there too.
    StageStart startStage(const FirmwareStage& stage, const QByteArray& image, UpgradeEventCallback callback,
                          int timeoutMs, QString* error = nullptr);
    // The stage started last ended well: the update log goes back as it was before the stage (a
    // stage that succeeded leaves nothing behind) and the record is removed unless the stage
    // keeps it (stageClearsRecord()).
    void stageSucceeded();
    // The stage ended badly (or never started): its record is written again, since the store may
    // hold another writer's or an older one. The log is left to its writer.
    void stageFailed(const FirmwareStage& stage);
    // No stage follows: a record still stored is one to repair. Nothing when the flow does not run.
    void end();
    bool running() const;
};

// "MouseVer" + cidText + midText := version, the mouse firmware just written.
void writeMouseVersion(const QString& cidText, const QString& midText, const QString& version);

} // namespace core
