// The configuration image and report codecs of the device library, checked
// against byte values worked out by hand from the documented layouts.
#include "devicelib/HIDUsb.h"
#include "devicelib/SimControl.h"
#include "support/devicelib_SimHarness.h"
#include "support/sim_helpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

using devicelib_test::Report;
using devicelib_test::ReportSink;

namespace {

constexpr int kImageSize = 10428;
constexpr int kStored = 6876; // image bytes the mouse keeps: up to the end of macro slot 9

QByteArray readDump()
{
    ReportSink::instance().clear();
    if (!UsbServer_ReadAllFlashData())
        return {};
    Report r;
    const bool got = ReportSink::instance().waitFor(
        [](const Report& x) { return x.type == 8 && x.command == 0 && x.data.size() == 6912; }, 5000, &r);
    return got ? r.data : QByteArray();
}

unsigned char* bytes(QByteArray& a)
{
    return reinterpret_cast<unsigned char*>(a.data());
}

} // namespace

class TestDeviceCodec : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(simtest::loadScenario("[Mouse1]\n[Receiver1]\nClass=4\nMouse=Mouse1\n"));
        QVERIFY(devicelib_test::openDevice("Receiver1"));
    }
    void cleanup() { UsbServer_Exit(); }

    void everyImageByteSurvivesTheRoundTrip()
    {
        // A first dump tells the library what the mouse holds, then a random image goes out.
        QVERIFY(!readDump().isEmpty());
        QByteArray sent(kImageSize, '\0');
        for (int i = 0; i < kImageSize; ++i)
            sent[i] = char(QRandomGenerator::global()->bounded(256));
        QVERIFY(ProtocolDataUpdate(sent.constData()));
        QVERIFY(SimControl_WaitIdle(5000));
        const QByteArray dump = readDump();
        QCOMPARE(dump.size(), 6912);

        QByteArray parsed(kImageSize, char(0xEE)); // stale content the parser must replace
        QVERIFY(ProtocolDataParser(reinterpret_cast<const unsigned char*>(dump.constData()), parsed.data()));
        QCOMPARE(parsed.left(kStored), sent.left(kStored));
        QCOMPARE(parsed.mid(kStored), QByteArray(kImageSize - kStored, '\0'));
        QCOMPARE(simtest::flash("Mouse1").left(kStored), sent.left(kStored));
    }

    void dumpLayoutMatchesTheImage()
    {
        const QByteArray dump = readDump();
        QCOMPARE(dump.size(), 6912);
        const QByteArray flash = simtest::flash("Mouse1");
        QCOMPARE(dump.left(kStored), flash.left(kStored));
        // Trailer: "R430", format 1, active configuration 0, 4 configurations, 10 macro slots.
        QCOMPARE(dump.mid(kStored, 8), QByteArray("R430\x01\x00\x04\x0a", 8));
        QCOMPARE(dump.mid(kStored + 12), QByteArray(24, '\0'));
        // Factory image: 1000 Hz, 4 DPI levels, the second one active, left button on slot 0.
        QCOMPARE(int(uchar(dump[0])), 1);
        QCOMPARE(int(uchar(dump[1])), 4);
        QCOMPARE(int(uchar(dump[2])), 1);
        QCOMPARE(dump.mid(0x4A, 3), QByteArray("\x01\x01\x00", 3));
        // 400 DPI is sensor code 7 on both axes, red.
        QCOMPARE(dump.mid(15, 6), QByteArray("\x07\x07\x00\xff\x00\x00", 6));
    }

    void damagedDumpIsRefusedAndLeavesTheImage()
    {
        QByteArray dump = readDump();
        QCOMPARE(dump.size(), 6912);
        QByteArray image(kImageSize, char(0x33));
        const QByteArray before = image;
        QByteArray broken = dump;
        broken[100] = char(broken[100] ^ 0x01);
        QVERIFY(!ProtocolDataParser(bytes(broken), image.data()));
        QCOMPARE(image, before);
        broken = dump;
        broken[kStored] = 'X'; // trailer magic
        QVERIFY(!ProtocolDataParser(bytes(broken), image.data()));
        QCOMPARE(image, before);
        QVERIFY(!ProtocolDataParser(nullptr, image.data()));
    }

    void dpiLightFrameDecodes()
    {
        // mode 2, brightness 3, speed 4, on; sum 2+3+4+1 = 10
        const unsigned char frame[8] = {2, 3, 4, 1, 0, 0, 0, 10};
        unsigned char out[6] = {9, 9, 9, 9, 9, 9};
        QVERIFY(BufferToDPILed(frame, out));
        QCOMPARE(QByteArray(reinterpret_cast<char*>(out), 6), QByteArray("\x02\x03\x04\x01\x09\x09", 6));
        unsigned char bad[8] = {2, 3, 4, 1, 0, 0, 0, 11};
        unsigned char untouched[4] = {7, 7, 7, 7};
        QVERIFY(!BufferToDPILed(bad, untouched));
        QCOMPARE(untouched[0], 7);
    }

    void lightBarFrameDecodesIntoImageOrder()
    {
        // wire: mode 2, speed 5, brightness 6, red 0x10, green 0x20, blue 0x30, on, 0, sum 0x6E
        const unsigned char frame[9] = {2, 5, 6, 0x10, 0x20, 0x30, 1, 0, 0x6E};
        unsigned char out[8] = {9, 9, 9, 9, 9, 9, 9, 9};
        QVERIFY(BufferToLedBar(frame, out));
        QCOMPARE(QByteArray(reinterpret_cast<char*>(out), 8), QByteArray("\x02\x10\x20\x30\x05\x06\x01\x09", 8));
        unsigned char bad[9] = {2, 5, 6, 0x10, 0x20, 0x30, 1, 0, 0x6F};
        QVERIFY(!BufferToLedBar(bad, out));
    }

    void lightReportsCarryTheFlash()
    {
        // Distinct values in every light field, so a swapped pair shows.
        QVERIFY(!readDump().isEmpty());
        QByteArray sent = simtest::flash("Mouse1");
        QCOMPARE(sent.size(), kImageSize);
        const QByteArray bar = QByteArray("\x02\x10\x20\x30\x05\x06\x01", 7); // mode, red, green, blue, speed, brightness, on
        const QByteArray dpi = QByteArray("\x03\x04\x07\x01", 4);              // mode, brightness, speed, on
        sent.replace(0x43, bar.size(), bar);
        sent.replace(0x3F, dpi.size(), dpi);
        QVERIFY(ProtocolDataUpdate(sent.constData()));
        QVERIFY(SimControl_WaitIdle(5000));
        ReportSink::instance().clear();

        QVERIFY(UsbServer_ReadLedBar());
        QVERIFY(UsbServer_ReadDPILed());
        Report barReport, dpiReport;
        QVERIFY(ReportSink::instance().waitFor([](const Report& r) { return r.type == 8 && r.command == 0xA0; }, 5000,
                                               &barReport));
        QVERIFY(ReportSink::instance().waitFor([](const Report& r) { return r.type == 8 && r.command == 0x4C; }, 5000,
                                               &dpiReport));
        // On the wire: mode, speed, brightness, red, green, blue, on, 0, sum; the DPI light as stored.
        QCOMPARE(barReport.data, QByteArray("\x02\x05\x06\x10\x20\x30\x01\x00\x6E", 9));
        QCOMPARE(dpiReport.data, QByteArray("\x03\x04\x07\x01\x00\x00\x00\x0F", 8));
        QByteArray image(kImageSize, '\0');
        QVERIFY(BufferToLedBar(bytes(barReport.data), bytes(image) + 0x43));
        QVERIFY(BufferToDPILed(bytes(dpiReport.data), bytes(image) + 0x3F));
        QCOMPARE(image.mid(0x3F, 11), simtest::flash("Mouse1").mid(0x3F, 11));
    }

    void statusAndBatteryDecode()
    {
        const unsigned char status[1] = {0x45}; // bits 0, 2, 6
        unsigned char flags[7];
        memset(flags, 9, sizeof flags);
        QVERIFY(GetDeviceStatusChanged(status, flags));
        QCOMPARE(QByteArray(reinterpret_cast<char*>(flags), 7), QByteArray("\x01\x00\x01\x00\x00\x00\x01", 7));
        // A status report without data must not leave the last report's flags behind.
        QVERIFY(!GetDeviceStatusChanged(nullptr, flags));
        QCOMPARE(QByteArray(reinterpret_cast<char*>(flags), 7), QByteArray(7, '\0'));

        const unsigned char battery[4] = {150, 5, 9, 9};
        unsigned char out[4] = {1, 1, 1, 1};
        QVERIFY(GetDeviceBatteryStatus(battery, out));
        QCOMPARE(QByteArray(reinterpret_cast<char*>(out), 4), QByteArray("\x64\x01\x00\x00", 4));
    }

    void shippedFirmwareImagesCarryTheirHeader_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("fields"); // version (4, LE), kind, CID, MID
        QTest::newRow("mouse") << "R430K_M" << QByteArray("\x07\x01\x00\x00\xd2\x21\x01", 7);
        QTest::newRow("receiver 4K") << "R430K_D4K" << QByteArray("\x04\x01\x00\x00\xd3\x21\x01", 7);
        QTest::newRow("pro mouse") << "R430KPro_M" << QByteArray("\x07\x01\x00\x00\xd2\x21\x02", 7);
        QTest::newRow("pro receiver 8K") << "R430KPro_D8K" << QByteArray("\x04\x01\x00\x00\xd3\x21\x02", 7);
    }
    void shippedFirmwareImagesCarryTheirHeader()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, fields);
        QFile f(QCoreApplication::applicationDirPath() + "/bin/" + file + ".bin");
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
        const QByteArray image = f.readAll();
        QVERIFY(image.size() > 728);
        QCOMPARE(image.mid(16, 7), fields);
        const QByteArray name = image.mid(87, 64);
        QCOMPARE(name.left(name.indexOf('\0')), file.toLatin1());
        QCOMPARE(name.mid(file.size()), QByteArray(64 - file.size(), '\0'));
    }
};

QTEST_GUILESS_MAIN(TestDeviceCodec)
#include "tst_codec.moc"
