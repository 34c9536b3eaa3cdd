#include "core/EventWait.h"
#include "core/FileIo.h"
#include "core/PostMsg.h"
#include "support/full_disk.h"
#include "support/sync_faults.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QStringList s_logged;

void keepMessage(QtMsgType, const QMessageLogContext&, const QString& text)
{
    s_logged << text;
}

// The lowest descriptor free: one left open by a call moves it up.
int nextFreeDescriptor()
{
    const int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ::close(fd);
    return fd;
}

// Two saves in a folder of mode 0300 (write and search, no read), made in a child as a user
// other than root, to whom no mode applies; the child's exit code, 0 when both were saved.
int savedInAFolderNotOpenForReading(const QString& folder)
{
    const uid_t nobody = 65534;
    const QByteArray name = QFile::encodeName(folder);
    if (::geteuid() == 0 && ::chown(name.constData(), nobody, nobody) != 0)
        return 3;
    const pid_t child = ::fork();
    if (child == 0) {
        if ((::geteuid() == 0 && (::setgid(nobody) != 0 || ::setuid(nobody) != 0)) || ::chmod(name.constData(), 0300))
            ::_exit(3);
        const QString path = folder + "/file";
        ::_exit(core::writeFileAtomically(path, "one") && core::writeFileAtomically(path, "two") ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return 3;
    ::chmod(name.constData(), 0700);
    return WEXITSTATUS(status);
}

} // namespace

class TestCoreUtil : public QObject
{
    Q_OBJECT

private slots:
    void waitProcessesEventsUntilTimeIsUp();
    void atomicWriteReplacesWholeFile();
    void atomicWriteFailureKeepsOldContent_data();
    void atomicWriteFailureKeepsOldContent();
    void folderThatCannotBeSyncedFailsOnlyOnADiskError_data();
    void folderThatCannotBeSyncedFailsOnlyOnADiskError();
    void manySavesLeaveNoDescriptorOpen();
    void boundedReadRefusesLargerFiles();
    void busHasItsFiftySixSignalsAndEmitters();
    void busEmittersReachTheirOwnSignal();

private:
    QTemporaryDir m_dir;
};

void TestCoreUtil::waitProcessesEventsUntilTimeIsUp()
{
    int fired = 0;
    QTimer::singleShot(20, this, [&fired] { ++fired; });
    QElapsedTimer clock;
    clock.start();
    WaitProcessingEvents(150);
    QVERIFY(clock.elapsed() >= 149);
    QCOMPARE(fired, 1);

    // A zero wait still delivers what is already queued.
    QMetaObject::invokeMethod(this, [&fired] { ++fired; }, Qt::QueuedConnection);
    WaitProcessingEvents(0);
    QCOMPARE(fired, 2);
}

void TestCoreUtil::atomicWriteReplacesWholeFile()
{
    const QString path = m_dir.filePath("deep/er/file.bin");
    QString error;
    QVERIFY2(core::writeFileAtomically(path, QByteArray(5000, 'a'), &error), qPrintable(error));
    QVERIFY(core::writeFileAtomically(path, "short"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("short"));
    QCOMPARE(QDir(m_dir.filePath("deep/er")).entryList(QDir::Files), QStringList({"file.bin"}));
}

void TestCoreUtil::atomicWriteFailureKeepsOldContent_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("limit");  // file size limit in bytes while writing
    QTest::newRow("target is a folder") << "folder" << 3 << -1;      // nothing can be committed over it
    QTest::newRow("parent is a plain file") << "parent" << 3 << -1;  // the new file cannot be made
    QTest::newRow("file size limit mid-write") << "limit" << 64 * 1024 << 4096; // opened, then the write fails
    QTest::newRow("no room when flushed") << "fsync" << 100 << -1;  // written, then the flush fails
    // A full disk: the bytes fit the write buffer, so only pushing them out fails.
    for (int size : {1, 100, 10464, 20000})
        QTest::addRow("full disk, %d bytes", size) << "limit" << size << 0;
}

void TestCoreUtil::atomicWriteFailureKeepsOldContent()
{
    QFETCH(QString, fault);
    QFETCH(int, size);
    QFETCH(int, limit);
    const QString path = m_dir.filePath(fault);
    const QString target = fault == "parent" ? path + "/child" : path;
    QByteArray old;
    for (int i = 0; i < 10464; ++i)
        old += char(i * 7);
    if (fault == "folder")
        QVERIFY(QDir().mkpath(path + "/inside"));
    else
        QVERIFY(core::writeFileAtomically(path, old));

    QString error;
    bool written = true;
    if (fault == "limit") {
        // A write past the limit fails with EFBIG once the file is open and partly written.
        hostile::FullDisk full{rlim_t(limit)};
        QVERIFY(full.made());
        written = core::writeFileAtomically(target, QByteArray(size, 'n'), &error);
    } else {
        if (fault == "fsync")
            hostile::failNextSync(ENOSPC);
        written = core::writeFileAtomically(target, QByteArray(size, 'n'), &error);
        QVERIFY(!hostile::nextSyncFailurePending());
    }
    QVERIFY(!written);
    QVERIFY(error.contains(target));
    if (fault == "folder") {
        QVERIFY(QFileInfo(path + "/inside").isDir());
        return;
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), old);
    QCOMPARE(QDir(m_dir.path()).entryList({fault + "*"}, QDir::Files), QStringList{fault});
}

