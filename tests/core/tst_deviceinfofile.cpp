#include "core/AppPaths.h"
#include "core/DeviceInfoFile.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QTest>

#include <cstring>

class TestDeviceInfoFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void fileNamesUseTwoUpperCaseHexDigits_data();
    void fileNamesUseTwoUpperCaseHexDigits();
    void writtenFileHasTheStreamLayout();
    void roundTripKeepsEveryByte();
    void fileFromADataStreamIsAccepted();
    void damagedFilesAreRejectedAndImageUntouched_data();
    void damagedFilesAreRejectedAndImageUntouched();
    void missingFileIsRejected();
    void hostileNamesAreRefused();

private:
    static FlashDataMap patternImage(quint8 seed);
    static QString writeRaw(const QString& name, const QByteArray& content);
};

void TestDeviceInfoFile::init()
{
    QDir(DeviceInfoDir()).removeRecursively();
    QVERIFY(QDir().mkpath(DeviceInfoDir()));
}

FlashDataMap TestDeviceInfoFile::patternImage(quint8 seed)
{
    FlashDataMap image;
    auto* raw = reinterpret_cast<quint8*>(&image);
    for (size_t i = 0; i < sizeof image; ++i)
        raw[i] = quint8(i * 7 + seed);
    return image;
}

QString TestDeviceInfoFile::writeRaw(const QString& name, const QByteArray& content)
{
    const QString path = DeviceInfoDir() + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return QString();
    return path;
}

void TestDeviceInfoFile::fileNamesUseTwoUpperCaseHexDigits_data()
{
    QTest::addColumn<int>("cid");
    QTest::addColumn<int>("mid");
    QTest::addColumn<QString>("name");
    QTest::newRow("padded") << 5 << 0x1A << "Device_CID05_MID1A.bin";
    QTest::newRow("upper case") << 0xAB << 3 << "Device_CIDAB_MID03.bin";
    QTest::newRow("shipped mouse") << 33 << 1 << "Device_CID21_MID01.bin";
    QTest::newRow("extremes") << 0 << 255 << "Device_CID00_MIDFF.bin";
}

void TestDeviceInfoFile::fileNamesUseTwoUpperCaseHexDigits()
{
    QFETCH(int, cid);
    QFETCH(int, mid);
    QFETCH(QString, name);
    QCOMPARE(DeviceCacheFileName(quint8(cid), quint8(mid)), name);
}

void TestDeviceInfoFile::writtenFileHasTheStreamLayout()
{
    const FlashDataMap image = patternImage(1);
    QString error;
    QVERIFY2(WriteDeviceInfoFile("Device_CID21_MID01.bin", image, &error), qPrintable(error));
    QFile file(DeviceInfoDir() + "/Device_CID21_MID01.bin");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    QCOMPARE(content.size(), 10432);
    QCOMPARE(content.left(4), QByteArray::fromHex("000028BC"));  // 10428, big-endian
    QCOMPARE(content.mid(4), FlashDataToBytes(image));
}

void TestDeviceInfoFile::roundTripKeepsEveryByte()
{
    const FlashDataMap image = patternImage(9);
    QVERIFY(WriteDeviceInfoFile("Device_CID05_MID1A.bin", image));
    FlashDataMap read = EmptyFlashDataMap();
    QVERIFY(ReadDeviceInfoFile("Device_CID05_MID1A.bin", &read));
    QCOMPARE(std::memcmp(&read, &image, sizeof image), 0);

    // Replacing an existing file leaves exactly the new content.
    const FlashDataMap second = patternImage(200);
    QVERIFY(WriteDeviceInfoFile("Device_CID05_MID1A.bin", second));
    QVERIFY(ReadDeviceInfoFile("Device_CID05_MID1A.bin", &read));
    QCOMPARE(std::memcmp(&read, &second, sizeof second), 0);
}

void TestDeviceInfoFile::fileFromADataStreamIsAccepted()
{
    const FlashDataMap image = patternImage(3);
    QByteArray content;
    {
        QDataStream out(&content, QIODevice::WriteOnly);
        out.writeBytes(reinterpret_cast<const char*>(&image), sizeof image);
    }
    QVERIFY(!writeRaw("Device_CID01_MID02.bin", content).isEmpty());
    FlashDataMap read = EmptyFlashDataMap();
    QVERIFY(ReadDeviceInfoFile("Device_CID01_MID02.bin", &read));
    QCOMPARE(std::memcmp(&read, &image, sizeof image), 0);
}

void TestDeviceInfoFile::damagedFilesAreRejectedAndImageUntouched_data()
{
    QTest::addColumn<QByteArray>("content");
    const QByteArray header = QByteArray::fromHex("000028BC");
    const QByteArray body(10428, '\x11');
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("header only") << header;
    QTest::newRow("truncated block") << header + body.left(5000);
    QTest::newRow("one byte short") << header + body.left(10427);
    QTest::newRow("oversized block") << QByteArray::fromHex("00002B00") + body + QByteArray(300, '\x22');
    QTest::newRow("trailing bytes") << header + body + QByteArray(1, '\x22');
    QTest::newRow("wrong length, right size") << QByteArray::fromHex("000028BB") + body;
    QTest::newRow("null block") << QByteArray::fromHex("FFFFFFFF") + body;
    QTest::newRow("huge") << header + QByteArray(200000, '\x33');
}

void TestDeviceInfoFile::damagedFilesAreRejectedAndImageUntouched()
{
    QFETCH(QByteArray, content);
    QVERIFY(!writeRaw("Device_CID21_MID01.bin", content).isEmpty());
    const FlashDataMap before = patternImage(42);
    FlashDataMap image = before;
    QString error;
    QVERIFY(!ReadDeviceInfoFile("Device_CID21_MID01.bin", &image, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(std::memcmp(&image, &before, sizeof image), 0);
}

void TestDeviceInfoFile::missingFileIsRejected()
{
    const FlashDataMap before = patternImage(5);
    FlashDataMap image = before;
    QVERIFY(!ReadDeviceInfoFile("Device_CID77_MID77.bin", &image));
    QCOMPARE(std::memcmp(&image, &before, sizeof image), 0);
}

void TestDeviceInfoFile::hostileNamesAreRefused()
{
    const FlashDataMap image = patternImage(0);
    for (const QString name : {"../Macro.ini", "", "..", "sub/Device.bin", "..\\x.bin"}) {
        QVERIFY2(!WriteDeviceInfoFile(name, image), qPrintable(name));
        FlashDataMap read = image;
        QVERIFY2(!ReadDeviceInfoFile(name, &read), qPrintable(name));
    }
    QVERIFY(!QFile::exists(UserDataDir() + "/Macro.ini") || QFile(UserDataDir() + "/Macro.ini").size() != 10432);
}

QTEST_GUILESS_MAIN(TestDeviceInfoFile)
#include "tst_deviceinfofile.moc"
