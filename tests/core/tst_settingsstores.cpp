#include "core/AppPaths.h"
#include "core/ConfigIni.h"
#include "core/FileIo.h"
#include "core/MacroIni.h"
#include "core/Registry.h"
#include "support/hostile_files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>

class TestSettingsStores : public QObject
{
    Q_OBJECT

private slots:
    // The registry store lives in the config folder; copies of this test run at once must not share it.
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("config")))); }
    void identityKeysDecodeAndLoseWhitespace();
    void identityListsDecodeEveryItem();
    void plainKeysAreReturnedAsStored();
    void missingFileOrKeyGivesEmptyValues();
    void deviceTotalIsBoundByTheGroupsHeld_data();
    void deviceTotalIsBoundByTheGroupsHeld();
    void concurrentReadersSeeTheSameTable();
    void macroIniKeepsValuesAcrossInstances();
    void macroIniWriteKeepsValuesOfADamagedFile();
    void macroIniLanguageIndexFallsBackToEnglish_data();
    void macroIniLanguageIndexFallsBackToEnglish();
    void registryLivesInTheConfigFolder();
    void registryValuesRoundTripAndRemove();
    void damagedFilesReadAsMissing_data();
    void damagedFilesReadAsMissing();

private:
    QString writeIni(const QByteArray& content);
    QTemporaryDir m_dir;
    int m_files = 0;
};

QString TestSettingsStores::writeIni(const QByteArray& content)
{
    const QString path = m_dir.filePath(QStringLiteral("c%1.ini").arg(++m_files));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(content);
    return path;
}

void TestSettingsStores::identityKeysDecodeAndLoseWhitespace()
{
    // "3 3\n" and "R430K _M\n" in Base64: spaces and line breaks go after decoding.
    const QByteArray cid = QByteArray("3 3\n").toBase64();
    const QByteArray mm = QByteArray("R430K _M\n").toBase64();
    const QByteArray sensor = QStringLiteral("ТВ 3395").toUtf8().toBase64();
    ConfigIni ini(writeIni("[Option]\nCID=" + cid + "\n[Drive1]\nMM=" + mm + "\nSensor=" + sensor + "\n"));
    QCOMPARE(ini.GetValue("Option", "CID"), QString("33"));
    QCOMPARE(ini.GetValue("Drive1", "MM"), QString("R430K_M"));
    QCOMPARE(ini.GetValue("Drive1", "Sensor"), QStringLiteral("ТВ3395"));
}

void TestSettingsStores::identityListsDecodeEveryItem()
{
    const QByteArray a = QByteArray("0x4101").toBase64();
    const QByteArray b = QByteArray("0x42 01").toBase64();
    const QByteArray c = QByteArray("0x4301\n").toBase64();
    ConfigIni ini(writeIni("[Option]\nUSB_PID=" + a + ", " + b + ", " + c + "\nWireless_PID=" + a + "\n"));
    QCOMPARE(ini.GetValueList("Option", "USB_PID"), QStringList({"0x4101", "0x4201", "0x4301"}));
    QCOMPARE(ini.GetValueList("Option", "Wireless_PID"), QStringList({"0x4101"}));
    // Key names are exact: a differently cased key is not an identity key.
    QVERIFY(!ConfigIni::IsIdentityKey("usb_pid"));
    QVERIFY(!ConfigIni::IsIdentityKey("MID"));
}

void TestSettingsStores::plainKeysAreReturnedAsStored()
{
    ConfigIni ini(writeIni("[Drive1]\nMID=MzM=\nKeyNumber=6\nDPIColor=255, 0, 0, 0, 255, 0\nXIn1=x\n"));
    QCOMPARE(ini.GetValue("Drive1", "MID"), QString("MzM="));  // not decoded
    QCOMPARE(ini.GetInt("Drive1", "KeyNumber"), 6);
    QCOMPARE(ini.GetInt("Drive1", "XIn1", -7), -7);
    QCOMPARE(ini.GetValueList("Drive1", "DPIColor").size(), 6);
    QCOMPARE(ini.GetValueList("Drive1", "DPIColor").at(4), QString("255"));
}

