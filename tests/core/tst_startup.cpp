#include "core/AppPaths.h"
#include "core/FileIo.h"
#include "core/FileNameCodec.h"
#include "core/MacroIni.h"
#include "core/StartUp.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <algorithm>
#include <iterator>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

class TestStartUp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void firstStartBuildsTheFolderTree();
    void existingMacroIniKeepsItsContent();
    void userFoldersAreTheOnesTheUserHas_data();
    void userFoldersAreTheOnesTheUserHas();
    void relativeAndEmptyFolderVariablesAreIgnored_data();
    void relativeAndEmptyFolderVariablesAreIgnored();
    void folderLookUpsLeaveNothingOpen();
    void firstStartMakesAFolderOfOtherBytesUnderItsOwnName();
    void pruningRemovesOnlyFilesOlderThanSevenWholeDays();
    void pruningTakesAdjacentOldFilesAndSparesFolders();
    void secondLockInTheSameFolderIsRefused();
    void leftoverLockFilesNeverBlock();
    void childProcessesDoNotInheritTheLock();
    void programStartsOnceAndSurvivesAKilledFirstCopy();
    void crashBeforeTheMainWindowLeavesADump();
    void unreadScenarioStopsTheProgram_data();
    void unreadScenarioStopsTheProgram();
    void runScriptTakesSimulatorPathsFromTheCallersFolder_data();
    void runScriptTakesSimulatorPathsFromTheCallersFolder();
    void runScriptBuildsAndStartsTheProgramOfItsTree_data();
    void runScriptBuildsAndStartsTheProgramOfItsTree();

private:
    static int openDescriptors();
    static bool touch(const QString& path, const QDateTime& modified);
    static QString programPath();
    std::unique_ptr<QProcess> startProgram(const QString& dataHome, int autoCloseMs, const QString& scenario = QString(),
                                           const QString& workDir = QString());
};

// As main does, before any path is made.
void TestStartUp::initTestCase()
{
    core::installFileNameCodec();
}

void TestStartUp::init()
{
    QDir(UserDataDir()).removeRecursively();
}

bool TestStartUp::touch(const QString& path, const QDateTime& modified)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write("x") != 1 || !file.flush())
        return false;
    return file.setFileTime(modified, QFileDevice::FileModificationTime);
}

void TestStartUp::firstStartBuildsTheFolderTree()
{
    PrepareUserFolders();
    for (const char* sub : {"/Log", "/Device_Info", "/Exception", "/usersetting", "/usersetting/MainPage",
                               "/usersetting/MacroPage", "/usersetting/SensorPage"})
        QVERIFY2(QFileInfo(UserDataDir() + sub).isDir(), sub);
    QVERIFY(UserDataDir().startsWith(qEnvironmentVariable("XDG_DATA_HOME") + "/"));
    QVERIFY(UserDataDir().endsWith("/TALVO R430K mouse"));
    QFileInfo macro(MacroIniPath());
    QVERIFY(macro.isFile());
    QCOMPARE(macro.size(), 0);
}

void TestStartUp::userFoldersAreTheOnesTheUserHas_data()
{
    QTest::addColumn<QByteArray>("variable");  // the one that names the folder
    QTest::addColumn<QByteArray>("name");      // as bytes on disk
    QTest::newRow("UTF-8 data folder") << QByteArray("XDG_DATA_HOME") << QByteArray("caf\xc3\xa9");
    QTest::newRow("Latin-1 data folder") << QByteArray("XDG_DATA_HOME") << QByteArray("caf\xe9");
    QTest::newRow("Latin-1 home folder") << QByteArray("HOME") << QByteArray("caf\xe9");
}

