#include "core/AppPaths.h"
#include "core/ConfigIni.h"
#include "core/FileIo.h"
#include "core/FileNotices.h"
#include "core/IniStore.h"
#include "core/MacroIni.h"
#include "core/Registry.h"
#include "support/full_disk.h"
#include "support/hostile_files.h"
#include "support/sync_faults.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <functional>
#include <utility>

#include <memory>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The registry store is one per config folder: a row gets a folder of its own under dir, named
// after its data tag, for as long as it runs.
class RowConfigFolder
{
public:
    explicit RowConfigFolder(const QTemporaryDir& dir)
        : m_before(qgetenv("XDG_CONFIG_HOME"))
        , m_path(dir.filePath(QTest::currentDataTag()))
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_path));
    }
    ~RowConfigFolder() { qputenv("XDG_CONFIG_HOME", m_before); }
    RowConfigFolder(const RowConfigFolder&) = delete;
    RowConfigFolder& operator=(const RowConfigFolder&) = delete;
    QString path() const { return m_path; }

private:
    const QByteArray m_before;
    const QString m_path;
};

} // namespace

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
    void storeWriteOnAFullDiskKeepsTheOldFile_data();
    void storeWriteOnAFullDiskKeepsTheOldFile();
    void storeWriteWithoutAFolderSyncIsSaved_data();
    void storeWriteWithoutAFolderSyncIsSaved();
    void damagedFilesReadAsMissing_data();
    void damagedFilesReadAsMissing();
    void storeFilesReadTheSameAsQSettings_data();
    void storeFilesReadTheSameAsQSettings();
    void languageKeptAfterAFailedWriteReadsBackAsKept();
    void entriesTheProgramDoesNotChangeKeepTheirBytes_data();
    void entriesTheProgramDoesNotChangeKeepTheirBytes();
    void anotherWritersValueSurvivesTheProgramsWrites_data();
    void anotherWritersValueSurvivesTheProgramsWrites();
    void storeThatCannotBeReadIsNeverWrittenOver_data();
    void storeThatCannotBeReadIsNeverWrittenOver();
    void failedRegistryWriteIsToldOnce();
    void storeSetAsideWhileRunningIsToldOnce_data();
    void storeSetAsideWhileRunningIsToldOnce();
    void sameSizeEditOfAnotherWriterIsSeen_data();
    void sameSizeEditOfAnotherWriterIsSeen();
    void qsettingsWriterHoldingTheLockIsWaitedFor();
    void valueTheFileHoldsIsNoChangeOfTheProgram();

private:
    QString writeIni(const QByteArray& content);
    static QByteArray fileBytes(const QString& path);
    static void overwriteKeepingTime(const QString& path, const QByteArray& bytes, int secondsBack = 0);
    static bool changedSince(const QString& path, const QByteArray& bytes, const timespec& since);
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

// Written over in place from its start, its modification time put back as it was, or further.
void TestSettingsStores::overwriteKeepingTime(const QString& path, const QByteArray& bytes, int secondsBack)
{
    struct stat before;
    QFile out(path);
    QVERIFY(::stat(QFile::encodeName(path).constData(), &before) == 0 && out.open(QIODevice::ReadWrite));
    QVERIFY(out.write(bytes) == bytes.size() && out.flush());
    timespec times[2] = {before.st_atim, before.st_mtim};
    times[1].tv_sec -= secondsBack;
    QVERIFY(::futimens(out.handle(), times) == 0);
}

// Written over as overwriteKeepingTime does; true once the file's change time is past `since`.
bool TestSettingsStores::changedSince(const QString& path, const QByteArray& bytes, const timespec& since)
{
    overwriteKeepingTime(path, bytes);
    struct stat now;
    return ::stat(QFile::encodeName(path).constData(), &now) == 0
           && (now.st_ctim.tv_sec != since.tv_sec || now.st_ctim.tv_nsec != since.tv_nsec);
}

QByteArray TestSettingsStores::fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
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
    QCOMPARE(Registry::Value(key, "MouseVer331"), QString("v1.5"));
    // Different key paths keep values of the same name apart.
    QVERIFY(Registry::SetValue(Registry::InstallerKey(), "MouseVer331", "7"));
    QCOMPARE(Registry::Value(key, "MouseVer331"), QString("v1.5"));
    QCOMPARE(Registry::Value(Registry::InstallerKey(), "MouseVer331").toInt(), 7);
    QVERIFY(Registry::Remove(Registry::InstallerKey(), "MouseVer331"));
    QVERIFY(!Registry::Contains(Registry::InstallerKey(), "MouseVer331"));
    QVERIFY(Registry::Contains(key, "MouseVer331"));
    QCOMPARE(Registry::Value(key, "Absent", "3"), QString("3"));

    // Text that the ini form would otherwise read as a list, a comment, a typed value or an escape.
    const QStringList texts = {" a, b; c = d ", "@odd", "quote\" back\\slash", QString("\x01") + "ab", "\u00e91F",
                               "宏 один", "", "General"};
    for (int i = 0; i < texts.size(); ++i)
        QVERIFY(Registry::SetValue(key, QStringLiteral("name %1 é/x").arg(i), texts[i]));
    for (int i = 0; i < texts.size(); ++i)
        QCOMPARE(Registry::Value(key, QStringLiteral("name %1 é/x").arg(i)), texts[i]);
    // Rewrites of the same size, faster than the clock ticks, are each read back.
    for (int i = 0; i < 100; ++i) {
        QVERIFY(Registry::SetValue(key, "Flip", QString::number(i % 10)));
        QCOMPARE(Registry::Value(key, "Flip").toInt(), i % 10);
    }
}

