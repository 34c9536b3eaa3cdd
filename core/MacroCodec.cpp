#include "core/MacroCodec.h"

#include "core/AppPaths.h"
#include "core/FileIo.h"
#include "core/ProcessState.h"

#include <QDataStream>
#include <QtEndian>
#include <QIODevice>
#include <QMetaType>
#include <QRegularExpression>

#include <algorithm>
#include <cstring>
#include <limits>

namespace core {
namespace {

constexpr int kExportStreamVersion = 17;
constexpr int kExportTagBytes = 12;
constexpr int kExportNameBlockBytes = 48;
constexpr int kExportRepeatBytes = 12;
const char kExportTag[] = "Kvelt";
// The export's press flag "0" and its zero byte, read back as one UTF-16 unit.
constexpr char16_t kPressFlag = 0x3000;

struct Entry {
    QString name;
    quint8 type;
    quint16 code;
};

const QVector<Entry>& keyEntries()
{
    static const QVector<Entry> entries = [] {
        QVector<Entry> list;
        for (const QString& name : KeyRowNames())
            list.append({name, KeyEventKeyboard, *KeyUsageFromName(name)});
        for (const QString& name : SideModifierNames())
            list.append({name, KeyEventModifier, *SideModifierBitFromName(name)});
        return list;
    }();
    return entries;
}

// The mouse names follow the language, so they are read at every lookup.
QVector<Entry> mouseEntries()
{
    return {{LeftButtonName, KeyEventMouse, 0x01},
            {RightButtonName, KeyEventMouse, 0x02},
            {MiddleButtonName, KeyEventMouse, 0x04},
            {BackButtonName, KeyEventMouse, 0x08},
            {ForwardButtonName, KeyEventMouse, 0x10}};
}

QString codeText(int code)
{
    return QStringLiteral("0x") + QString::number(code, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

bool isFunctionKeyName(const QString& name)
{
    for (int i = 1; i <= 12; ++i) {
        if (name == QStringLiteral("F%1").arg(i))
            return true;
    }
    return false;
}

std::optional<Entry> findIn(const QVector<Entry>& entries, const QString& name)
{
    for (const Entry& entry : entries) {
        if (entry.name == name)
            return entry;
    }
    return std::nullopt;
}

std::optional<Entry> findByName(const QString& name)
{
    const QVector<Entry> mouse = mouseEntries();
    if (isFunctionKeyName(name)) {
        if (auto entry = findIn(mouse, name))
            return entry;
    }
    if (auto entry = findIn(keyEntries(), name))
        return entry;
    return findIn(mouse, name);
}

std::optional<Entry> findByCode(int type, int code)
{
    for (const QVector<Entry>& entries : {keyEntries(), mouseEntries()}) {
        for (const Entry& entry : entries) {
            if (entry.type == type && entry.code == code)
                return entry;
        }
    }
    return std::nullopt;
}

std::optional<Entry> findByCodeText(const QString& text, int type)
{
    for (const QVector<Entry>& entries : {keyEntries(), mouseEntries()}) {
        for (const Entry& entry : entries) {
            if (entry.type == type && codeText(entry.code) == text)
                return entry;
        }
    }
    return std::nullopt;
}

Entry emptyKey()
{
    return *findIn(keyEntries(), QString());
}

Entry keyOrEmpty(int type, int code)
{
    return findByCode(type, code).value_or(emptyKey());
}

// The device's key event as a table entry, by the code-first rules of
// KeyCodeToName; unknown codes give the empty key.
Entry decodeKeyEvent(int code, int type)
{
    switch (code) {
    case 0x04: case 0x08: case 0x10: case 0x20:
        if (type == KeyEventKeyboard || type == KeyEventModifier)
            return keyOrEmpty(type, code);
        return emptyKey();
    case 0x40:
        return keyOrEmpty(type == KeyEventModifier ? KeyEventModifier : KeyEventKeyboard, code);
    case 0x01: case 0x02: case 0x80:
        return keyOrEmpty(KeyEventModifier, code);
    case 0x58:  // keypad Enter
        return keyOrEmpty(KeyEventKeyboard, 0x28);
    default:
        return keyOrEmpty(KeyEventKeyboard, code);
    }
}

MacroRow rowOf(const Entry& entry, bool release)
{
    MacroRow row;
    row.text = entry.name;
    row.release = release;
    row.eventType = entry.type;
    row.code = entry.code;
    return row;
}

// "50ms" and the like; 0 when what is left after removing "ms" is no number.
quint32 delayOf(QString text)
{
    bool ok = false;
    const quint32 value = text.remove(QStringLiteral("ms")).toUInt(&ok, 10);
    return ok ? value : 0;
}

template <typename Encode>
QString cutToBytes(const QString& name, int maxBytes, Encode encode)
{
    int bytes = 0;
    int end = 0;
    while (end < name.size()) {
        const int width = (name.at(end).isHighSurrogate() && end + 1 < name.size()) ? 2 : 1;
        bytes += encode(name.mid(end, width)).size();
        if (bytes > maxBytes)
            break;
        end += width;
    }
    return name.left(end);
}

QString withoutNul(QString text)
{
    return text.remove(QChar(0));
}

bool failWith(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return false;
}

} // namespace

bool operator==(const MacroRow& a, const MacroRow& b)
{
    return a.text == b.text && a.release == b.release && a.isDelay == b.isDelay && a.delayMs == b.delayMs
        && a.eventType == b.eventType && a.code == b.code;
}

namespace MacroKeyTable {

QStringList KeyTextToCodes(const QString& name)
{
    const auto entry = findByName(name);
    if (!entry)
        return {};
    return {codeText(entry->code), QString::number(entry->type)};
}

QString KeyCodeToText(const QString& text, int type)
{
    const auto entry = findByCodeText(text, type);
    return entry ? entry->name : QString();
}

void FillMacroEvent(const QString& name, int index, MacroRecord& record)
{
    if (index < 0 || index >= kMacroRecordEvents)
        return;
    KeyEvent& event = record.Events[index];
    const auto entry = findByName(name);
    event.EventType = entry ? entry->type : quint8(KeyEventKeyboard);
    if (entry)
        event.Code = entry->code;
}

QString KeyCodeToName(int code, int type)
{
    return decodeKeyEvent(code, type).name;
}

QString MouseBitToName(int bit)
{
    for (const Entry& entry : mouseEntries()) {
        if (entry.code == bit)
            return entry.name;
    }
    return QString();
}

} // namespace MacroKeyTable

std::optional<MacroRow> makeKeyRow(const QString& name, bool release)
{
    const auto entry = findByName(name);
    if (!entry)
        return std::nullopt;
    return rowOf(*entry, release);
}

int keyRowCount(const QVector<MacroRow>& rows)
{
    return int(std::count_if(rows.begin(), rows.end(), [](const MacroRow& row) { return !row.isDelay; }));
}

bool fitsMacroRecord(const QVector<MacroRow>& rows)
{
    return keyRowCount(rows) <= kMacroRecordEvents;
}

MacroRow makeDelayRow(quint32 delayMs)
{
    MacroRow row;
    row.text = QString::number(delayMs) + QStringLiteral("ms");
    row.isDelay = true;
    row.delayMs = delayMs;
    return row;
}

int repeatFromHeader(const QString& text)
{
    QString line = text.section(QLatin1Char('\n'), 0, 0);
    const QStringList parts = line.remove(QLatin1Char('\r')).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return kDefaultRepeat;
    bool ok = false;
    const int value = parts.first().trimmed().toInt(&ok, 10);
    const bool known = (value >= 1 && value <= 250) || (value >= 253 && value <= 255);
    return ok && known ? value : kDefaultRepeat;
}

MacroFileContent parseMacroFile(const QByteArray& bytes)
{
    MacroFileContent content;
    if (bytes.isEmpty())
        return content;
    const QList<QByteArray> lines = bytes.split('\n');
    content.repeat = repeatFromHeader(QString::fromUtf8(lines.value(0)));
    for (int i = 1; i < lines.size(); ++i) {
        QByteArray line = lines.at(i);
        if (line.endsWith('\r'))
            line.chop(1);
        const QStringList parts = QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.size() == 1) {
            content.rows.append(makeDelayRow(delayOf(parts.at(0))));
        } else if (parts.size() == 3 && (parts.at(2) == QLatin1String("0") || parts.at(2) == QLatin1String("1"))) {
            // The row keeps the code it was stored with, also for a mouse
            // button whose name is still empty.
            const auto entry = findByCodeText(parts.at(0), parts.at(1).toInt());
            content.rows.append(rowOf(entry.value_or(emptyKey()), parts.at(2) == QLatin1String("1")));
        }
    }
    return content;
}

QByteArray macroFileText(int repeat, const QVector<MacroRow>& rows)
{
    QByteArray text = QByteArray::number(repeat) + '\n';
    for (const MacroRow& row : rows) {
        if (row.isDelay) {
            text += QByteArray::number(row.delayMs) + "ms\n";
            continue;
        }
        text += codeText(row.code).toLatin1() + ' ' + QByteArray::number(row.eventType) + ' '
            + (row.release ? "1\n" : "0\n");
    }
    return text;
}

QString stripUnsafeNameCharacters(const QString& name)
{
    static const QRegularExpression kUnsafe(QStringLiteral("[\\\\/:*?\"<>|\\x{0}-\\x{1F}\\x{7F}]"));
    QString kept = name;
    kept.remove(kUnsafe);
    if (kept.count(QLatin1Char('.')) == kept.size())
        kept.clear();
    return kept;
}

bool isSafeMacroName(const QString& name)
{
    return !name.isEmpty() && stripUnsafeNameCharacters(name) == name && !name.contains(QLatin1String("xml"))
        && !name.contains(QLatin1String(".ini"));
}

QString cutToLocal8Bit(const QString& name, int maxBytes)
{
    return cutToBytes(name, maxBytes, [](const QString& part) { return part.toLocal8Bit(); });
}

QString macroFolderPath()
{
    return UserDataDir() + QStringLiteral("/usersetting/MacroPage");
}

QString macroFilePath(const QString& name)
{
    if (!isSafeMacroName(name))
        return QString();
    return macroFolderPath() + QLatin1Char('/') + name + QStringLiteral(".ini");
}

bool readMacroFile(const QString& name, MacroFileContent* content, QString* error)
{
    if (!isSafeMacroName(name))
        return failWith(error, QStringLiteral("\"%1\" is no safe macro name").arg(name));
    QByteArray bytes;
    if (!readFileBounded(macroFilePath(name), kMacroFileMaxBytes, &bytes, error))
        return false;
    *content = parseMacroFile(bytes);
    return true;
}

bool writeMacroFile(const QString& name, int repeat, const QVector<MacroRow>& rows, QString* error)
{
    if (!isSafeMacroName(name))
        return failWith(error, QStringLiteral("\"%1\" is no safe macro name").arg(name));
    return writeFileAtomically(macroFilePath(name), macroFileText(repeat, rows), error);
}

QString recordName(const MacroRecord& record)
{
    const auto length = int(std::find(record.Name, record.Name + kMacroNameBytes, '\0') - record.Name);
    return QString::fromLocal8Bit(record.Name, length);
}

void setRecordName(MacroRecord& record, const QString& name)
{
    SetMacroRecordName(record, cutToLocal8Bit(withoutNul(name), kMacroNameBytes).toLocal8Bit());
}

MacroRecord recordFromRows(const QString& name, const QVector<MacroRow>& rows)
{
    MacroRecord record;
    std::memset(&record, 0, sizeof record);
    setRecordName(record, name);
    int count = 0;
    quint64 wait = 0;
    for (const MacroRow& row : rows) {
        if (row.isDelay) {
            wait += row.delayMs;
            continue;
        }
        if (count == kMacroRecordEvents)
            break;
        // A wait belongs to the event before it; it is known once the next key comes.
        if (count > 0)
            record.Events[count - 1].DelayMs = quint32(std::min<quint64>(wait, std::numeric_limits<quint32>::max()));
        wait = 0;
        record.Events[count++] = MakeKeyEvent(row.release ? 1 : 0, row.eventType, row.code, 0);
    }
    record.EventCount = quint8(count);
    return record;
}

bool sameEvents(const MacroRecord& a, const MacroRecord& b)
{
    const int count = MacroRecordEventCount(a);
    if (count != MacroRecordEventCount(b))
        return false;
    for (int k = 0; k < count; ++k) {
        const KeyEvent& x = a.Events[k];
        const KeyEvent& y = b.Events[k];
        if (x.Release != y.Release || x.EventType != y.EventType || x.Code != y.Code || x.DelayMs != y.DelayMs)
            return false;
    }
    return true;
}

QVector<MacroRow> rowsFromRecord(const MacroRecord& record)
{
    QVector<MacroRow> rows;
    const int count = MacroRecordEventCount(record);
    for (int k = 0; k < count; ++k) {
        const KeyEvent& event = record.Events[k];
        const bool release = event.Release != 0;
        if (event.EventType == KeyEventMouse)
            rows.append(rowOf(findByCode(KeyEventMouse, event.Code).value_or(emptyKey()), release));
        else
            rows.append(rowOf(decodeKeyEvent(event.Code, event.EventType), release));
        if (k < count - 1)
            rows.append(makeDelayRow(event.DelayMs));
    }
    return rows;
}

namespace {

void writeBlock(QDataStream& out, const QByteArray& text, int size)
{
    const QByteArray block = text.left(size) + QByteArray(std::max(0, size - int(text.size())), '\0');
    out.writeBytes(block.constData(), uint(block.size()));
}

// Text of a block: its bytes up to the first zero.
QString readBlock(QDataStream& in)
{
    QByteArray block;
    in >> block;
    const int end = block.indexOf('\0');
    return QString::fromUtf8(end < 0 ? block : block.left(end));
}

bool writeIcon(QDataStream& out, const QVariant& icon)
{
    // Qt streams an icon without image as a null string; that needs no GUI library.
    if (!icon.isValid()) {
        out << QString();
        return true;
    }
    return QMetaType::save(out, icon.userType(), icon.constData());
}

// An icon entry is Qt's stream form of a QIcon: the engine's key, then what
// that engine writes. The program writes pixmap icons, each picture a PNG of
// a row icon's size. The reader walks that structure without decoding any of
// it: Qt's own reader would load named files, expand vector pictures and
// decode pictures of any size, and a mode or state outside Qt's enums makes
// the list recurse when it paints the row.
constexpr int kIconMaxPictures = 8;
constexpr int kIconMaxSide = 256;
constexpr quint32 kIconMaxPngBytes = 64 * 1024;
constexpr quint32 kIconMaxTextBytes = 8 * 1024;
constexpr quint32 kIconMaxKeyBytes = 128;
constexpr quint32 kIconModes = 4;   // Normal, Disabled, Active, Selected
constexpr quint32 kIconStates = 2;  // On, Off
const char kPngSignature[] = "\x89PNG\r\n\x1a\n";

bool readUint32(QDataStream& in, quint32* value)
{
    in >> *value;
    return in.status() == QDataStream::Ok;
}

// A QString of at most maxBytes bytes, stepped over.
bool skipString(QDataStream& in, quint32 maxBytes)
{
    quint32 bytes = 0;
    if (!readUint32(in, &bytes))
        return false;
    if (bytes == 0xFFFFFFFFu)
        return true;
    return bytes <= maxBytes && bytes % 2 == 0 && in.skipRawData(int(bytes)) == int(bytes);
}

// A PNG as QImageWriter puts it on a stream, with no length before it: the
// signature, then chunks up to IEND. Only the header is looked at.
bool skipPng(QDataStream& in)
{
    char signature[8];
    if (in.readRawData(signature, 8) != 8 || std::memcmp(signature, kPngSignature, 8) != 0)
        return false;
    quint32 total = 8;
    for (bool first = true;; first = false) {
        quint32 length = 0;
        char type[4];
        if (!readUint32(in, &length) || in.readRawData(type, 4) != 4)
            return false;
        total += 12;
        if (length > kIconMaxPngBytes || total + length > kIconMaxPngBytes)
            return false;
        total += length;
        const QByteArray kind(type, 4);
        if (first) {
            quint32 width = 0;
            quint32 height = 0;
            if (kind != "IHDR" || length != 13 || !readUint32(in, &width) || !readUint32(in, &height))
                return false;
            if (width < 1 || height < 1 || width > kIconMaxSide || height > kIconMaxSide)
                return false;
            length -= 8;
        }
        if (in.skipRawData(int(length + 4)) != int(length + 4))
            return false;
        if (kind == "IEND")
            return true;
    }
}

// QPixmapIconEngine: a count, then per picture the image (a null marker or
// a PNG), the file it came from, its size, mode and state. The file name is
// stepped over and never opened.
bool skipPixmapEngine(QDataStream& in)
{
    qint32 pictures = 0;
    in >> pictures;
    if (in.status() != QDataStream::Ok || pictures < 0 || pictures > kIconMaxPictures)
        return false;
    for (int i = 0; i < pictures; ++i) {
        qint32 hasImage = 0;
        in >> hasImage;
        if (in.status() != QDataStream::Ok || (hasImage != 0 && hasImage != 1))
            return false;
        if (hasImage == 1 && !skipPng(in))
            return false;
        qint32 width = 0;
        qint32 height = 0;
        quint32 mode = 0;
        quint32 state = 0;
        if (!skipString(in, kIconMaxTextBytes))
            return false;
        in >> width >> height >> mode >> state;
        if (in.status() != QDataStream::Ok || width < -1 || height < -1 || width > kIconMaxSide
            || height > kIconMaxSide || mode >= kIconModes || state >= kIconStates)
            return false;
    }
    return true;
}

bool skipIcon(QDataStream& in)
{
    // The engine key is short; a longer length is no icon of ours.
    const QByteArray head = in.device()->peek(4);
    if (head.size() != 4)
        return false;
    const quint32 keyBytes = qFromBigEndian<quint32>(head.constData());
    if (keyBytes != 0xFFFFFFFFu && keyBytes > kIconMaxKeyBytes)
        return false;
    QString engine;
    in >> engine;
    if (in.status() != QDataStream::Ok)
        return false;
    if (engine.isNull())  // an icon without picture
        return true;
    if (engine == QLatin1String("QPixmapIconEngine"))
        return skipPixmapEngine(in);
    // A theme icon carries only its theme name.
    if (engine == QLatin1String("QIconLoaderEngine"))
        return skipString(in, kIconMaxTextBytes);
    return false;
}

// The name a key row is exported under: the current name of its code, so a
// mouse button recorded under another language still reads back.
QString exportName(const MacroRow& row)
{
    const auto entry = findByCode(row.eventType, row.code);
    return entry ? entry->name : row.text;
}

// A file exported under another language names its mouse rows in that
// language; the row takes the current name of the same button.
std::optional<MacroRow> importedKeyRow(const QString& name, bool release, const MouseNameCodes& otherMouseNames)
{
    if (auto row = makeKeyRow(name, release))
        return row;
    const auto code = otherMouseNames.constFind(name);
    if (code == otherMouseNames.constEnd())
        return std::nullopt;
    const auto entry = findByCode(KeyEventMouse, *code);
    return entry ? std::optional<MacroRow>(rowOf(*entry, release)) : std::nullopt;
}

MacroExportStatus refuse(QString* error, const QString& why)
{
    failWith(error, why);
    return MacroExportStatus::Refused;
}

} // namespace

bool writeExport(const QString& name, int repeat, const QVector<MacroExportRow>& rows, QByteArray* bytes,
                 QString* error)
{
    if (rows.size() > kMacroMaxRows)
        return failWith(error, QStringLiteral("a macro export holds at most %1 rows").arg(kMacroMaxRows));
    QByteArray out;
    QDataStream stream(&out, QIODevice::WriteOnly);
    stream.setVersion(kExportStreamVersion);
    const QString kept = cutToBytes(withoutNul(name), kMacroExportNameBytes, [](const QString& part) {
        return part.toUtf8();
    });
    writeBlock(stream, kExportTag, kExportTagBytes);
    writeBlock(stream, kept.toUtf8(), kExportNameBlockBytes);
    writeBlock(stream, QByteArray::number(repeat), kExportRepeatBytes);
    stream << qint32(rows.size());
    for (const MacroExportRow& item : rows) {
        stream << (item.row.isDelay ? makeDelayRow(item.row.delayMs).text : exportName(item.row));
        if (!writeIcon(stream, item.icon))
            return failWith(error, QStringLiteral("icons of type %1 cannot be streamed").arg(item.icon.userType()));
        if (!item.row.isDelay)
            stream << (item.row.release ? "1" : "0");
    }
    *bytes = out;
    return true;
}

MacroExportStatus readExport(const QByteArray& bytes, MacroExport* result, QString* error,
                             const MouseNameCodes& otherMouseNames)
{
    *result = MacroExport{};
    QDataStream in(bytes);
    in.setVersion(kExportStreamVersion);
    const QString tag = readBlock(in);
    result->name = readBlock(in);
    const int repeat = repeatFromHeader(readBlock(in));
    qint32 count = 0;
    in >> count;
    // Any file may be picked; one that is no export is told apart first.
    if (tag != QLatin1String(kExportTag)) {
        failWith(error, QStringLiteral("the file is no macro export"));
        return MacroExportStatus::WrongTag;
    }
    if (in.status() != QDataStream::Ok)
        return refuse(error, QStringLiteral("the file ends inside its header"));
    if (!isSafeMacroName(result->name))
        return refuse(error, QStringLiteral("\"%1\" is no safe macro name").arg(result->name));
    if (count < 0 || count > kMacroMaxRows)
        return refuse(error, QStringLiteral("the file claims %1 rows").arg(count));
    QVector<MacroExportRow> rows;
    for (int i = 0; i < count; ++i) {
        QString text;
        MacroExportRow item;
        in >> text;
        if (in.status() != QDataStream::Ok)
            return refuse(error, QStringLiteral("row %1 is broken").arg(i + 1));
        if (!skipIcon(in))
            return refuse(error, QStringLiteral("the icon of row %1 is no small picture").arg(i + 1));
        if (text.contains(QLatin1String("ms"))) {
            item.row = makeDelayRow(delayOf(text));
        } else {
            QString flag;
            in >> flag;
            const auto row = importedKeyRow(text, flag != QString(QChar(kPressFlag)), otherMouseNames);
            if (in.status() != QDataStream::Ok || !row)
                return refuse(error, QStringLiteral("row %1 names no known key").arg(i + 1));
            item.row = *row;
        }
        rows.append(item);
    }
    // The export ends with its last row; more bytes mean a file of another making.
    if (!in.atEnd())
        return refuse(error, QStringLiteral("the file goes on after its last row"));
    result->repeat = repeat;
    result->rows = rows;
    return MacroExportStatus::Ok;
}

} // namespace core