// A folder name that is no UTF-8 under a UTF-8 locale: the program finds what the user keeps
// there and writes into it, never into a look-alike sibling, and makes it again when it is gone.
void TestStartUp::userFoldersAreTheOnesTheUserHas()
{
    QFETCH(QByteArray, variable);
    QFETCH(QByteArray, name);
    QTemporaryDir top;
    const QByteArray base = QFile::encodeName(top.path()) + '/' + name;
    const QByteArray data = variable == "HOME" ? base + "/.local/share" : base;
    const QByteArray folder = data + "/TALVO R430K mouse";
    for (const QByteArray& path : {base, base + "/.local", data, folder})
        QVERIFY(::mkdir(path.constData(), 0700) == 0 || errno == EEXIST);
    const QByteArray stored = "[Language]\nLanguage=4\n";
    FILE* ini = std::fopen((folder + "/Macro.ini").constData(), "wb");
    QVERIFY(ini && std::fwrite(stored.constData(), 1, size_t(stored.size()), ini) == size_t(stored.size()));
    std::fclose(ini);
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", oldHome);
        qputenv("XDG_DATA_HOME", oldData);
        std::filesystem::remove_all(base.toStdString());
    });
    if (variable == "HOME")
        qunsetenv("XDG_DATA_HOME");
    qputenv(variable.constData(), base);

    PrepareUserFolders();
    QCOMPARE(MacroIni(MacroIniPath()).LanguageIndex(), 4);
    QVERIFY(core::writeFileAtomically(DeviceInfoDir() + "/cache.bin", "cached"));
    struct stat st;
    QCOMPARE(::stat((folder + "/Device_Info/cache.bin").constData(), &st), 0);
    QCOMPARE(qint64(st.st_size), qint64(6));
    QCOMPARE(::stat((folder + "/usersetting/MacroPage").constData(), &st), 0);

    // Removed while the program runs, with the folder named by the variable: the next write makes
    // it again, under the same bytes.
    std::filesystem::remove_all(base.toStdString());
    QVERIFY(core::writeFileAtomically(DeviceInfoDir() + "/cache.bin", "again"));
    QCOMPARE(::stat((folder + "/Device_Info/cache.bin").constData(), &st), 0);
    QCOMPARE(qint64(st.st_size), qint64(5));
    const std::filesystem::directory_iterator entries(QFile::encodeName(top.path()).toStdString());
    QCOMPARE(std::distance(begin(entries), end(entries)), 1);
}

void TestStartUp::relativeAndEmptyFolderVariablesAreIgnored_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QByteArray>("value");  // null: unset
    QTest::addColumn<QString>("underHome");
    QTest::addColumn<QString>("expected");  // empty: $HOME + underHome
    QTest::newRow("data unset") << QByteArray("XDG_DATA_HOME") << QByteArray() << "/.local/share" << QString();
    QTest::newRow("data empty") << QByteArray("XDG_DATA_HOME") << QByteArray("") << "/.local/share" << QString();
    QTest::newRow("data relative") << QByteArray("XDG_DATA_HOME") << QByteArray("data") << "/.local/share"
                                   << QString();
    QTest::newRow("data absolute") << QByteArray("XDG_DATA_HOME") << QByteArray("/srv/data/") << "/.local/share"
                                   << "/srv/data";
    QTest::newRow("config empty") << QByteArray("XDG_CONFIG_HOME") << QByteArray("") << "/.config" << QString();
    QTest::newRow("config dot-relative") << QByteArray("XDG_CONFIG_HOME") << QByteArray("./config") << "/.config"
                                         << QString();
    QTest::newRow("config home-relative") << QByteArray("XDG_CONFIG_HOME") << QByteArray("~/.config") << "/.config"
                                          << QString();
}

// The XDG rules: a relative path in these variables is invalid and is ignored, as is an empty one.
void TestStartUp::relativeAndEmptyFolderVariablesAreIgnored()
{
    QFETCH(QByteArray, variable);
    QFETCH(QByteArray, value);
    QFETCH(QString, underHome);
    QFETCH(QString, expected);
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldValue = qgetenv(variable.constData());
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", oldHome);
        qputenv(variable.constData(), oldValue);
    });
    qputenv("HOME", QFile::encodeName(home.path()));
    if (value.isNull())
        qunsetenv(variable.constData());
    else
        qputenv(variable.constData(), value);
    const QString base = UserBaseDir(variable.constData(), qPrintable(underHome));
    QCOMPARE(base, expected.isEmpty() ? home.path() + underHome : expected);
}