void TestSettingsStores::storeWriteOnAFullDiskKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("store");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("limit");  // file size limit in bytes while writing
    for (const char* store : {"Macro.ini", "registry"}) {
        for (int size : {1, 100, 10464, 20000}) {
            for (int limit : {0, 200})
                QTest::addRow("%s, %d bytes, limit %d", store, size, limit) << store << size << limit;
        }
    }
}

// A full disk (a file size limit fails a write as a full disk does): the store says it was not
// written and its file keeps every byte it had.
void TestSettingsStores::storeWriteOnAFullDiskKeepsTheOldFile()
{
    QFETCH(QString, store);
    QFETCH(int, size);
    QFETCH(int, limit);
    const bool registry = store == QLatin1String("registry");
    const QString path = registry ? Registry::FilePath() : m_dir.filePath("full-Macro.ini");
    QFile::remove(path);
    std::unique_ptr<MacroIni> ini(registry ? nullptr : new MacroIni(path));
    auto set = [&](const QString& key, const QString& value) {
        return registry ? Registry::SetValue(Registry::DriveTestKey(), key, value) : ini->SetValue("Full", key, value);
    };
    QVERIFY(set("Kept", QString(5000, 'k')) && set("Language", "3"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray old = file.readAll();
    file.close();

    hostile::FullDisk full{rlim_t(limit)};
    QVERIFY(full.made());
    const bool written = set("Language", QString(size, 'n'));
    full.release();

    QVERIFY(!written);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), old);
    QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList({QFileInfo(path).fileName() + "*"}, QDir::Files),
             QStringList{QFileInfo(path).fileName()});
    // The new value holds for the rest of the run all the same.
    const QString language =
        registry ? Registry::Value(Registry::DriveTestKey(), "Language") : ini->GetValue("Full", "Language");
    QCOMPARE(language, QString(size, 'n'));
}

void TestSettingsStores::storeWriteWithoutAFolderSyncIsSaved_data()
{
    QTest::addColumn<QString>("store");
    QTest::addColumn<int>("answer");  // of a folder's fsync
    for (const char* store : {"Macro.ini", "registry"}) {
        QTest::addRow("%s, EOPNOTSUPP", store) << store << EOPNOTSUPP;
        QTest::addRow("%s, EPERM", store) << store << EPERM;
    }
}

// On a file system that cannot sync a folder (FUSE, network ones), a store's write is one.
void TestSettingsStores::storeWriteWithoutAFolderSyncIsSaved()
{
    QFETCH(QString, store);
    QFETCH(int, answer);
    const bool registry = store == QLatin1String("registry");
    const RowConfigFolder folder(m_dir);
    const QString path = registry ? Registry::FilePath() : folder.path() + "/Macro.ini";
    std::unique_ptr<MacroIni> ini(registry ? nullptr : new MacroIni(path));
    {
        hostile::NoFolderSync unsynced(answer);
        for (const char* value : {"1", "2"})
            QVERIFY(registry ? Registry::SetValue(Registry::DriveTestKey(), "UpdateFailInfo", value)
                             : ini->SetValue("Language", "Language", value));
        QVERIFY(registry ? Registry::Remove(Registry::DriveTestKey(), "UpdateFailInfo")
                         : ini->RemoveValue("Language", "Language"));
        QVERIFY(registry ? Registry::SetValue(Registry::DriveTestKey(), "MouseVer331", "v1.5")
                         : ini->SetValue("FindNew", "IsShow", "1"));
    }
    const QByteArray key = "Software\\TALVO%20R430K%20mouse\\TALVO%20R430K%20mouse\\Mouse%20Drive%20Test\\";
    QCOMPARE(fileBytes(path), registry ? "[HKEY_CURRENT_USER]\n" + key + "MouseVer331=\"v1.5\"\n"
                                       : QByteArray("[Language]\n\n[FindNew]\nIsShow=\"1\"\n"));
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
    const RowConfigFolder folder(m_dir);
    const QString path = registry ? Registry::FilePath() : folder.path();
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
        QCOMPARE(Registry::Value(key, "Language", "7"), QString("7"));
        QVERIFY(Registry::SetValue(key, "Language", "3"));
        QCOMPARE(Registry::Value(key, "Language").toInt(), 3);
    }
    if (fifo)
        QVERIFY2(!pipe->hadToRelease(), "a reader blocked on the FIFO");
    const QFileInfo kept(writable ? path + ".damaged" : path);
    QVERIFY(fifo ? !kept.isFile() && kept.exists() : kept.size() == huge);
}

