#include "core/AppPaths.h"
#include "core/ConfigIni.h"
#include "core/DeviceAllInfo.h"
#include "core/DeviceInfoFile.h"
#include "core/FlashDataMap.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "dialogs/UpDataParam.h"
#include "dialogs/UpDataParamImport.h"
#include "support/hostile_files.h"
#include "support/modal_helpers.h"
#include "support/sim_helpers.h"

#include <HIDUsb.h>
#include <SimControl.h>

#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

#include <cstring>

using namespace dialogs;

namespace {

void ignoreReport(const unsigned char*, int, const unsigned char*, int) {}

// A recognisable image: every byte differs from the factory values the simulator starts with.
FlashDataMap sampleImage(int dpiLevels)
{
    FlashDataMap image = EmptyFlashDataMap();
    image.ReportRate = 2;
    image.DpiLevelCount = quint8(dpiLevels);
    image.CurrentDpiLevel = 1;
    image.DebounceTime = 7;
    image.SleepTime = 30;
    for (int level = 0; level < kDpiLevels; ++level) {
        image.DpiLevel[level].DpiValue[0] = quint8(0x10 + level);
        image.DpiLevel[level].DpiValue[1] = quint8(0x10 + level);
        image.DpiLevel[level].DpiColor[0] = quint8(0x40 + level);
    }
    image.ButtonFunction[0] = {1, 1, 0};
    image.ButtonFunction[1] = {1, 2, 0};
    return image;
}

QByteArray bytesOf(const FlashDataMap& image)
{
    return QByteArray(reinterpret_cast<const char*>(&image), int(sizeof image));
}

QByteArray be32(quint32 v)
{
    QByteArray out(4, '\0');
    qToBigEndian(v, out.data());
    return out;
}

// A settings file assembled by hand from its blocks.
QByteArray fileOf(const QByteArray& tag, const QByteArray& sensor, const QByteArray& image)
{
    return be32(quint32(tag.size())) + tag + be32(quint32(sensor.size())) + sensor + be32(quint32(image.size())) + image;
}

QByteArray text12(const char* text)
{
    QByteArray block(text);
    block.append(QByteArray(12 - block.size(), '\0'));
    return block;
}

QString writeTemp(const QString& name, const QByteArray& bytes)
{
    const QString path = UserDataDir() + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

} // namespace

class TestUpDataParam : public QObject
{
    Q_OBJECT

private:
    QString m_sensor;
    std::string m_receiverPath;

private slots:
    void initTestCase()
    {
        RegisterBusTypes();
        QDir().mkpath(UserDataDir() + QStringLiteral("/Device_Info"));
        m_sensor = ConfigIni::GetInstance()->GetValue(QStringLiteral("Drive1"), QStringLiteral("Sensor"));
        QCOMPARE(m_sensor, QStringLiteral("TV3395"));
        QCOMPARE(ConfigIni::GetInstance()->GetInt(QStringLiteral("Drive1"), QStringLiteral("DPIMaxGrade")), 8);
    }

    void init()
    {
        core::resetDeviceLinkState();
        QVERIFY(simtest::loadScenario());
        m_receiverPath = SimControl_DevicePath("Receiver1");
        SetCurrentDevicePath(m_receiverPath);
        DeviceAllInfo info;
        info.DevicePath = QString::fromStdString(m_receiverPath);
        info.DriveIndex = 0;
        StoreCurrentDeviceInfo(info);
        StoreCurrentFlashData(EmptyFlashDataMap());
        UsbServerC_Start(m_receiverPath.c_str(), m_receiverPath.c_str(), &ignoreReport);
        ImportResult = -1;
    }

    void cleanup() { UsbServer_Exit(); }

    void fileLayoutIsThreeLengthPrefixedBlocks()
    {
        const QByteArray bytes = settingsFileBytes(QStringLiteral("TV3395"), sampleImage(4));
        QCOMPARE(bytes.size(), 10464);
        QCOMPARE(bytes.left(16).toHex(), QByteArray("0000000c4b76656c7400000000000000"));
        QCOMPARE(bytes.mid(16, 16).toHex(), QByteArray("0000000c545633333935000000000000"));
        QCOMPARE(bytes.mid(32, 4).toHex(), QByteArray("000028bc"));
    }