int TestStartUp::openDescriptors()
{
    const int limit = int(std::min<long>(::sysconf(_SC_OPEN_MAX), 65536));
    int open = 0;
    for (int fd = 0; fd < limit; ++fd)
        open += ::fcntl(fd, F_GETFD) != -1;
    return open;
}

// Folders whose names are no UTF-8, looked up many times and under many names: not one
// descriptor stays open (the program may run for weeks and look them up on every write).
void TestStartUp::folderLookUpsLeaveNothingOpen()
{
    QTemporaryDir top;
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("XDG_DATA_HOME", oldData);
        qputenv("XDG_CONFIG_HOME", oldConfig);
    });
    const int before = openDescriptors();
    bool allReal = true;
    for (int round = 0; round < 200; ++round) {
        const QByteArray name = QFile::encodeName(top.path()) + "/caf\xe9" + QByteArray::number(round % 50);
        QVERIFY(::mkdir(name.constData(), 0700) == 0 || errno == EEXIST);
        qputenv("XDG_DATA_HOME", name);
        qputenv("XDG_CONFIG_HOME", name + "/c\xf6nfig");
        allReal = allReal && QFile::encodeName(UserDataDir()) == name + "/TALVO R430K mouse"
                  && QFile::encodeName(UserBaseDir("XDG_CONFIG_HOME", "/.config")) == name + "/c\xf6nfig";
        QVERIFY(!MacroIniPath().isEmpty() && !DeviceInfoDir().isEmpty() && !LogDir().isEmpty());
    }
    QCOMPARE(openDescriptors(), before);
    QVERIFY2(allReal, "a folder was named by anything but its own bytes");
}

void TestStartUp::existingMacroIniKeepsItsContent()
{
    QVERIFY(QDir().mkpath(UserDataDir()));
    QFile file(MacroIniPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Language]\nLanguage=3\n");
    file.close();
    PrepareUserFolders();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("[Language]\nLanguage=3\n"));
}

void TestStartUp::pruningRemovesOnlyFilesOlderThanSevenWholeDays()
{
    PrepareUserFolders();
    const QDateTime now = QDateTime::currentDateTime();
    const QString log = LogDir();
    QVERIFY(touch(log + "/fresh.txt", now.addSecs(-3600)));
    QVERIFY(touch(log + "/seven-days-23-hours.txt", now.addSecs(-(7 * 86400 + 23 * 3600))));
    QVERIFY(touch(log + "/eight-days.txt", now.addSecs(-8 * 86400)));
    QVERIFY(touch(log + "/future.txt", now.addSecs(3600)));
    QVERIFY(touch(ExceptionDir() + "/2026_01_01_00_00_00.dmp", now.addDays(-30)));
    QVERIFY(touch(ExceptionDir() + "/UpDateLog.txt", now.addDays(-2)));

    DeleteOldFiles(log, now);
    DeleteOldFiles(ExceptionDir(), now);

    QCOMPARE(QDir(log).entryList(QDir::Files, QDir::Name), QStringList({"fresh.txt", "seven-days-23-hours.txt"}));
    QCOMPARE(QDir(ExceptionDir()).entryList(QDir::Files), QStringList({"UpDateLog.txt"}));
}