void TestSettingsStores::storeFilesReadTheSameAsQSettings_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("utf8");           // QSettings wrote with the UTF-8 codec (Macro.ini), else none
    QTest::addColumn<QByteArray>("ours");       // the file this program writes
    QTest::addColumn<QByteArray>("qsettings");  // the file earlier versions wrote through QSettings
    const QString mixed = QStringLiteral("宏 один é");
    const QByteArray escaped = "\\x5b8f \\x43e\\x434\\x438\\x43d \\xe9";
    QTest::newRow("plain") << "Language/Language" << "4" << true << QByteArray("[Language]\nLanguage=\"4\"\n")
                           << QByteArray("[Language]\nLanguage=4\n");
    QTest::newRow("spaces") << "Names/Last one" << " two  words " << true
                            << QByteArray("[Names]\nLast%20one=\" two  words \"\n")
                            << QByteArray("[Names]\nLast%20one=\" two  words \"\n");
    QTest::newRow("'=', ';' and ','") << "Names/a=b;c" << "x = y; z, w" << true
                                      << QByteArray("[Names]\na%3Db%3Bc=\"x = y; z, w\"\n")
                                      << QByteArray("[Names]\na%3Db%3Bc=\"x = y; z, w\"\n");
    QTest::newRow("quotes and backslashes") << "Names/q" << "say \"hi\" \\ bye" << true
                                            << QByteArray("[Names]\nq=\"say \\\"hi\\\" \\\\ bye\"\n")
                                            << QByteArray("[Names]\nq=say \\\"hi\\\" \\\\ bye\n");
    QTest::newRow("non-ASCII, UTF-8") << QStringLiteral("Names/宏 é") << mixed << true
                                      << "[Names]\n%U5B8F%20%E9=\"" + escaped + "\"\n"
                                      << "[Names]\n%U5B8F%20%E9=" + mixed.toUtf8() + "\n";
    QTest::newRow("non-ASCII, no codec") << QStringLiteral("Names/宏 é") << mixed << false
                                         << "[Names]\n%U5B8F%20%E9=\"" + escaped + "\"\n"
                                         << "[Names]\n%U5B8F%20%E9=" + escaped + "\n";
    QTest::newRow("hex digits after an escape") << "A/k" << QStringLiteral("é1F") << false
                                                << QByteArray("[A]\nk=\"\\xe9\\x31\\x46\"\n")
                                                << QByteArray("[A]\nk=\\xe9\\x31\\x46\n");
    QTest::newRow("line break and tab") << "A/k" << "a\tb\nc" << true << QByteArray("[A]\nk=\"a\\x9\\x62\\xa\\x63\"\n")
                                        << QByteArray("[A]\nk=a\\tb\\nc\n");
    QTest::newRow("control character") << "A/k" << "\x01" "ab" << false << QByteArray("[A]\nk=\"\\x1\\x61\\x62\"\n")
                                       << QByteArray("[A]\nk=\\x1\\x61\\x62\n");
    QTest::newRow("NUL") << "A/k" << QString::fromLatin1("a\0b", 3) << true << QByteArray("[A]\nk=\"a\\x0\\x62\"\n")
                         << QByteArray("[A]\nk=@String(a\\0\\x62)\n");
    QTest::newRow("outside the BMP") << "A/k" << QStringLiteral("\U0001F600") << false
                                     << QByteArray("[A]\nk=\"\\xd83d\\xde00\"\n")
                                     << QByteArray("[A]\nk=\\xd83d\\xde00\n");
    QTest::newRow("leading @") << "A/k" << "@odd" << true << QByteArray("[A]\nk=\"@@odd\"\n")
                               << QByteArray("[A]\nk=@@odd\n");
    QTest::newRow("empty") << "A/k" << "" << true << QByteArray("[A]\nk=\"\"\n") << QByteArray("[A]\nk=\n");
    QTest::newRow("%General group") << "General/Key" << "v" << true << QByteArray("[%General]\nKey=\"v\"\n")
                                    << QByteArray("[%General]\nKey=v\n");
    QTest::newRow("no group") << "Top" << "1" << true << QByteArray("[General]\nTop=\"1\"\n")
                              << QByteArray("[General]\nTop=1\n");
    const QByteArray failInfo = "[HKEY_CURRENT_USER]\nSoftware\\TALVO%20R430K%20mouse\\TALVO%20R430K%20mouse\\"
                                "Mouse%20Drive%20Test\\UpdateFailInfo=\"211,4,33,1\"\n";
    QTest::newRow("registry key path")
        << "HKEY_CURRENT_USER/Software/TALVO R430K mouse/TALVO R430K mouse/Mouse Drive Test/UpdateFailInfo"
        << "211,4,33,1" << false << failInfo << failInfo;
}

