#include "core/DeviceAllInfo.h"
#include "core/Firmware.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "settings/FormSetting.h"
#include "settings/UpDateRepair.h"

#include "support/hostile_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QTest>
#include <QtEndian>

namespace {

// A firmware file as the build ships it: 728-byte header, then a body.
QByteArray image(quint32 version, quint8 kind, quint8 cid, quint8 mid, const QByteArray& name, int body = 64)
{
    QByteArray bytes(728 + body, '\x5C');
    qToLittleEndian<quint32>(quint32(body), reinterpret_cast<uchar*>(bytes.data()) + 4);
    qToLittleEndian<quint32>(version, reinterpret_cast<uchar*>(bytes.data()) + 16);
    bytes[20] = char(kind);
    bytes[21] = char(cid);
    bytes[22] = char(mid);
    QByteArray field = name.left(64);
    field.append(QByteArray(64 - field.size(), '\0'));
    bytes.replace(87, 64, field);
    return bytes;
}

} // namespace

class TestFirmwareSearch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void lastMatchInCaseInsensitiveOrderWins();
    void sameVersionIsSkippedUnlessUnknown();
    void olderVersionsAreTakenToo();
    void nameMatchesExactly();
    void shortFilesAndMissingFolder();
    void bytesFourToSevenHideNoImage_data();
    void bytesFourToSevenHideNoImage();
    void checkUpdateFileUsesTheOpenDevice();
    void repairDialogWaitsForCheckOnlyWhenShownAndIdle();

private:
    void put(const QString& fileName, const QByteArray& bytes);
    QTemporaryDir m_app;
};

void TestFirmwareSearch::initTestCase()
{
    RegisterBusTypes();
    QVERIFY(m_app.isValid());
    // Config.ini of the real build, beside a "bin" folder of our own.
    const QString shipped = QCoreApplication::applicationDirPath() + QStringLiteral("/usersetting/Config.ini");
    QVERIFY(QDir().mkpath(m_app.filePath(QStringLiteral("usersetting"))));
    QVERIFY(QFile::copy(shipped, m_app.filePath(QStringLiteral("usersetting/Config.ini"))));
    qputenv("TALVO_APP_DIR", m_app.path().toLocal8Bit());
}

void TestFirmwareSearch::init()
{
    QDir(m_app.filePath(QStringLiteral("bin"))).removeRecursively();
    QVERIFY(QDir().mkpath(m_app.filePath(QStringLiteral("bin"))));
}

void TestFirmwareSearch::put(const QString& fileName, const QByteArray& bytes)
{
    QFile file(m_app.filePath(QStringLiteral("bin/") + fileName));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

void TestFirmwareSearch::lastMatchInCaseInsensitiveOrderWins()
{
    put(QStringLiteral("b.bin"), image(0x0107, 210, 33, 1, "R430K_M"));
    put(QStringLiteral("A.bin"), image(0x0106, 210, 33, 1, "R430K_M"));
    put(QStringLiteral("c.txt"), image(0x0109, 210, 33, 1, "R430K_M"));
    QVERIFY(UpDateRepair::FindFirmwareFile(210, QStringLiteral("v1.5"), QStringLiteral("R430K_M"), 33, 1));
    const QList<QByteArray> found = UpDateRepair::RepairImageList();
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.first(), image(0x0107, 210, 33, 1, "R430K_M"));

    QVERIFY(FormSetting::FindUpdateFile(210, QString(), QStringLiteral("R430K_M"), 33, 1));
    QCOMPARE(FormSetting::UpdateImageList().size(), 1);
    QVERIFY(!FormSetting::FindUpdateFile(211, QString(), QStringLiteral("R430K_M"), 33, 1));
    QVERIFY(FormSetting::UpdateImageList().isEmpty());
}

void TestFirmwareSearch::sameVersionIsSkippedUnlessUnknown()
{
    put(QStringLiteral("mouse.bin"), image(0x0103, 210, 33, 1, "R430K_M"));
    QVERIFY(!UpDateRepair::FindFirmwareFile(210, QStringLiteral("v1.3"), QStringLiteral("R430K_M"), 33, 1));
    QVERIFY(UpDateRepair::RepairImageList().isEmpty());
    QVERIFY(!FormSetting::FindUpdateFile(210, QStringLiteral("v1.3"), QStringLiteral("R430K_M"), 33, 1));
    QVERIFY(UpDateRepair::FindFirmwareFile(210, QString(), QStringLiteral("R430K_M"), 33, 1));
    // Asking only: an unknown version offers nothing.
    QVERIFY(!FormSetting::FindNewerFile(210, QString(), QStringLiteral("R430K_M"), 33, 1));
    QVERIFY(FormSetting::FindNewerFile(210, QStringLiteral("v1.2"), QStringLiteral("R430K_M"), 33, 1));
}