void TestStartUp::pruningTakesAdjacentOldFilesAndSparesFolders()
{
    PrepareUserFolders();
    const QDateTime now = QDateTime::currentDateTime();
    const QString log = LogDir();
    const QDateTime old = now.addDays(-10);
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"})
        QVERIFY(touch(log + "/" + name, old));
    QVERIFY(touch(log + "/e.txt", now));
    QVERIFY(QDir().mkpath(log + "/sub"));
    QVERIFY(touch(log + "/sub/inner.txt", old));

    DeleteOldFiles(log, now);

    QCOMPARE(QDir(log).entryList(QDir::Files), QStringList({"e.txt"}));
    QVERIFY(QFileInfo(log + "/sub").isDir());
    QVERIFY(QFile::exists(log + "/sub/inner.txt"));
    DeleteOldFiles(log + "/absent", now);  // a missing folder is no error
}

void TestStartUp::secondLockInTheSameFolderIsRefused()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Instance.lock");
    auto first = std::make_unique<SingleInstance>(path);
    QVERIFY(first->TryAcquire());
    QVERIFY(first->TryAcquire());  // asking again keeps it
    SingleInstance second(path);
    QVERIFY(!second.TryAcquire());
    first.reset();
    QVERIFY(second.TryAcquire());

    // A lock that cannot be made at all does not pass for another copy.
    QFile blocker(dir.filePath("plain"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SingleInstance unmakeable(dir.filePath("plain/Instance.lock"));
    QVERIFY(unmakeable.TryAcquire());
    QVERIFY(!unmakeable.IsOwner());
}

void TestStartUp::leftoverLockFilesNeverBlock()
{
    // Whatever a dead copy left behind: an empty file (killed while writing),
    // a note from another machine name, a file made read-only.
    QTemporaryDir dir;
    const QByteArray leftovers[] = {QByteArray(), QByteArray("4242\nsome-other-host\ntalvo-r430k\n"),
                                    QByteArray("garbage\0\xff", 10)};
    int n = 0;
    for (const QByteArray& content : leftovers) {
        const QString path = dir.filePath(QString("Instance%1.lock").arg(n++));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        SingleInstance next(path);
        QVERIFY2(next.TryAcquire(), content.constData());
        QVERIFY(next.IsOwner());
        SingleInstance another(path);
        QVERIFY(!another.TryAcquire());
    }
    const QString readOnly = dir.filePath("ReadOnly.lock");
    QFile file(readOnly);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(file.setPermissions(QFileDevice::ReadOwner));
    SingleInstance owner(readOnly);
    QVERIFY(owner.TryAcquire());
    if (::geteuid() != 0) {  // root writes anyway, so only then is the file really read-only
        SingleInstance another(readOnly);
        QVERIFY(!another.TryAcquire());
    }
}

void TestStartUp::childProcessesDoNotInheritTheLock()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Instance.lock");
    auto owner = std::make_unique<SingleInstance>(path);
    QVERIFY(owner->TryAcquire());
    QProcess child;
    child.start("sleep", {"30"});
    QVERIFY(child.waitForStarted());
    owner.reset();
    SingleInstance next(path);
    const bool taken = next.TryAcquire();
    child.kill();
    child.waitForFinished();
    QVERIFY2(taken, "a child started by the owner kept the lock alive");
}

QString TestStartUp::programPath()
{
    return QCoreApplication::applicationDirPath() + "/talvo-r430k";
}

std::unique_ptr<QProcess> TestStartUp::startProgram(const QString& dataHome, int autoCloseMs, const QString& scenario,
                                                    const QString& workDir)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("TALVO_SIM_SCENARIO");
    if (!scenario.isEmpty())
        env.insert("TALVO_SIM_SCENARIO", scenario);
    if (!workDir.isEmpty())
        process->setWorkingDirectory(workDir);
    env.insert("XDG_DATA_HOME", dataHome);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QT_LOGGING_RULES", "app.*=true");
    if (autoCloseMs > 0)
        env.insert("TALVO_AUTOCLOSE_MS", QString::number(autoCloseMs));
    process->setProcessEnvironment(env);
    process->setProcessChannelMode(QProcess::SeparateChannels);
    process->start(programPath(), QStringList());
    return process;
}