// Both ways: QSettings reads what this program writes as the same text, with the codec Macro.ini is
// read with and without one (the registry store), and this program reads what QSettings wrote for
// earlier versions as well as its own files.
void TestSettingsStores::storeFilesReadTheSameAsQSettings()
{
    QFETCH(QString, address);
    QFETCH(QString, value);
    QFETCH(bool, utf8);
    QFETCH(QByteArray, ours);
    QFETCH(QByteArray, qsettings);
    const QString base = m_dir.filePath(QStringLiteral("golden%1").arg(++m_files));
    QVERIFY(core::IniStore(base + "-ours.ini", 1 << 20).setValue(address, value));
    QCOMPARE(fileBytes(base + "-ours.ini"), ours);
    QCOMPARE(core::IniStore(base + "-ours.ini", 1 << 20).value(address), value);
    for (const bool codec : {true, false}) {
        // A copy each: QSettings keeps what it parsed of a file for the next reader of that file.
        const QString copy = base + (codec ? "-utf8.ini" : "-plain.ini");
        QVERIFY(QFile::copy(base + "-ours.ini", copy));
        QSettings reader(copy, QSettings::IniFormat);
        if (codec)
            reader.setIniCodec("UTF-8");
        QCOMPARE(reader.value(address).toString(), value);
    }
    {
        QSettings writer(base + "-qt.ini", QSettings::IniFormat);
        if (utf8)
            writer.setIniCodec("UTF-8");
        writer.setValue(address, value);
        writer.sync();
        QCOMPARE(writer.status(), QSettings::NoError);
    }
    QCOMPARE(fileBytes(base + "-qt.ini"), qsettings);
    QCOMPARE(core::IniStore(base + "-qt.ini", 1 << 20).value(address), value);
}

// A language that could not be kept holds for the run; the one chosen once the disk has room again
// is the one the store and the file keep.
void TestSettingsStores::languageKeptAfterAFailedWriteReadsBackAsKept()
{
    const QString path = m_dir.filePath("kept-Macro.ini");
    MacroIni ini(path);
    QVERIFY(ini.SetValue("Language", "Language", "1"));
    {
        hostile::FullDisk full;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^cannot write: "));
        QVERIFY(!ini.SetValue("Language", "Language", "2"));
    }
    QCOMPARE(ini.LanguageIndex(), 2);
    QCOMPARE(MacroIni(path).LanguageIndex(), 1);
    // Chosen again, the same language is written, though the store holds it already.
    QVERIFY(ini.SetValue("Language", "Language", "2"));
    QCOMPARE(MacroIni(path).LanguageIndex(), 2);
    QVERIFY(ini.SetValue("Language", "Language", "3"));
    QCOMPARE(ini.LanguageIndex(), 3);
    QCOMPARE(MacroIni(path).LanguageIndex(), 3);
    // One that failed goes along with the next write that succeeds, of any value.
    {
        hostile::FullDisk full;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^cannot write: "));
        QVERIFY(!ini.SetValue("Language", "Language", "5"));
    }
    QVERIFY(ini.SetValue("FindNew", "IsShow", "1"));
    QCOMPARE(MacroIni(path).LanguageIndex(), 5);
}