void TestFirmwareSearch::olderVersionsAreTakenToo()
{
    put(QStringLiteral("old.bin"), image(0x0101, 211, 33, 1, "R430K_D4K"));
    QVERIFY(UpDateRepair::FindFirmwareFile(211, QStringLiteral("v1.3"), QStringLiteral("R430K_D4K"), 33, 1));
    // Versions compare as texts: 1.10 and 1.a are different versions.
    put(QStringLiteral("ten.bin"), image(0x010A, 210, 33, 2, "R430KPro_M"));
    QVERIFY(FormSetting::FindUpdateFile(210, QStringLiteral("v1.10"), QStringLiteral("R430KPro_M"), 33, 2));
    QVERIFY(!FormSetting::FindUpdateFile(210, QStringLiteral("v1.a"), QStringLiteral("R430KPro_M"), 33, 2));
}

void TestFirmwareSearch::nameMatchesExactly()
{
    put(QStringLiteral("x.bin"), image(0x0104, 211, 33, 1, "R430K_D"));
    QVERIFY(UpDateRepair::FindFirmwareFile(211, QString(), QStringLiteral("R430K_D"), 33, 1));
    QVERIFY(!UpDateRepair::FindFirmwareFile(211, QString(), QStringLiteral("r430k_d"), 33, 1));
    QVERIFY(!UpDateRepair::FindFirmwareFile(211, QString(), QStringLiteral("R430K_D1"), 33, 1));
    QVERIFY(!UpDateRepair::FindFirmwareFile(211, QString(), QStringLiteral("R430K_D"), 34, 1));
    QVERIFY(!UpDateRepair::FindFirmwareFile(211, QString(), QStringLiteral("R430K_D"), 33, 2));
    // A name filling the whole 64-byte field has no NUL and still matches.
    const QByteArray longName(64, 'N');
    put(QStringLiteral("y.bin"), image(0x0104, 211, 33, 1, longName));
    QVERIFY(UpDateRepair::FindFirmwareFile(211, QString(), QString::fromLatin1(longName), 33, 1));
}

void TestFirmwareSearch::shortFilesAndMissingFolder()
{
    put(QStringLiteral("a.bin"), image(0x0107, 210, 33, 1, "R430K_M"));
    put(QStringLiteral("z.bin"), image(0x0108, 210, 33, 1, "R430K_M").left(727));
    QVERIFY(UpDateRepair::FindFirmwareFile(210, QStringLiteral("v1.5"), QStringLiteral("R430K_M"), 33, 1));
    QCOMPARE(UpDateRepair::RepairImageList().first(), image(0x0107, 210, 33, 1, "R430K_M"));
    QVERIFY(QDir(m_app.filePath(QStringLiteral("bin"))).removeRecursively());
    QVERIFY(!UpDateRepair::FindFirmwareFile(210, QString(), QStringLiteral("R430K_M"), 33, 1));
    QVERIFY(UpDateRepair::RepairImageList().isEmpty());
    QByteArray unused;
    QCOMPARE(core::findFirmwareImage(m_app.path(), core::FirmwareQuery{210, {}, {}, 0, 0}, &unused),
             core::SearchOutcome::NoFolder);
}

void TestFirmwareSearch::bytesFourToSevenHideNoImage_data()
{
    QTest::addColumn<quint32>("bodyLength");  // what a body length there would say; the file holds 64 bytes
    QTest::addColumn<QByteArray>("name");     // the image name in "a.bin"; only "R430K_M" is asked for
    // What "0.bin", met first, is: nothing, a FIFO, a file whose read fails, or a newer image of
    // aheadBytes bytes.
    QTest::addColumn<QString>("ahead");
    QTest::addColumn<qint64>("aheadBytes");
    QTest::addColumn<int>("outcome");
    const int found = int(core::SearchOutcome::Found);
    const int notFound = int(core::SearchOutcome::NotFound);
    const QByteArray asked = "R430K_M";
    const QByteArray other = "R430K_X";
    const qint64 largest = 32 << 20;
    QTest::newRow("whole body") << quint32(64) << asked << QString() << qint64(0) << found;
    QTest::newRow("more than the file holds") << quint32(65) << asked << QString() << qint64(0) << found;
    QTest::newRow("largest value") << quint32(0xFFFFFFFF) << asked << QString() << qint64(0) << found;
    // One bad file hides no other; only a file that should have read and did not is told apart.
    QTest::newRow("unreadable file ahead") << quint32(64) << asked << "unreadable" << qint64(0) << found;
    QTest::newRow("unreadable file alone") << quint32(64) << other << "unreadable" << qint64(0)
                                           << int(core::SearchOutcome::Unreadable);
    QTest::newRow("FIFO ahead") << quint32(64) << asked << "fifo" << qint64(0) << found;
    QTest::newRow("FIFO alone") << quint32(64) << other << "fifo" << qint64(0) << notFound;
    QTest::newRow("image of 32 MiB") << quint32(64) << other << "image" << largest << found;
    QTest::newRow("image of 32 MiB + 1") << quint32(64) << other << "image" << largest + 1 << notFound;
    QTest::newRow("32 MiB + 1 ahead") << quint32(64) << asked << "image" << largest + 1 << found;
}