void TestStartUp::programStartsOnceAndSurvivesAKilledFirstCopy()
{
    QVERIFY2(QFile::exists(programPath()), "the program must be built beside the tests");
    QTemporaryDir home;
    const QString dataHome = home.filePath("data");
    const QString userDir = dataHome + "/TALVO R430K mouse";
    QString firstLog;

    // First copy: builds the tree and opens its window.
    auto first = startProgram(dataHome, 0);
    QVERIFY(first->waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT((firstLog += first->readAllStandardError()).contains("main window shown"), 20000);
    QVERIFY(QFileInfo(userDir + "/usersetting/SensorPage").isDir());
    QCOMPARE(QFileInfo(userDir + "/Macro.ini").size(), 0);

    // Second copy: only the notice, then exit code 0.
    auto second = startProgram(dataHome, 300);
    QVERIFY(second->waitForFinished(20000));
    const QString secondLog = second->readAllStandardError();
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QVERIFY2(secondLog.contains("another copy is running"), qPrintable(secondLog));
    QVERIFY(!secondLog.contains("main window shown"));
    QCOMPARE(first->state(), QProcess::Running);

    // A first copy killed outright leaves its lock behind; the next start takes it over.
    ::kill(pid_t(first->processId()), SIGKILL);
    QVERIFY(first->waitForFinished(10000));
    auto third = startProgram(dataHome, 500);
    QVERIFY(third->waitForFinished(20000));
    const QString thirdLog = third->readAllStandardError();
    QVERIFY2(thirdLog.contains("main window shown"), qPrintable(thirdLog));
    QCOMPARE(third->exitCode(), 0);
}

// A first start whose data folder has a name that is no UTF-8 and does not exist yet: the
// program makes it under its own bytes, with no look-alike beside it, and keeps its files there.
void TestStartUp::firstStartMakesAFolderOfOtherBytesUnderItsOwnName()
{
    QTemporaryDir top;
    const QByteArray data = QFile::encodeName(top.path()) + "/caf\xe9/data";
    const QByteArray folder = data + "/TALVO R430K mouse";
    auto program = startProgram(QFile::decodeName(data), 500);
    QVERIFY(program->waitForFinished(20000));
    const QString log = program->readAllStandardError();
    QVERIFY2(log.contains("main window shown"), qPrintable(log));
    QCOMPARE(program->exitCode(), 0);
    struct stat st;
    for (const char* sub : {"/Log", "/Device_Info", "/Exception", "/usersetting/MainPage", "/usersetting/MacroPage",
                            "/usersetting/SensorPage"})
        QVERIFY2(::stat((folder + sub).constData(), &st) == 0 && S_ISDIR(st.st_mode), sub);
    for (const char* file : {"/Macro.ini", "/Instance.lock"})
        QVERIFY2(::stat((folder + file).constData(), &st) == 0 && S_ISREG(st.st_mode), file);
    const std::filesystem::directory_iterator entries(QFile::encodeName(top.path()).toStdString());
    QCOMPARE(std::distance(begin(entries), end(entries)), 1);
}

// The dump handler is in place from the start of main, not only once the main window exists: a
// copy that dies while it shows the already-running notice (it never builds a window) leaves one.
void TestStartUp::crashBeforeTheMainWindowLeavesADump()
{
    QTemporaryDir home;
    const QString dataHome = home.filePath("data");
    const QString userDir = dataHome + "/TALVO R430K mouse";
    QVERIFY(QDir().mkpath(userDir));
    SingleInstance running(userDir + "/Instance.lock");
    QVERIFY(running.TryAcquire());

    auto notice = startProgram(dataHome, 0);
    QVERIFY(notice->waitForStarted());
    QString log;
    QTRY_VERIFY_WITH_TIMEOUT((log += notice->readAllStandardError()).contains("another copy is running"), 20000);
    ::kill(pid_t(notice->processId()), SIGSEGV);
    QVERIFY(notice->waitForFinished(10000));
    QCOMPARE(notice->exitStatus(), QProcess::CrashExit);
    QCOMPARE(QDir(userDir + "/Exception").entryList({"*.dmp"}, QDir::Files).size(), 1);
}

// A scenario the user named but the program cannot use stops it before any window, with the
// file and the cause on stderr: running on the default devices instead would pass for success.
void TestStartUp::unreadScenarioStopsTheProgram_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");   // relative to the program's working folder
    QTest::addColumn<QString>("cause");
    QTest::newRow("missing file") << "none" << "absent.ini" << "no such file";
    QTest::newRow("named pipe") << "fifo" << "pipe.ini" << "it is not a regular file";
    QTest::newRow("folder") << "folder" << "folder.ini" << "it is a folder";
    if (::geteuid() != 0)  // root reads it anyway
        QTest::newRow("no read permission") << "locked" << "locked.ini" << "Permission denied";
    QTest::newRow("malformed") << "malformed" << "bad.ini" << "is malformed: line 3: Model must be 1 or 2";
    QTest::newRow("no devices") << "empty" << "empty.ini" << "is malformed: no devices";
}