void TestSettingsStores::entriesTheProgramDoesNotChangeKeepTheirBytes_data()
{
    QTest::addColumn<QByteArray>("before");  // as another writer left the file
    QTest::addColumn<QString>("seen");       // read by the program first
    QTest::addColumn<QString>("seenText");
    QTest::addColumn<QString>("address");  // then set, or removed when the value is null
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");
    // As QSettings writes a byte array, a list, a map, a number, a point, a rectangle, a size and a time.
    const QByteArray typed = "[Typed]\nbytes=@ByteArray(a\\0\\x62\\xff)\nlist=x, y z\n"
                             "map=@Variant(\\0\\0\\0\\b\\0\\0\\0\\x1\\0\\0\\0\\x2\\0k\\0\\0\\0\\x2\\0\\0\\0\\x1)\n"
                             "num=42\npoint=@Point(5 6)\nrect=@Rect(1 2 3 4)\nsize=@Size(3 4)\n"
                             "when=@DateTime(\\0\\0\\0\\x10\\0\\0\\0\\0\\0\\0%\\x84\\xe3\\0\\xa8\\x88\\x88\\x1)\n";
    QTest::newRow("typed values") << typed << "Typed/num" << "42" << "Typed/own" << "1" << typed + "own=\"1\"\n";
    QTest::newRow("lists") << QByteArray("[A]\nlist=x, \"y, z\"\nk=1\n") << "A/list" << "x, y, z" << "A/k" << "2"
                           << QByteArray("[A]\nlist=x, \"y, z\"\nk=\"2\"\n");
    // QSettings reads the file's value as a list: the text is no value the file holds.
    QTest::newRow("a text over the list it reads as") << QByteArray("[A]\nk=a, b\n") << "A/k" << "a, b" << "A/k"
                                                      << "a, b" << QByteArray("[A]\nk=\"a, b\"\n");
    const QByteArray raw = QByteArray("[A]\nraw=caf\xe9 ") + '\0' + QByteArray(" end\nk=1\n");
    QTest::newRow("NUL and non-UTF-8 bytes") << raw << "A/k" << "1" << "A/k" << "2"
                                             << QByteArray(raw).replace("k=1", "k=\"2\"");
    QTest::newRow("comments") << QByteArray("; by hand\n[A]\n; note\nk=1 ; why\n\n; more\nm=2\n") << "A/m" << "2"
                              << "A/k" << "3" << QByteArray("; by hand\n[A]\n; note\nk=\"3\"; why\n\n; more\nm=2\n");
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF[Language]\nLanguage=4\n") << "Language/Language"
                                     << "4" << "Language/Language" << "2"
                                     << QByteArray("\xEF\xBB\xBF[Language]\nLanguage=\"2\"\n");
    QTest::newRow("CR LF, a new group") << QByteArray("[A]\r\nk=1\r\n") << "A/k" << "1" << "B/n" << "v"
                                        << QByteArray("[A]\r\nk=1\r\n\r\n[B]\r\nn=\"v\"\r\n");
    QTest::newRow("group named twice") << QByteArray("[A]\nk=1\n[B]\nz=0\n[A]\nk=2\nj=3\n") << "A/k" << "2" << "A/k"
                                       << "4" << QByteArray("[A]\nk=\"4\"\n[B]\nz=0\n[A]\nj=3\n");
    QTest::newRow("group in the key") << QByteArray("A\\k=1\n[B]\nz=0\n") << "A/k" << "1" << "A/k" << "2"
                                      << QByteArray("A\\k=\"2\"\n[B]\nz=0\n");
    QTest::newRow("no line break at the end") << QByteArray("[A]\nk=1") << "A/k" << "1" << "A/j" << "2"
                                              << QByteArray("[A]\nk=1\nj=\"2\"\n");
    QTest::newRow("a value removed") << QByteArray("[A]\nk=1 ; gone too\n  j=2\n[B]\nx=@Size(1 2)\n") << "A/j" << "2"
                                     << "A/k" << QString() << QByteArray("[A]\n  j=2\n[B]\nx=@Size(1 2)\n");
    QTest::newRow("an absent value removed") << typed << "Typed/list" << "x, y z" << "Typed/absent" << QString()
                                             << typed;
}

// What another writer (another Qt program, an earlier version, a hand edit) keeps in a store
// stays byte for byte when the program writes its own change, and QSettings reads it as before.
void TestSettingsStores::entriesTheProgramDoesNotChangeKeepTheirBytes()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, seen);
    QFETCH(QString, seenText);
    QFETCH(QString, address);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    const QString base = m_dir.filePath(QStringLiteral("kept%1").arg(++m_files));
    const QString path = base + ".ini";
    QVERIFY(core::writeFileAtomically(path, before));
    struct stat old;
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &old), 0);
    core::IniStore store(path, 1 << 20);
    QCOMPARE(store.value(seen), seenText);
    QVERIFY(value.isNull() ? store.remove(address) : store.setValue(address, value));
    QCOMPARE(fileBytes(path), after);
    struct stat now;
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &now), 0);
    if (after == before)
        QVERIFY2(now.st_ino == old.st_ino, "the file was written though nothing changed");

    QVERIFY(core::writeFileAtomically(base + "-before.ini", before));
    const QSettings was(base + "-before.ini", QSettings::IniFormat);
    const QSettings is(path, QSettings::IniFormat);
    // All sections parsed, as allKeys does: a lookup alone misses a key of the lines before the
    // first section that names a group ("A\\k").
    QCOMPARE(is.allKeys().contains(address), !value.isNull());
    for (const QString& key : was.allKeys()) {
        if (key != address)
            QCOMPARE(is.value(key), was.value(key));
    }
    QCOMPARE(is.value(address).toString(), value);
}