void TestCoreUtil::folderThatCannotBeSyncedFailsOnlyOnADiskError_data()
{
    QTest::addColumn<int>("answer");  // of the folder's fsync; 0: the folder cannot be opened for reading
    QTest::addColumn<bool>("saved");
    QTest::newRow("not open for reading") << 0 << true;
    // A file system that does not sync folders.
    QTest::newRow("EINVAL") << EINVAL << true;
    QTest::newRow("EOPNOTSUPP") << EOPNOTSUPP << true;
    QTest::newRow("EPERM") << EPERM << true;
    QTest::newRow("EBADF") << EBADF << true;
    // A disk that fails.
    QTest::newRow("EIO") << EIO << false;
    QTest::newRow("ENOSPC") << ENOSPC << false;
    QTest::newRow("EDQUOT") << EDQUOT << false;
}

// The new bytes are under the name once renamed: a folder the file system cannot sync is no
// failed save, and says so once per folder; a disk error at the folder's sync is one.
void TestCoreUtil::folderThatCannotBeSyncedFailsOnlyOnADiskError()
{
    QFETCH(int, answer);
    QFETCH(bool, saved);
    // A folder of its own, which another user can reach.
    const QTemporaryDir top;
    const QString folder = top.path();
    const QString path = folder + "/file";
    const int free = nextFreeDescriptor();
    if (answer == 0) {
        QCOMPARE(savedInAFolderNotOpenForReading(folder), 0);
    } else {
        s_logged.clear();
        const QtMessageHandler previous = qInstallMessageHandler(keepMessage);
        QString error;
        bool written[2];
        {
            hostile::NoFolderSync unsynced(answer);
            written[0] = core::writeFileAtomically(path, "one", &error);
            written[1] = core::writeFileAtomically(path, "two", &error);
        }
        qInstallMessageHandler(previous);
        QCOMPARE(written[0], saved);
        QCOMPARE(written[1], saved);
        QCOMPARE(s_logged.filter(folder).size(), saved ? 1 : 0);
        if (!saved)
            QVERIFY2(error.contains("the folder was not synced: " + QString::fromLocal8Bit(std::strerror(answer))),
                     qPrintable(error));
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("two"));
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"file"});
    file.close();
    QCOMPARE(nextFreeDescriptor(), free);
}

// The program saves for weeks: not one save may leave a descriptor open behind it.
void TestCoreUtil::manySavesLeaveNoDescriptorOpen()
{
    const int free = nextFreeDescriptor();
    for (int i = 0; i < 100; ++i)
        QVERIFY(core::writeFileAtomically(m_dir.filePath("often/file"), QByteArray::number(i)));
    QCOMPARE(nextFreeDescriptor(), free);
}

void TestCoreUtil::boundedReadRefusesLargerFiles()
{
    const QString path = m_dir.filePath("bounded.bin");
    QVERIFY(core::writeFileAtomically(path, QByteArray(100, 'z')));
    QByteArray bytes = "untouched";
    QString error;
    QVERIFY(!core::readFileBounded(path, 99, &bytes, &error));
    QCOMPARE(bytes, QByteArray("untouched"));
    QVERIFY(core::readFileBounded(path, 100, &bytes));
    QCOMPARE(bytes.size(), 100);
    QVERIFY(!core::readFileBounded(m_dir.filePath("absent"), 100, &bytes, &error));
    QVERIFY(!error.isEmpty());
}

void TestCoreUtil::busHasItsFiftySixSignalsAndEmitters()
{
    const QMetaObject* meta = PostMsg::instance()->metaObject();
    QStringList signalNames;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.methodType() == QMetaMethod::Signal)
            signalNames << QString::fromLatin1(method.name());
    }
    QCOMPARE(signalNames.size(), 56);
    QCOMPARE(signalNames.first(), QString("SigChangeMainDialog"));
    QCOMPARE(signalNames.at(10), QString("SigSelectMouseInfo"));
    QCOMPARE(signalNames.at(47), QString("SigFormReset"));
    QCOMPARE(signalNames.last(), QString("SigLightToFrom"));
    QVERIFY(PostMsg::instance() == PostMsg::instance());
}

void TestCoreUtil::busEmittersReachTheirOwnSignal()
{
    // Emitters of signals that receivers connect non-blocking, called with
    // recognisable arguments; each must raise exactly its own signal.
    PostMsg* bus = PostMsg::instance();
    QSignalSpy language(bus, &PostMsg::SigChangeLanguage);
    QSignalSpy sameA(bus, &PostMsg::SigLanguageSameA);
    QSignalSpy offline(bus, &PostMsg::SigMouseOffLineo);
    QSignalSpy rename(bus, &PostMsg::SigMacroRename);
    QSignalSpy labelB(bus, &PostMsg::SigLabelTextB);
    QSignalSpy progress(bus, &PostMsg::SigProgress);
    bus->EmitChangeLanguage(4);
    bus->EmitMouseOffLineo(1);
    bus->EmitMacroRename("new", "old");
    bus->EmitLabelTextB("v1.3", "true");
    bus->EmitProgress(2, 77);
    QCOMPARE(language.count(), 1);
    QCOMPARE(language.at(0).at(0).toInt(), 4);
    QCOMPARE(sameA.count(), 0);
    QCOMPARE(offline.at(0).at(0).toInt(), 1);
    QCOMPARE(rename.at(0), QList<QVariant>({"new", "old"}));
    QCOMPARE(labelB.at(0), QList<QVariant>({"v1.3", "true"}));
    QCOMPARE(progress.at(0), QList<QVariant>({2, 77}));
}

QTEST_GUILESS_MAIN(TestCoreUtil)
#include "tst_coreutil.moc"