void TestStartUp::unreadScenarioStopsTheProgram()
{
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(QString, cause);
    QTemporaryDir home;
    QVERIFY(QDir().mkpath(home.filePath("work/scenarios")));
    const QString work = QFileInfo(home.filePath("work")).canonicalFilePath();  // as the program sees its folder
    const QString relative = "scenarios/" + name;
    const QString path = work + "/" + relative;
    if (kind == "fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (kind == "folder")
        QVERIFY(QDir().mkpath(path));
    else if (kind != "none") {
        const QByteArray text = kind == "malformed" ? "# two lines of comment\n[Mouse1]\nModel=7\n" : "# nothing\n";
        QString error;
        QVERIFY2(core::writeFileAtomically(path, text, &error), qPrintable(error));
        if (kind == "locked")
            QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
    }

    // Named relative to the folder the program starts in, and found there.
    auto program = startProgram(home.filePath("data"), 1000, relative, work);
    QVERIFY(program->waitForFinished(20000));
    const QString log = program->readAllStandardError();
    QCOMPARE(program->exitStatus(), QProcess::NormalExit);
    QVERIFY2(program->exitCode() == 2, qPrintable(log));
    QVERIFY2(log.contains(QStringLiteral("the program stops: ")), qPrintable(log));
    QVERIFY2(log.contains(relative + " (" + path + ")"), qPrintable(log));
    QVERIFY2(log.count(cause) == 1, qPrintable(log));  // the library's words, said once
    QVERIFY2(!log.contains("main window shown"), qPrintable(log));
}

void TestStartUp::runScriptTakesSimulatorPathsFromTheCallersFolder_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("shownScenario");  // "@" stands for the caller's folder
    QTest::addColumn<QString>("shownState");
    QTest::newRow("relative scenario") << "scenarios/timed.ini" << "" << "@/scenarios/timed.ini" << "";
    QTest::newRow("relative state, a level up") << "" << "../state.ini" << "" << "@/../state.ini";
    QTest::newRow("both, one absolute") << "/srv/sim/a b.ini" << "./state.ini" << "/srv/sim/a b.ini"
                                        << "@/./state.ini";
}