void TestSettingsStores::anotherWritersValueSurvivesTheProgramsWrites_data()
{
    QTest::addColumn<QString>("store");
    QTest::addColumn<QString>("writer");
    for (const char* store : {"Macro.ini", "registry"}) {
        for (const char* writer : {"QSettings", "other process, new file", "other process, in place"})
            QTest::addRow("%s, %s", store, writer) << store << writer;
    }
}

// Another writer's value, put in between two writes of the program, is seen by the program's
// reads and kept by its next write, along with the program's own values.
void TestSettingsStores::anotherWritersValueSurvivesTheProgramsWrites()
{
    QFETCH(QString, store);
    QFETCH(QString, writer);
    const bool registry = store == QLatin1String("registry");
    const RowConfigFolder folder(m_dir);
    const QString path = registry ? Registry::FilePath() : folder.path() + "/Macro.ini";
    std::unique_ptr<MacroIni> ini(registry ? nullptr : new MacroIni(path));
    auto set = [&](const QString& group, const QString& value) {
        return registry ? Registry::SetValue(group, "Key", value) : ini->SetValue(group, "Key", value);
    };
    auto get = [&](const QString& group) {
        return registry ? Registry::Value(group, "Key") : ini->GetValue(group, "Key");
    };
    QVERIFY(set("First", "1"));
    if (writer == QLatin1String("QSettings")) {
        QSettings other(path, QSettings::IniFormat);
        other.setValue("Other/Key", "o");
        other.sync();
        QCOMPARE(other.status(), QSettings::NoError);
    } else {
        const QString script = writer.endsWith(QLatin1String("in place"))
                                   ? "printf '[Other]\\nKey=o\\n' >> \"$0\""
                                   : "cp \"$0\" \"$0.new\" && printf '[Other]\\nKey=o\\n' >> \"$0.new\" && mv \"$0.new\" \"$0\"";
        QCOMPARE(QProcess::execute("sh", {"-c", script, path}), 0);
    }
    QCOMPARE(get("Other"), QString("o"));
    QVERIFY(set("Second", "2"));

    const core::IniStore nextRun(path, 1 << 20);
    QVERIFY(QFile::copy(path, path + ".copy"));
    const QSettings qt(path + ".copy", QSettings::IniFormat);
    for (const auto& [address, value] : {std::pair{"First/Key", "1"}, {"Other/Key", "o"}, {"Second/Key", "2"}}) {
        QCOMPARE(nextRun.value(address), QString(value));
        QCOMPARE(qt.value(address).toString(), QString(value));
    }
}

void TestSettingsStores::storeThatCannotBeReadIsNeverWrittenOver_data()
{
    QTest::addColumn<bool>("fromTheStart");  // else it becomes so when another writer replaces it
    QTest::newRow("unreadable from the start") << true;
    QTest::newRow("unreadable after another writer") << false;
}

// A store that can be written but not read (mode 0200): written from memory, it would lose what
// it holds. Its changes meanwhile, a removal too, reach it once it can be read. Run in a child
// without the power to read any file, as root has.
void TestSettingsStores::storeThatCannotBeReadIsNeverWrittenOver()
{
    QFETCH(bool, fromTheStart);
    const QTemporaryDir folder;
    const QString path = folder.filePath("Macro.ini");
    const QByteArray kept = "[Language]\nLanguage=4\n[Other]\nKey=o\n[Update]\nFailInfo=1\n";
    QVERIFY(core::writeFileAtomically(path, fromTheStart ? kept : "[Language]\nLanguage=4\n"));
    const uid_t nobody = 65534;
    if (::geteuid() == 0) {
        for (const QString& name : {folder.path(), path})
            QVERIFY(::chown(QFile::encodeName(name).constData(), nobody, nobody) == 0);
    }
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(nobody) != 0 || ::setuid(nobody) != 0))
            ::_exit(3);
        if (fromTheStart && ::chmod(QFile::encodeName(path).constData(), 0200) != 0)
            ::_exit(3);
        MacroIni ini(path);
        if (!fromTheStart
            && (!core::writeFileAtomically(path, kept) || ::chmod(QFile::encodeName(path).constData(), 0200) != 0))
            ::_exit(3);
        if (ini.SetValue("Language", "Language", "2") || ini.SetValue("Fresh", "Key", "x"))
            ::_exit(1);
        // Set, it never reached the file: its removal needs no write, and nothing failed. Nor does
        // that of a value the store has not read; it goes with the next write.
        if (!ini.RemoveValue("Fresh", "Key") || !ini.RemoveValue("Absent", "Key")
            || !ini.RemoveValue("Update", "FailInfo"))
            ::_exit(2);
        if (::chmod(QFile::encodeName(path).constData(), 0600) != 0)
            ::_exit(3);
        ::_exit(ini.SetValue("After", "Key", "1") ? 0 : 4);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QVERIFY2(WEXITSTATUS(status) != 3, "the child could not set the file up");
    QCOMPARE(WEXITSTATUS(status), 0);
    QCOMPARE(fileBytes(path),
             QByteArray("[Language]\nLanguage=\"2\"\n[Other]\nKey=o\n[Update]\n\n[After]\nKey=\"1\"\n"));
}

