#include "core/EventWait.h"
#include "core/FileIo.h"
#include "core/PostMsg.h"
#include "support/full_disk.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
// Set by a row: the program's next fsync fails as a disk that finds no room on flushing does.
std::atomic<bool> s_failNextFsync{false};
} // namespace

// Stands in for the C library's fsync in this test program, so that its failure can be made.
extern "C" int fsync(int fd)
{
    if (s_failNextFsync.exchange(false)) {
        errno = ENOSPC;
        return -1;
    }
    return int(::syscall(SYS_fsync, fd));
}

class TestCoreUtil : public QObject
{
    Q_OBJECT

private slots:
    void waitProcessesEventsUntilTimeIsUp();
    void atomicWriteReplacesWholeFile();
    void atomicWriteFailureKeepsOldContent_data();
    void atomicWriteFailureKeepsOldContent();
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
        s_failNextFsync = fault == "fsync";
        written = core::writeFileAtomically(target, QByteArray(size, 'n'), &error);
        QVERIFY(!s_failNextFsync);
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