// The first 16 bytes mean something to the device library only, which is handed the image's
// size and judges the body itself: whatever bytes 4 to 7 hold, the search offers the image. Nor
// does a file ahead of it that cannot be read, is no file or is too large to be an image.
void TestFirmwareSearch::bytesFourToSevenHideNoImage()
{
    QFETCH(quint32, bodyLength);
    QFETCH(QByteArray, name);
    QFETCH(QString, ahead);
    QFETCH(qint64, aheadBytes);
    QFETCH(int, outcome);
    const bool found = outcome == int(core::SearchOutcome::Found);
    QByteArray bytes = image(0x0107, 210, 33, 1, name);
    qToLittleEndian<quint32>(bodyLength, reinterpret_cast<uchar*>(bytes.data()) + 4);
    put(QStringLiteral("a.bin"), bytes);
    const QString first = m_app.filePath(QStringLiteral("bin/0.bin"));
    std::unique_ptr<hostile::Fifo> fifo;
    if (ahead == QLatin1String("fifo"))
        fifo = std::make_unique<hostile::Fifo>(first);
    // A regular file, as stat sees it, whose first read fails, even for root.
    if (ahead == QLatin1String("unreadable"))
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), first));
    if (ahead == QLatin1String("image"))
        put(QStringLiteral("0.bin"), image(0x0108, 210, 33, 1, "R430K_M", int(aheadBytes) - 728));
    // Each of the three searches below says once that it skipped the file ahead (a FIFO is not
    // even listed).
    const bool skipped = ahead == QLatin1String("unreadable") || aheadBytes > (32 << 20);
    for (int i = 0; skipped && i < 3; ++i)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^firmware image skipped:"));
    QByteArray unused;
    QCOMPARE(int(core::findFirmwareImage(m_app.path(), core::FirmwareQuery{210, {}, QStringLiteral("R430K_M"), 33, 1},
                                         &unused)),
             outcome);
    QCOMPARE(UpDateRepair::FindFirmwareFile(210, QString(), QStringLiteral("R430K_M"), 33, 1), found);
    QCOMPARE(FormSetting::FindUpdateFile(210, QString(), QStringLiteral("R430K_M"), 33, 1), found);
    QCOMPARE(FormSetting::UpdateImageList().isEmpty(), !found);
    if (fifo)
        QVERIFY2(!fifo->hadToRelease(), "the search blocked on the FIFO");
}

void TestFirmwareSearch::checkUpdateFileUsesTheOpenDevice()
{
    put(QStringLiteral("pro_d2.bin"), image(0x0104, 211, 33, 2, "R430KPro_D2K"));
    put(QStringLiteral("pro_m.bin"), image(0x0107, 210, 33, 2, "R430KPro_M"));
    DeviceAllInfo pro;
    pro.DevicePath = QStringLiteral("pro");
    pro.DriveIndex = 1;
    StoreCurrentDeviceInfo(pro);
    QVERIFY(FormSetting::CheckUpdateFile(211, QStringLiteral("v1.3"), 2));
    QVERIFY(!FormSetting::CheckUpdateFile(211, QStringLiteral("v1.3"), 4));
    QVERIFY(!FormSetting::CheckUpdateFile(211, QStringLiteral("v1.3"), 0));
    QVERIFY(FormSetting::CheckUpdateFile(210, QStringLiteral("v1.5"), 0));
    QVERIFY(!FormSetting::CheckUpdateFile(210, QStringLiteral("v1.7"), 2));
    pro.DriveIndex = 0;
    StoreCurrentDeviceInfo(pro);
    QVERIFY(!FormSetting::CheckUpdateFile(210, QStringLiteral("v1.5"), 2));
}

void TestFirmwareSearch::repairDialogWaitsForCheckOnlyWhenShownAndIdle()
{
    // The worker asks after every rescan; the dialog answers only while it
    // shows and no update check runs.
    UpDateRepair repair;
    QVERIFY(!repair.WaitsForCheck());
    repair.show();
    QVERIFY(repair.WaitsForCheck());
    UpdateCheckRunning = 1;
    QVERIFY(!repair.WaitsForCheck());
    UpdateCheckRunning = 0;
    repair.hide();
    QVERIFY(!repair.WaitsForCheck());
}

QTEST_MAIN(TestFirmwareSearch)
#include "tst_firmwaresearch.moc"
