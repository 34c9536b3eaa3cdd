#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTextCodec>

// The locale codec of the program under a UTF-8 locale: valid UTF-8 reads as UTF-8, and each
// byte that is not part of valid UTF-8 reads as a code point of its own, U+F700 + byte
// (U+F780..U+F7FF), which encodes back to that byte. So every byte string a file name can
// hold survives QFile::decodeName and QFile::encodeName, and every Qt file call on such a
// QString reaches the file of those bytes, not a look-alike.
//
// The reserved code points are private-use ones. Valid UTF-8 that spells one of them
// (EF 9E 80 .. EF 9F BF) would encode back to a single byte, so it reads as its three bytes
// instead; names hold such characters only by accident, and round trips never break. The one
// loss is the other way: a string that carries reserved code points of its own (typed, not
// read from a name) can encode to bytes that read back differently.
class FileNameCodec final : public QTextCodec
{
public:
    static constexpr ushort kFirstReserved = 0xF780;
    static constexpr ushort kLastReserved = 0xF7FF;

    QByteArray name() const override;
    QList<QByteArray> aliases() const override;
    int mibEnum() const override;

protected:
    QString convertToUnicode(const char* in, int length, ConverterState* state) const override;
    QByteArray convertFromUnicode(const QChar* in, int length, ConverterState* state) const override;
};

namespace core {

// Makes FileNameCodec the locale codec when the locale's own is UTF-8 (other locales keep
// theirs). Call in main before any path is computed; once per process is enough, later
// calls change nothing. GUI thread, before other threads exist.
void installFileNameCodec();

// A path or name as the user should read it: each stray byte kept by FileNameCodec shows as
// the Latin-1 letter of that byte (the usual origin of such names), or as U+FFFD where that
// is no printable letter. For messages only: the result may name another file. Any thread.
QString readableFileName(const QString& name);

} // namespace core