    void sensorBlockIsUtf8_data()
    {
        QTest::addColumn<QString>("sensor");
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<int>("expected");
        QTest::newRow("ascii") << "TV3395" << QByteArray("545633333935000000000000") << 0;
        QTest::newRow("latin letter") << QString::fromUtf8("\xc3\x84" "3395") << QByteArray("c38433333935000000000000")
                                      << 0;
        QTest::newRow("chinese") << QString::fromUtf8("\xe4\xbc\xa0\xe6\x84\x9f" "3395")
                                 << QByteArray("e4bca0e6849f333339350000") << 0;
        // Eleven bytes would split the fourth character; the name cannot match then.
        QTest::newRow("cut at a character") << QString::fromUtf8("\xe4\xbc\xa0\xe6\x84\x9f\xe5\x99\xa8\xe4\xbc\xa0")
                                            << QByteArray("e4bca0e6849fe599a8000000") << 2;
    }

    void sensorBlockIsUtf8()
    {
        QFETCH(QString, sensor);
        QFETCH(QByteArray, block);
        QFETCH(int, expected);
        const QByteArray bytes = settingsFileBytes(sensor, sampleImage(4));
        QCOMPARE(bytes.mid(20, 12).toHex(), block);
        FlashDataMap out = EmptyFlashDataMap();
        QCOMPARE(int(parseSettingsFile(bytes, sensor, 8, &out)), expected);
    }

    void parseDecidesByTagSensorAndLevels_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("expected");
        const QByteArray image4 = bytesOf(sampleImage(4));
        const QByteArray tag = text12("Kvelt");
        const QByteArray sensor = text12("TV3395");
        QTest::newRow("good") << fileOf(tag, sensor, image4) << int(ImportAccepted);
        QTest::newRow("levels equal to the maximum") << fileOf(tag, sensor, bytesOf(sampleImage(8))) << 0;
        QTest::newRow("one level too many") << fileOf(tag, sensor, bytesOf(sampleImage(9))) << 2;
        QTest::newRow("tag in other case") << fileOf(text12("kvelt"), sensor, image4) << 1;
        QTest::newRow("other sensor") << fileOf(tag, text12("TV3950"), image4) << 2;
        QTest::newRow("short image block") << fileOf(tag, sensor, image4.left(10427)) << 1;
        QTest::newRow("oversized image block") << fileOf(tag, sensor, image4 + '\0') << 1;
        QTest::newRow("oversized tag block") << fileOf(tag + "AAAA", sensor, image4) << 1;
        QTest::newRow("oversized sensor block") << fileOf(tag, QByteArray(200, 'T'), image4) << 1;
        QTest::newRow("file ends inside the image") << fileOf(tag, sensor, image4).left(5000) << 1;
        QTest::newRow("length claims 4 GB") << (be32(0xFFFFFFFF) + tag) << 1;
        QTest::newRow("trailing bytes") << (fileOf(tag, sensor, image4) + "x") << 1;
        QTest::newRow("empty") << QByteArray() << 1;
        // Fields that no page writes and no mouse reports: the image would go to the mouse as it is.
        const auto forged = [&](auto change) {
            FlashDataMap image = sampleImage(4);
            change(image);
            return fileOf(tag, sensor, bytesOf(image));
        };
        QTest::newRow("rate code 0") << forged([](FlashDataMap& i) { i.ReportRate = 0; }) << 1;
        QTest::newRow("rate code 3") << forged([](FlashDataMap& i) { i.ReportRate = 3; }) << 1;
        QTest::newRow("rate code 64") << forged([](FlashDataMap& i) { i.ReportRate = 64; }) << 0;
        QTest::newRow("no DPI level") << forged([](FlashDataMap& i) { i.DpiLevelCount = 0; }) << 1;
        QTest::newRow("current level 200") << forged([](FlashDataMap& i) { i.CurrentDpiLevel = 200; }) << 1;
        QTest::newRow("current level past the count") << forged([](FlashDataMap& i) { i.CurrentDpiLevel = 4; }) << 1;
        QTest::newRow("last level current") << forged([](FlashDataMap& i) { i.CurrentDpiLevel = 3; }) << 0;
        QTest::newRow("sensor mode 3") << forged([](FlashDataMap& i) { i.SensorMode = 3; }) << 1;
        QTest::newRow("corded sensor mode") << forged([](FlashDataMap& i) { i.SensorMode = 2; }) << 0;
    }