// run.sh builds and starts from the repository root; the simulator's files the user named
// relative to the folder they typed the command in are still the ones found there.
void TestStartUp::runScriptTakesSimulatorPathsFromTheCallersFolder()
{
    QFETCH(QString, scenario);
    QFETCH(QString, state);
    QFETCH(QString, shownScenario);
    QFETCH(QString, shownState);
    QTemporaryDir caller;
    const QString folder = QFileInfo(caller.path()).canonicalFilePath();
    QProcess script;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TALVO_RUN_SHOW_PATHS", "1");
    env.insert("PWD", folder);  // as a shell started in that folder has it
    for (const auto& [name, value] : {std::pair("TALVO_SIM_SCENARIO", scenario), std::pair("TALVO_SIM_STATE", state)})
        value.isEmpty() ? env.remove(name) : env.insert(name, value);
    script.setProcessEnvironment(env);
    script.setWorkingDirectory(folder);
    script.start("sh", {QStringLiteral(TALVO_SOURCE_DIR "/scripts/run.sh")});
    QVERIFY(script.waitForFinished(20000));
    QVERIFY2(script.exitCode() == 0, script.readAllStandardError().constData());
    const QStringList shown = QString::fromUtf8(script.readAllStandardOutput()).split('\n');
    QCOMPARE(shown.mid(0, 2), QStringList({shownScenario.replace("@", folder), shownState.replace("@", folder)}));
}

void TestStartUp::runScriptBuildsAndStartsTheProgramOfItsTree_data()
{
    QTest::addColumn<QString>("command");  // typed in another folder, with links/ on the PATH
    QTest::newRow("the script itself") << "sh ../tree/scripts/run.sh --arg";
    QTest::newRow("a link in another folder") << "talvo-run --arg";
    QTest::newRow("a link to that link") << "again --arg";
}

// run.sh, however it is reached, builds the program of its own tree and starts it: in a copy of
// the tree with a cmake that only notes how it was called, and a program that says it ran.
void TestStartUp::runScriptBuildsAndStartsTheProgramOfItsTree()
{
    QFETCH(QString, command);
    const QTemporaryDir top;
    const QString root = QFileInfo(top.path()).canonicalFilePath();
    const QString tree = root + "/tree";
    for (const char* folder : {"/tree/scripts", "/tree/build/out", "/bin", "/links", "/work"})
        QVERIFY(QDir().mkpath(root + folder));
    QVERIFY(QFile::copy(QStringLiteral(TALVO_SOURCE_DIR "/scripts/run.sh"), tree + "/scripts/run.sh"));
    const QString log = root + "/cmake.log";
    const QList<std::pair<QString, QByteArray>> files = {
        {tree + "/scripts/deps.sh", ""},
        {root + "/bin/cmake", "#!/bin/sh\necho \"$PWD: $*\" >> '" + QFile::encodeName(log) + "'\n"},
        {tree + "/build/out/talvo-r430k", "#!/bin/sh\necho \"program of $PWD: $*\"\n"}};
    for (const auto& [path, text] : files) {
        QVERIFY(core::writeFileAtomically(path, text));
        QVERIFY(QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner));
    }
    QVERIFY(QFile::link("../tree/scripts/run.sh", root + "/links/talvo-run"));
    QVERIFY(QFile::link("talvo-run", root + "/links/again"));
    QProcess script;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("TALVO_RUN_SHOW_PATHS");
    env.insert("QT_QPA_PLATFORM", "offscreen");  // no virtual display
    env.insert("PATH", root + "/bin:" + root + "/links:" + env.value("PATH"));
    script.setProcessEnvironment(env);
    script.setWorkingDirectory(root + "/work");
    script.start("sh", {"-c", command});
    QVERIFY(script.waitForFinished(20000));
    QVERIFY2(script.exitCode() == 0, script.readAllStandardError().constData());
    QCOMPARE(QString::fromUtf8(script.readAllStandardOutput()), "program of " + tree + ": --arg\n");
    QFile calls(log);
    QVERIFY(calls.open(QIODevice::ReadOnly));
    const QStringList built = QString::fromUtf8(calls.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(built.size(), 2);
    QVERIFY2(built.first().startsWith(tree + ": -S . -B build "), qPrintable(built.first()));
    QVERIFY2(built.last().startsWith(tree + ": --build build ") && built.last().endsWith(" --target talvo-r430k"),
             qPrintable(built.last()));
}

QTEST_GUILESS_MAIN(TestStartUp)
#include "tst_startup.moc"