// The registry store holds the program's own records: a write that fails is told, once per run.
void TestSettingsStores::failedRegistryWriteIsToldOnce()
{
    QObject window;
    QStringList told;
    auto tell = [&told](const QString& path) { told << path; };
    // A receiver set anew starts a new run of telling; what earlier tests left pending goes first.
    core::setUnsavedWriteReceiver(&window, tell);
    QCoreApplication::processEvents();
    core::setUnsavedWriteReceiver(&window, tell);
    told.clear();
    {
        hostile::FullDisk full;
        for (int i = 0; i < 2; ++i) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^cannot write: "));
            QVERIFY(!Registry::SetValue(Registry::DriveTestKey(), "UpdateFailInfo", QString::number(i)));
        }
    }
    QTRY_COMPARE(told, QStringList{Registry::FilePath()});
    QCoreApplication::processEvents();
    QCOMPARE(told.size(), 1);
    core::setUnsavedWriteReceiver(nullptr, {});
}

void TestSettingsStores::storeSetAsideWhileRunningIsToldOnce_data()
{
    QTest::addColumn<QStringList>("stores");
    QTest::addColumn<QString>("damage");  // what another process does between two writes
    for (const char* store : {"Macro.ini", "registry"}) {
        QTest::addRow("%s grown past the bound", store) << QStringList{store} << "truncate -s 2M \"$0\"";
        QTest::addRow("%s replaced by a folder", store) << QStringList{store} << "rm \"$0\" && mkdir \"$0\"";
    }
    QTest::newRow("both grown past the bound") << QStringList{"registry", "Macro.ini"} << "truncate -s 2M \"$0\"";
}

// Set aside while the program runs, a store is told at once, once, with where it was kept; the
// program's next values go to a fresh file. Stores set aside together are told together.
void TestSettingsStores::storeSetAsideWhileRunningIsToldOnce()
{
    QFETCH(QStringList, stores);
    QFETCH(QString, damage);
    const RowConfigFolder folder(m_dir);
    QObject window;
    QVector<core::SetAsideStore> told;
    int calls = 0;
    const auto restore = qScopeGuard([] { core::setSetAsideReceiver(nullptr, {}); });
    const QString macroPath = folder.path() + "/Macro.ini";
    MacroIni ini(macroPath);
    QStringList paths;
    for (const QString& store : stores)
        paths << (store == QLatin1String("registry") ? Registry::FilePath() : macroPath);
    auto set = [&](const QString& path, const QString& group, const QString& value) {
        return path == macroPath ? ini.SetValue(group, "Key", value) : Registry::SetValue(group, "Key", value);
    };
    core::takeSetAsideStores();  // what earlier tests left
    core::setSetAsideReceiver(&window, [&told, &calls](const QVector<core::SetAsideStore>& aside) {
        told += aside;
        ++calls;
    });
    for (const QString& path : std::as_const(paths)) {
        QVERIFY(set(path, "First", "1"));
        QCOMPARE(QProcess::execute("sh", {"-c", damage, path}), 0);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("kept as .*\\.damaged, starting afresh$"));
    }
    for (const QString& path : std::as_const(paths)) {
        QVERIFY(set(path, "Second", "2"));
        QVERIFY(set(path, "Third", "3"));
    }
    QTRY_COMPARE(told.size(), paths.size());
    QCoreApplication::processEvents();
    QCOMPARE(told.size(), paths.size());
    QCOMPARE(calls, 1);
    for (int i = 0; i < paths.size(); ++i) {
        QCOMPARE(told.at(i).path, paths.at(i));
        QCOMPARE(told.at(i).keptAs, paths.at(i) + ".damaged");
        QVERIFY(QFileInfo::exists(paths.at(i) + ".damaged"));
        QCOMPARE(fileBytes(paths.at(i)), QByteArray("[Second]\nKey=\"2\"\n\n[Third]\nKey=\"3\"\n"));
    }
}