    void parseDecidesByTagSensorAndLevels()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, expected);
        FlashDataMap out = EmptyFlashDataMap();
        out.ReportRate = 0x55;
        QCOMPARE(int(parseSettingsFile(file, QStringLiteral("TV3395"), 8, &out)), expected);
        if (expected == ImportAccepted)
            QCOMPARE(bytesOf(out), file.mid(36));
        else
            QCOMPARE(out.ReportRate, quint8(0x55)); // a refused file leaves the caller's image alone
    }

    void unreadablePathIsNotASettingsFile()
    {
        FlashDataMap out;
        QCOMPARE(UpDataParam::ImportParamFile(QStringLiteral("/nonexistent/x.bin"), &out), 1);
        // A FIFO offered as the file to import is no settings file: nothing waits on it.
        QTemporaryDir dir;
        hostile::Fifo fifo(dir.filePath(QStringLiteral("x.bin")));
        QCOMPARE(UpDataParam::ImportParamFile(dir.filePath(QStringLiteral("x.bin")), &out), 1);
        QVERIFY2(!fifo.hadToRelease(), "the import blocked on the FIFO");
    }

    void goodImportReachesTheMouseFlash()
    {
        const FlashDataMap image = sampleImage(5);
        UpDataParam notice;
        notice.IsImport = true;
        notice.ImportFile = writeTemp(QStringLiteral("good.bin"), settingsFileBytes(m_sensor, image));
        QSignalSpy refills(PostMsg::instance(), &PostMsg::SigUpDataButtonUIC);
        QSignalSpy formB(PostMsg::instance(), &PostMsg::SigFormB);
        notice.onTimeupDestroy();

        QCOMPARE(ImportResult.load(), 0);
        QVERIFY(!notice.IsImport);
        QCOMPARE(refills.count(), 1);
        QCOMPARE(formB.count(), 1);
        QCOMPARE(bytesOf(CurrentFlashDataCopy()), bytesOf(image));
        QVERIFY(SimControl_WaitIdle(5000));
        QCOMPARE(simtest::flash("Mouse1"), bytesOf(image));
        // An import is no cache write: the cache follows the mouse, not the file.
        QVERIFY(QDir(UserDataDir() + QStringLiteral("/Device_Info")).entryList({QStringLiteral("Device_CID*")}).isEmpty());
    }

    void refusedImportsChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("expected");
        const QByteArray image = bytesOf(sampleImage(3));
        QTest::newRow("wrong tag") << fileOf(text12("Other"), text12("TV3395"), image) << 1;
        QTest::newRow("other sensor") << fileOf(text12("Kvelt"), text12("TV3950"), image) << 2;
        QTest::newRow("short block") << fileOf(text12("Kvelt"), text12("TV3395"), image.left(6912)) << 1;
        QTest::newRow("oversized block") << fileOf(text12("Kvelt"), text12("TV3395"), image + image) << 1;
    }

    void refusedImportsChangeNothing()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, expected);
        const QByteArray flashBefore = simtest::flash("Mouse1");
        QVERIFY(!flashBefore.isEmpty());
        StoreCurrentFlashData(EmptyFlashDataMap());
        SimControl_ClearCallLog();

        UpDataParam notice;
        notice.IsImport = true;
        notice.ImportFile = writeTemp(QStringLiteral("bad.bin"), file);
        modaltest::ModalDriver closer;
        notice.onTimeupDestroy();

        QCOMPARE(ImportResult.load(), expected);
        QCOMPARE(closer.seen(), QStringList{QStringLiteral("InportFail")});
        QCOMPARE(bytesOf(CurrentFlashDataCopy()), bytesOf(EmptyFlashDataMap()));
        QVERIFY(simtest::callsStartingWith(simtest::callLog(), {"ProtocolDataUpdate"}).isEmpty());
        QCOMPARE(simtest::flash("Mouse1"), flashBefore);
    }

    void importToASleepingMouseFailsAndKeepsTheImage()
    {
        SimControl_SetAwake("Mouse1", false);
        const FlashDataMap before = CurrentFlashDataCopy();
        UpDataParam notice;
        notice.IsImport = true;
        notice.ImportFile = writeTemp(QStringLiteral("good.bin"), settingsFileBytes(m_sensor, sampleImage(2)));
        QSignalSpy offline(PostMsg::instance(), &PostMsg::SigMouseOffLineo);
        notice.onTimeupDestroy();

        QCOMPARE(ImportResult.load(), int(ImportDeviceOffline));
        QCOMPARE(offline.count(), 1);
        QCOMPARE(offline.first().first().toInt(), 0);
        QCOMPARE(bytesOf(CurrentFlashDataCopy()), bytesOf(before));
    }

    void normalWaitWritesFirstCacheOnlyAfterPagesFilled_data()
    {
        QTest::addColumn<bool>("fromDevice");
        QTest::newRow("image the mouse sent") << true;
        // Pages filled, but not with what the open mouse sent (its dump has not arrived, or it
        // belonged to a connection since left): that image is no cache of this mouse.
        QTest::newRow("image not the mouse's") << false;
    }

    void normalWaitWritesFirstCacheOnlyAfterPagesFilled()
    {
        QFETCH(bool, fromDevice);
        SessionOnline = 1;
        WorkerOnline = 1;
        core::setImageFromOpenDevice(fromDevice);
        SetCacheFileName(DeviceCacheFileName(0x21, 1));
        SetDumpCacheFileName(DeviceCacheFileName(0x21, 1));
        QFile::remove(DeviceCachePath(CacheFileName()));
        StoreCurrentFlashData(sampleImage(4));
        ButtonPageFilled = 1;
        SensorPageFilled = 1;

        UpDataParam notice;
        QSignalSpy offline(PostMsg::instance(), &PostMsg::SigMouseOffLineo);
        notice.onTimeupDestroy();
        QCOMPARE(offline.count(), 0);
        QCOMPARE(int(ButtonPageFilled), 0); // both flags are taken by the wait
        QCOMPARE(int(SensorPageFilled), 0);
        if (!fromDevice) {
            QVERIFY(!QFile::exists(DeviceCachePath(CacheFileName())));
            return;
        }
        FlashDataMap cached;
        QVERIFY(ReadDeviceInfoFile(CacheFileName(), &cached));
        QCOMPARE(bytesOf(cached), bytesOf(sampleImage(4)));
        QCOMPARE(QFileInfo(DeviceCachePath(CacheFileName())).size(), 10432);
    }

    void normalWaitTimeoutWritesNoCache()
    {
        SessionOnline = 1;
        WorkerOnline = 1;
        core::setImageFromOpenDevice(true);
        SetCacheFileName(DeviceCacheFileName(0x21, 2));
        SetDumpCacheFileName(DeviceCacheFileName(0x21, 2));
        QFile::remove(DeviceCachePath(CacheFileName()));
        ButtonPageFilled = 1; // only one page filled: the image shown is not complete

        UpDataParam notice;
        QSignalSpy offline(PostMsg::instance(), &PostMsg::SigMouseOffLineo);
        notice.onTimeupDestroy();
        QCOMPARE(offline.count(), 1);
        QCOMPARE(offline.first().first().toInt(), 1);
        QVERIFY(!QFile::exists(DeviceCachePath(CacheFileName())));
    }

    void reloadRunsOnceAndStartsFromClearedFlags()
    {
        ButtonPageFilled = 1;
        SensorPageFilled = 1;
        UpDataParam notice;
        notice.setReload();
        QCOMPARE(int(ButtonPageFilled), 0); // flags of the fill before the reset do not count
        // The pages fill while the notice waits.
        QTimer::singleShot(600, &notice, [] {
            ButtonPageFilled = 1;
            SensorPageFilled = 1;
        });
        QSignalSpy offline(PostMsg::instance(), &PostMsg::SigMouseOffLineo);
        notice.onTimeupDestroy();
        QCOMPARE(offline.count(), 0);
        QVERIFY(!notice.IsReload); // the next open is an ordinary wait again
    }

    // The device asks for a reload while the notice still waits for the pages: the reload job runs
    // after the wait, not inside it (nested, the wait would take the reload's fill for its own and
    // the two jobs' notices would come in the wrong order).
    void requestDuringAJobRunsAfterIt()
    {
        SessionOnline = 1;
        WorkerOnline = 0;
        ButtonPageFilled = 0;
        SensorPageFilled = 0;
        UpDataParam notice;
        QStringList log;
        connect(PostMsg::instance(), &PostMsg::SigSetver, this, [&log](int v) { log << QStringLiteral("S%1").arg(v); });
        connect(PostMsg::instance(), &PostMsg::SigMouseOffLineo, this,
                [&log](int v) { log << QStringLiteral("O%1").arg(v); });
        // The timer of the second request fires while the first job waits.
        QTimer::singleShot(1000, &notice, [&notice] {
            notice.setReload();
            notice.onTimeupDestroy();
        });
        // The pages fill only after the first job has given up (6 s of passes).
        QTimer::singleShot(7000, &notice, [] {
            ButtonPageFilled = 1;
            SensorPageFilled = 1;
        });
        notice.onTimeupDestroy();
        disconnect(PostMsg::instance(), nullptr, this, nullptr);
        QCOMPARE(log, (QStringList{"S4", "O1", "S4"}));
        QVERIFY(!notice.IsReload);
    }

    void offlineFallbackFillsPagesFromCache()
    {
        SessionOnline = 0;
        SetCacheFileName(DeviceCacheFileName(0x21, 1));
        QVERIFY(WriteDeviceInfoFile(CacheFileName(), sampleImage(6)));
        const QByteArray before = bytesOf(CurrentFlashDataCopy());
        QSignalSpy sensor(PostMsg::instance(), &PostMsg::SigUpDataSensorUIB);
        QSignalSpy offline(PostMsg::instance(), &PostMsg::SigMouseOffLineo);
        UpDataParam notice;
        notice.onTimeupDestroy();
        QCOMPARE(sensor.count(), 1);
        QCOMPARE(bytesOf(sensor.first().first().value<FlashDataMap>()), bytesOf(sampleImage(6)));
        QCOMPARE(offline.count(), 1);
        QCOMPARE(bytesOf(CurrentFlashDataCopy()), before); // shown, not taken as the mouse's image
    }

    void importOpenerChecksTheMouseFirst()
    {
        SimControl_SetAwake("Mouse1", false);
        QSignalSpy offline(PostMsg::instance(), &PostMsg::SigMouseOffLineo);
        UpDataParam::setNextImportFileForTesting(QStringLiteral("/never/asked.bin"));
        QWidget page;
        QCOMPARE(UpDataParam::RunImport(&page), -1);
        QCOMPARE(offline.count(), 1);
        QCOMPARE(int(ParamProgressSuppressed), 0);
        QCOMPARE(ImportResult.load(), -1);
    }

    void importOpenerRunsTheNoticeAndRestoresFlags()
    {
        const FlashDataMap image = sampleImage(3);
        UpDataParam::setNextImportFileForTesting(writeTemp(QStringLiteral("open.bin"), settingsFileBytes(m_sensor, image)));
        QWidget page;
        page.resize(883, 605);
        page.show();
        bool suppressedMeanwhile = false;
        int runningMeanwhile = 0;
        QTimer probe;
        connect(&probe, &QTimer::timeout, this, [&] {
            suppressedMeanwhile = suppressedMeanwhile || ParamProgressSuppressed;
            runningMeanwhile = qMax(runningMeanwhile, ImportRunning.load());
        });
        probe.start(10);
        QCOMPARE(UpDataParam::RunImport(&page), 0);
        QVERIFY(suppressedMeanwhile);
        QCOMPARE(runningMeanwhile, 1);
        QCOMPARE(int(ParamProgressSuppressed), 0);
        QCOMPARE(ImportRunning.load(), 0);
        QCOMPARE(bytesOf(CurrentFlashDataCopy()), bytesOf(image));
    }

    void importNoticeSaysImporting()
    {
        ImportRunning = 1;
        UpDataParam notice;
        const QString importing = notice.findChild<QLabel*>(QStringLiteral("label"))->text();
        ImportRunning = 0;
        UpDataParam plain;
        QVERIFY(!importing.isEmpty());
        QVERIFY(importing != plain.findChild<QLabel*>(QStringLiteral("label"))->text());
    }
};

QTEST_MAIN(TestUpDataParam)
#include "tst_updataparam.moc"