void TestSettingsStores::missingFileOrKeyGivesEmptyValues()
{
    ConfigIni missing(m_dir.filePath("absent.ini"));
    QVERIFY(!missing.IsLoaded());
    QCOMPARE(missing.GetValue("Option", "CID"), QString());
    QVERIFY(missing.GetValueList("Option", "USB_PID").isEmpty());

    ConfigIni ini(writeIni("[Option]\nDeviceTotal=2\n[Drive1]\nMID=1\n[Drive2]\nMID=2\n"));
    QCOMPARE(ini.GetValue("Option", "VID"), QString());
    QCOMPARE(ini.GetValue("Drive9", "MID"), QString());
    QCOMPARE(ini.GetInt("Option", "DeviceTotal"), 2);

    // Garbage that is not Base64 decodes to something, never crashes.
    ConfigIni junk(writeIni("[Option]\nCID=%%%###\n\x01\x02 = \n[broken\n"));
    junk.GetValue("Option", "CID");
}

void TestSettingsStores::deviceTotalIsBoundByTheGroupsHeld_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("total");
    QTest::addColumn<QString>("warning");  // "cut", "damaged" or none
    const QByteArray two = "[Drive1]\nMID=1\n[Drive2]\nMID=2\n";
    QTest::newRow("as stated") << "[Option]\nDeviceTotal=2\n" + two << 2 << "";
    QTest::newRow("groups past the total") << "[Option]\nDeviceTotal=1\n" + two << 1 << "";
    QTest::newRow("INT_MAX") << "[Option]\nDeviceTotal=2147483647\n" + two << 2 << "cut";
    QTest::newRow("only look-alike groups")
        << QByteArray("[Option]\nDeviceTotal=4\n[Drive0]\nMID=1\n[Drivex]\nMID=1\n[Drive]\nMID=1\n[Drive3]\nMID=3\n")
        << 3 << "cut";
    QTest::newRow("gap in the numbering") << QByteArray("[Option]\nDeviceTotal=3\n[Drive1]\nMID=1\n[Drive3]\nMID=3\n")
                                          << 3 << "";
    QTest::newRow("no groups") << QByteArray("[Option]\nDeviceTotal=3\n") << 0 << "cut";
    QTest::newRow("not a number") << "[Option]\nDeviceTotal=many\n" + two << 0 << "damaged";
    QTest::newRow("negative") << "[Option]\nDeviceTotal=-5\n" + two << 0 << "damaged";
    QTest::newRow("20 digits") << "[Option]\nDeviceTotal=12345678901234567890\n" + two << 0 << "damaged";
}

void TestSettingsStores::deviceTotalIsBoundByTheGroupsHeld()
{
    QFETCH(QByteArray, ini);
    QFETCH(int, total);
    QFETCH(QString, warning);
    if (warning == "cut")
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("DeviceTotal=\\d+ but the highest \"Drive\" group is \\d+"));
    else if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("DeviceTotal \".*\" is no count of devices"));
    const ConfigIni config(writeIni(ini));
    QCOMPARE(config.GetInt("Option", "DeviceTotal"), total);
    QCOMPARE(config.DeviceTotalDamaged(), warning == "damaged");
}

void TestSettingsStores::concurrentReadersSeeTheSameTable()
{
    ConfigIni ini(writeIni("[Option]\nCID=" + QByteArray("33").toBase64() + "\nLabelColor=1, 2, 3\n"));
    std::atomic<int> mismatches{0};
    QList<QThread*> threads;
    for (int t = 0; t < 4; ++t) {
        threads << QThread::create([&ini, &mismatches] {
            for (int i = 0; i < 2000; ++i) {
                if (ini.GetValue("Option", "CID") != QLatin1String("33")
                    || ini.GetValueList("Option", "LabelColor").size() != 3)
                    ++mismatches;
            }
        });
        threads.last()->start();
    }
    for (QThread* thread : threads) {
        thread->wait();
        delete thread;
    }
    QCOMPARE(mismatches.load(), 0);
    QVERIFY(ConfigIni::GetInstance() == ConfigIni::GetInstance());
}