void TestSettingsStores::sameSizeEditOfAnotherWriterIsSeen_data()
{
    QTest::addColumn<QString>("edit");  // a script run after the program's write, or "hook" or "settled"
    QTest::addColumn<int>("timeBack");  // "hook": seconds the modification time is put back by
    const QString inPlace = "printf '[Note]\\nnote=\"kept us\"\\n' 1<> \"$0\"";
    QTest::newRow("in place, time put back (touch -r)")
        << "cp -p \"$0\" \"$0.ref\" && " + inPlace + " && touch -r \"$0.ref\" \"$0\"" << 0;
    QTest::newRow("copied over, time kept (cp -p)")
        << "cp -p \"$0\" \"$0.new\" && " + QString(inPlace).replace("\"$0\"", "\"$0.new\"")
               + " && touch -r \"$0\" \"$0.new\" && cp -p \"$0.new\" \"$0\"" << 0;
    QTest::newRow("right after the program's write") << "hook" << 0;
    // Only the change time, which no writer sets, tells the edit is recent.
    QTest::newRow("right after the program's write, time put an hour back") << "hook" << 3600;
    QTest::newRow("in place, time put back, once the program's write has settled") << "settled" << 0;
}

// Another writer that takes no lock changes a value in place, keeping the file's size and time:
// the program reads the change and keeps it at its next write.
void TestSettingsStores::sameSizeEditOfAnotherWriterIsSeen()
{
    QFETCH(QString, edit);
    QFETCH(int, timeBack);
    const QString path = m_dir.filePath(QStringLiteral("same%1/Macro.ini").arg(++m_files));
    MacroIni ini(path);
    const QByteArray edited = "[Note]\nnote=\"kept us\"\n";
    bool done = false;
    if (edit == QLatin1String("hook")) {
        core::IniStore::setAfterWriteForTesting([&edited, &done, timeBack](const QString& file) {
            if (!std::exchange(done, true))
                overwriteKeepingTime(file, edited, timeBack);
        });
    }
    const auto unhook = qScopeGuard([] {
        core::IniStore::setAfterWriteForTesting(nullptr);
        core::IniStore::setClockAheadForTesting(0);
    });
    QVERIFY(ini.SetValue("Note", "note", "keep me"));
    if (edit == QLatin1String("settled")) {
        // The program looks at the file well after its write, then the other writer edits it.
        struct stat written;
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &written), 0);
        core::IniStore::setClockAheadForTesting(qint64(4) * 1000000000);
        QCOMPARE(ini.GetValue("Note", "note"), QString("keep me"));
        // Edited again until the clock has moved past the program's write, as a later edit's has.
        QTRY_VERIFY(changedSince(path, edited, written.st_ctim));
    } else if (edit != QLatin1String("hook")) {
        QCOMPARE(QProcess::execute("sh", {"-c", edit, path}), 0);
    }
    QCOMPARE(fileBytes(path), edited);
    QCOMPARE(ini.GetValue("Note", "note"), QString("kept us"));
    QVERIFY(ini.SetValue("Other", "k", "1"));
    QCOMPARE(fileBytes(path), edited + "\n[Other]\nk=\"1\"\n");
}

// A QSettings writer holds the lock from its read to its write: the program's change waits for it,
// and neither writer's value is lost.
void TestSettingsStores::qsettingsWriterHoldingTheLockIsWaitedFor()
{
    const QString path = m_dir.filePath(QStringLiteral("locked%1/Macro.ini").arg(++m_files));
    MacroIni ini(path);
    QVERIFY(ini.SetValue("First", "Key", "1"));
    QLockFile lock(path + ".lock");
    QVERIFY(lock.lock());
    const QByteArray read = fileBytes(path);
    bool written = false;
    std::unique_ptr<QThread> program(QThread::create([&] { written = ini.SetValue("Program", "Key", "p"); }));
    program->start();
    // Given the time to write, as it would if it did not wait.
    program->wait(300);
    QVERIFY(core::writeFileAtomically(path, read + "[Other]\nKey=o\n"));
    lock.unlock();
    QVERIFY(program->wait(10000));
    QVERIFY(written);
    const QSettings qt(path, QSettings::IniFormat);
    for (const auto& [address, value] : {std::pair{"First/Key", "1"}, {"Other/Key", "o"}, {"Program/Key", "p"}})
        QCOMPARE(qt.value(address).toString(), QString(value));
}

// Set to what the file holds, a value needs no write, and none can fail: a later change of it by
// another writer is read and kept, not covered by the program's own.
void TestSettingsStores::valueTheFileHoldsIsNoChangeOfTheProgram()
{
    const QString path = m_dir.filePath(QStringLiteral("held%1/Macro.ini").arg(++m_files));
    QVERIFY(core::writeFileAtomically(path, "[Language]\nLanguage=2\n"));
    MacroIni ini(path);
    {
        hostile::FullDisk full;
        QVERIFY(ini.SetValue("Language", "Language", "2"));
    }
    QVERIFY(core::writeFileAtomically(path, "[Language]\nLanguage=3\n"));
    QCOMPARE(ini.LanguageIndex(), 3);
    QVERIFY(ini.SetValue("FindNew", "IsShow", "1"));
    QCOMPARE(MacroIni(path).LanguageIndex(), 3);
}

QTEST_GUILESS_MAIN(TestSettingsStores)
#include "tst_settingsstores.moc"
