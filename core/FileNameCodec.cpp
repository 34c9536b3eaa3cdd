#include "core/FileNameCodec.h"

namespace {

constexpr int kUtf8Mib = 106;
constexpr ushort kByteBase = FileNameCodec::kFirstReserved - 0x80;

bool isContinuation(uchar byte)
{
    return (byte & 0xC0) == 0x80;
}

// Length of the valid UTF-8 sequence at in[0..length): 1..4, or 0 when it is not valid (an
// unfinished one included). Overlongs, surrogates and code points past U+10FFFF are not
// valid, as in the UTF-8 standard.
int sequenceLength(const uchar* in, int length)
{
    const uchar lead = in[0];
    if (lead < 0x80)
        return 1;
    int need;
    uchar low = 0x80;
    uchar high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    for (int i = 1; i < need; ++i) {
        if (i >= length)
            return 0;
        const uchar byte = in[i];
        if (i == 1 ? (byte < low || byte > high) : !isContinuation(byte))
            return 0;
    }
    return need;
}

char32_t decodeSequence(const uchar* in, int need)
{
    static constexpr uchar kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t code = in[0] & kLeadMask[need];
    for (int i = 1; i < need; ++i)
        code = (code << 6) | (in[i] & 0x3F);
    return code;
}

bool isReserved(char32_t code)
{
    return code >= FileNameCodec::kFirstReserved && code <= FileNameCodec::kLastReserved;
}

void appendUtf8(QByteArray& out, char32_t code)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

} // namespace

QByteArray FileNameCodec::name() const
{
    return QByteArrayLiteral("UTF-8-bytes");
}

QList<QByteArray> FileNameCodec::aliases() const
{
    return {};
}

int FileNameCodec::mibEnum() const
{
    return -kUtf8Mib;  // no registered number: it must never stand in for UTF-8 itself
}

// Stateless even inside a text decoder: a stream cut inside a character reads each of its bytes
// as its own code point, so that a name checked through a decoder state (Qt does so when it
// lists a folder) never reads as unfinished.
QString FileNameCodec::convertToUnicode(const char* chars, int length, ConverterState*) const
{
    const uchar* in = reinterpret_cast<const uchar*>(chars);
    QString out;
    out.reserve(length);
    for (int at = 0; at < length;) {
        const int need = sequenceLength(in + at, length - at);
        const char32_t code = need > 0 ? decodeSequence(in + at, need) : 0;
        if (need == 0 || isReserved(code)) {
            // Not text: this byte alone gets its reserved code point, the next ones start afresh.
            out += QChar(ushort(kByteBase + in[at]));
            ++at;
        } else if (code >= 0x10000) {
            out += QChar(QChar::highSurrogate(code));
            out += QChar(QChar::lowSurrogate(code));
            at += need;
        } else {
            out += QChar(ushort(code));
            at += need;
        }
    }
    return out;
}

QByteArray FileNameCodec::convertFromUnicode(const QChar* in, int length, ConverterState* state) const
{
    QByteArray out;
    out.reserve(length * 3);
    for (int i = 0; i < length; ++i) {
        const ushort unit = in[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < length && in[i + 1].isLowSurrogate()) {
            appendUtf8(out, QChar::surrogateToUcs4(unit, in[i + 1].unicode()));
            ++i;
        } else if (QChar::isSurrogate(unit)) {
            // A lone half of a pair is no character: as in Qt's own UTF-8.
            out += state && (state->flags & ConvertInvalidToNull) ? '\0' : '?';
            if (state)
                ++state->invalidChars;
        } else if (isReserved(unit)) {
            out += char(unit - kByteBase);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

namespace core {

void installFileNameCodec()
{
    QTextCodec* locale = QTextCodec::codecForLocale();
    if (!locale || locale->mibEnum() != kUtf8Mib)
        return;
    // Qt owns every codec made and deletes it when the process ends.
    QTextCodec::setCodecForLocale(new FileNameCodec);
}

QString readableFileName(const QString& name)
{
    QString shown = name;
    for (QChar& c : shown) {
        const ushort unit = c.unicode();
        if (unit < FileNameCodec::kFirstReserved || unit > FileNameCodec::kLastReserved)
            continue;
        const ushort byte = unit - kByteBase;
        c = byte >= 0xA0 ? QChar(byte) : QChar(QChar::ReplacementCharacter);
    }
    return shown;
}

} // namespace core