void TestSettingsStores::macroIniKeepsValuesAcrossInstances()
{
    const QString path = m_dir.filePath("Macro.ini");
    {
        MacroIni ini(path);
        QCOMPARE(ini.GetValue("Language", "Language"), QString());
        QVERIFY(ini.SetValue("Language", "Language", "4"));
        QVERIFY(ini.SetValue("FindNew", "IsShow", "1"));
        QVERIFY(ini.SetValue("Names", "Last", QStringLiteral("宏 один")));
    }
    MacroIni again(path);
    QCOMPARE(again.GetValue("Language", "Language"), QString("4"));
    QCOMPARE(again.GetValue("Names", "Last"), QStringLiteral("宏 один"));
    QVERIFY(again.RemoveValue("FindNew", "IsShow"));
    QCOMPARE(MacroIni(path).GetValue("FindNew", "IsShow"), QString());

    // A store that cannot be written says so.
    QFile blocker(m_dir.filePath("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    MacroIni underFile(m_dir.filePath("blocker/Macro.ini"));
    QVERIFY(!underFile.SetValue("Language", "Language", "1"));
}

void TestSettingsStores::macroIniWriteKeepsValuesOfADamagedFile()
{
    // A hand-edited file with a broken section line and stray bytes: a write
    // must not throw away what could be read.
    const QString path = m_dir.filePath("damaged-Macro.ini");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Language]\nLanguage=2\n[AutoStart\nEnable=1\n\x01\x02garbage\n[FindNew]\nIsShow=0\n");
    file.close();
    {
        MacroIni ini(path);
        QCOMPARE(ini.GetValue("Language", "Language"), QString("2"));
        ini.SetValue("FindNew", "IsShow", "1");
    }
    MacroIni again(path);
    QCOMPARE(again.GetValue("Language", "Language"), QString("2"));
    QCOMPARE(again.GetValue("FindNew", "IsShow"), QString("1"));
    QCOMPARE(again.LanguageIndex(), 2);
}

void TestSettingsStores::macroIniLanguageIndexFallsBackToEnglish_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("index");
    QTest::newRow("missing") << QString() << 0;
    QTest::newRow("russian") << "4" << 4;
    QTest::newRow("japanese") << "5" << 5;
    QTest::newRow("out of range") << "6" << 0;
    QTest::newRow("negative") << "-1" << 0;
    QTest::newRow("not a number") << "ru" << 0;
}

void TestSettingsStores::macroIniLanguageIndexFallsBackToEnglish()
{
    QFETCH(QString, stored);
    QFETCH(int, index);
    MacroIni ini(m_dir.filePath(QStringLiteral("lang-%1.ini").arg(QTest::currentDataTag())));
    if (!stored.isNull())
        ini.SetValue("Language", "Language", stored);
    QCOMPARE(ini.LanguageIndex(), index);
}

void TestSettingsStores::registryLivesInTheConfigFolder()
{
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    QVERIFY(!config.isEmpty());
    QVERIFY(Registry::FilePath().startsWith(config + "/"));
    QVERIFY(Registry::SetValue(Registry::DriveTestKey(), "UpdateFailInfo", "1,2,3,4"));
    QVERIFY(QFile::exists(Registry::FilePath()));
    QVERIFY(QDir::current().entryList({"HKEY*"}).isEmpty());
}

void TestSettingsStores::registryValuesRoundTripAndRemove()
{
    const QString key = Registry::DriveTestKey();
    QVERIFY(Registry::SetValue(key, "MouseVer331", "v1.5"));
    QCOMPARE(Registry::Value(key, "MouseVer331").toString(), QString("v1.5"));
    // Different key paths keep values of the same name apart.
    QVERIFY(Registry::SetValue(Registry::InstallerKey(), "MouseVer331", 7));
    QCOMPARE(Registry::Value(key, "MouseVer331").toString(), QString("v1.5"));
    QCOMPARE(Registry::Value(Registry::InstallerKey(), "MouseVer331").toInt(), 7);
    QVERIFY(Registry::Remove(Registry::InstallerKey(), "MouseVer331"));
    QVERIFY(!Registry::Contains(Registry::InstallerKey(), "MouseVer331"));
    QVERIFY(Registry::Contains(key, "MouseVer331"));
    QCOMPARE(Registry::Value(key, "Absent", 3).toInt(), 3);
}

void TestSettingsStores::damagedFilesReadAsMissing_data()
{
    QTest::addColumn<QString>("reader");
    QTest::addColumn<bool>("fifo");  // else a 64 MB file
    for (const char* reader : {"bounded read", "Config.ini", "Macro.ini", "registry"}) {
        QTest::newRow(qPrintable(QStringLiteral("%1, FIFO").arg(QLatin1String(reader)))) << reader << true;
        QTest::newRow(qPrintable(QStringLiteral("%1, huge").arg(QLatin1String(reader)))) << reader << false;
    }
}

// A FIFO in place of a settings file would block the GUI thread for ever, a huge file would be
// read whole: both read as missing, the stores the program writes start afresh and keep the
// damaged file aside, and nothing the user had is deleted.
void TestSettingsStores::damagedFilesReadAsMissing()
{
    QFETCH(QString, reader);
    QFETCH(bool, fifo);
    const bool registry = reader == QLatin1String("registry");
    const QString path = registry ? Registry::FilePath() : m_dir.filePath(QTest::currentDataTag());
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    QFile::remove(path + ".damaged");
    const qint64 huge = qint64(64) << 20;
    std::unique_ptr<hostile::Fifo> pipe(fifo ? new hostile::Fifo(path) : nullptr);
    if (fifo)
        QVERIFY(pipe->made());
    else
        QVERIFY(hostile::makeSparseFile(path, huge, "[Language]\nLanguage=3\n[Drive1]\nSensor=x\n"));
    const bool writable = reader == QLatin1String("Macro.ini") || registry;
    if (writable)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("kept as .*\\.damaged, starting afresh$"));
    if (reader == QLatin1String("bounded read")) {
        QByteArray bytes = "untouched";
        QVERIFY(!core::readFileBounded(path, 1 << 20, &bytes));
        QCOMPARE(bytes, QByteArray("untouched"));
    } else if (reader == QLatin1String("Config.ini")) {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^device table missing or damaged: "));
        ConfigIni config(path);
        QVERIFY(!config.IsLoaded());
        QCOMPARE(config.GetValue("Language", "Language"), QString());
    } else if (reader == QLatin1String("Macro.ini")) {
        MacroIni ini(path);
        QCOMPARE(ini.LanguageIndex(), 0);
        QVERIFY(ini.SetValue("Language", "Language", "2"));
        QCOMPARE(MacroIni(path).LanguageIndex(), 2);
    } else {
        const QString key = Registry::DriveTestKey();
        QCOMPARE(Registry::Value(key, "Language", 7).toInt(), 7);
        QVERIFY(Registry::SetValue(key, "Language", 3));
        QCOMPARE(Registry::Value(key, "Language").toInt(), 3);
    }
    if (fifo)
        QVERIFY2(!pipe->hadToRelease(), "a reader blocked on the FIFO");
    const QFileInfo kept(writable ? path + ".damaged" : path);
    QVERIFY(fifo ? !kept.isFile() && kept.exists() : kept.size() == huge);
}

QTEST_GUILESS_MAIN(TestSettingsStores)
#include "tst_settingsstores.moc"
