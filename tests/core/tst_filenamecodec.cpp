#include "core/FileNameCodec.h"

#include <QFile>
#include <QTest>

class TestFileNameCodec : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyNameComesBackByteForByte_data();
    void everyNameComesBackByteForByte();
    void everyShortNameComesBack();
};

// As main does.
void TestFileNameCodec::initTestCase()
{
    core::installFileNameCodec();
    QCOMPARE(QTextCodec::codecForLocale()->name(), QByteArray("UTF-8-bytes"));
}

namespace {
QString units(std::initializer_list<ushort> list)
{
    QString text;
    for (const ushort unit : list)
        text += QChar(unit);
    return text;
}
} // namespace

void TestFileNameCodec::everyNameComesBackByteForByte_data()
{
    QTest::addColumn<QByteArray>("bytes");  // a name as it stands on disk
    QTest::addColumn<QString>("text");      // as Qt reads it
    QTest::addColumn<QString>("shown");     // as a message shows it
    const auto row = [](const char* name, const QByteArray& bytes, const QString& text, const QString& shown) {
        QTest::newRow(name) << bytes << text << shown;
    };
    const auto text = [row](const char* name, const QByteArray& bytes, const QString& read) {
        row(name, bytes, read, read);
    };
    const QChar bad(QChar::ReplacementCharacter);
    text("empty", QByteArray(), QString());
    text("ASCII", "Macro.ini", "Macro.ini");
    text("UTF-8 two bytes", "caf\xc3\xa9", units({'c', 'a', 'f', 0xE9}));
    text("UTF-8 three bytes", "\xe2\x82\xac", units({0x20AC}));
    text("UTF-8 four bytes", "\xf0\x9f\x90\xad", units({0xD83D, 0xDC2D}));
    text("largest code point", "\xf4\x8f\xbf\xbf", units({0xDBFF, 0xDFFF}));
    text("byte order mark kept", "\xef\xbb\xbf" "a", units({0xFEFF, 'a'}));
    row("Latin-1 letter", "caf\xe9", units({'c', 'a', 'f', 0xF7E9}), units({'c', 'a', 'f', 0xE9}));
    row("Latin-1 then UTF-8", "\xe9t\xc3\xa9", units({0xF7E9, 't', 0xE9}), units({0xE9, 't', 0xE9}));
    row("lone continuation", "\x80" "a", units({0xF780, 'a'}), bad + QStringLiteral("a"));
    row("highest byte", "\xff\xfe", units({0xF7FF, 0xF7FE}), units({0xFF, 0xFE}));
    row("cut two-byte", "\xc3", units({0xF7C3}), units({0xC3}));
    row("cut three-byte", "\xe2\x82", units({0xF7E2, 0xF782}), units({0xE2}) + bad);
    row("cut four-byte before ASCII", "\xf0\x9f\x90" "a", units({0xF7F0, 0xF79F, 0xF790, 'a'}),
        units({0xF0}) + bad + bad + QStringLiteral("a"));
    row("overlong slash", "\xc0\xaf", units({0xF7C0, 0xF7AF}), units({0xC0, 0xAF}));
    row("overlong NUL", "\xe0\x80\x80", units({0xF7E0, 0xF780, 0xF780}), units({0xE0}) + bad + bad);
    row("overlong four-byte", "\xf0\x8f\xbf\xbf", units({0xF7F0, 0xF78F, 0xF7BF, 0xF7BF}),
        units({0xF0}) + bad + units({0xBF, 0xBF}));
    row("surrogate in UTF-8", "\xed\xa0\x80", units({0xF7ED, 0xF7A0, 0xF780}), units({0xED, 0xA0}) + bad);
    row("surrogate pair in UTF-8", "\xed\xa0\xbd\xed\xb0\x80", units({0xF7ED, 0xF7A0, 0xF7BD, 0xF7ED, 0xF7B0, 0xF780}),
        units({0xED, 0xA0, 0xBD, 0xED, 0xB0}) + bad);
    row("past the last code point", "\xf4\x90\x80\x80", units({0xF7F4, 0xF790, 0xF780, 0xF780}),
        units({0xF4}) + bad + bad + bad);
    // Valid UTF-8 of the code points that stand for bytes reads as its bytes, or it would come
    // back as one byte; its neighbours read as text.
    row("first reserved code point", "\xef\x9e\x80", units({0xF7EF, 0xF79E, 0xF780}), units({0xEF}) + bad + bad);
    row("last reserved code point", "\xef\x9f\xbf", units({0xF7EF, 0xF79F, 0xF7BF}),
        units({0xEF}) + bad + units({0xBF}));
    text("just below them", "\xef\x9d\xbf", units({0xF77F}));
    text("just above them", "\xef\xa0\x80", units({0xF800}));
}

void TestFileNameCodec::everyNameComesBackByteForByte()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(QFile::decodeName(bytes), text);
    QCOMPARE(QFile::encodeName(text), bytes);
    QCOMPARE(core::readableFileName(text), shown);
}

// Every name of one or two bytes, alone and behind the lead bytes whose sequences are the
// hardest to get right (the reserved code points, surrogates, overlongs).
void TestFileNameCodec::everyShortNameComesBack()
{
    for (int first = 1; first < 256; ++first) {
        for (int second = 0; second < 256; ++second) {
            QByteArray bytes(1, char(first));
            if (second)
                bytes += char(second);
            for (const QByteArray& name : {bytes, "\xc3\xa9" + bytes, "\xef" + bytes, "\xed" + bytes, "\xe0" + bytes,
                                           "\xf0" + bytes + "\x80", "\xf4" + bytes + "\xbf"})
                QVERIFY2(QFile::encodeName(QFile::decodeName(name)) == name, name.toHex().constData());
        }
    }
}

QTEST_GUILESS_MAIN(TestFileNameCodec)
#include "tst_filenamecodec.moc"
