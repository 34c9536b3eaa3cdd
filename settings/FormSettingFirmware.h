#pragma once

#include <QByteArray>
#include <QString>

// Firmware image files shipped in the program's "/bin" folder: header fields,
// version texts and the search that picks the image for a device. Plain logic,
// no widgets; the settings page and the repair dialog forward to it.
namespace settings {

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
// short to hold a header, or implausibly large, are skipped; a file that
// cannot be opened ends the search with Unreadable.
SearchOutcome findFirmwareImage(const QString& appDir, const FirmwareQuery& query, QByteArray* image);

} // namespace settings
