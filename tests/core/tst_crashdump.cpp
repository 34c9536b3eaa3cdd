#include "core/CrashDump.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <csignal>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace {
void throwLost() { throw std::runtime_error("lost"); }
void throwNumber() { throw 7; }
// The test framework catches exceptions around each test, so the throw must leave a
// noexcept frame to reach the terminate handler as an unhandled exception would.
void callNoexcept(void (*f)()) noexcept { f(); }
// The sanitizer build would stop at the null store itself; the point here is
// what a real fault does, so this one write is left to the hardware.
__attribute__((no_sanitize("undefined", "address"))) void writeThroughNull()
{
    volatile int* nowhere = nullptr;
    *nowhere = 1;
}
} // namespace

class TestCrashDump : public QObject
{
    Q_OBJECT

private:
    // Runs `crash` in a forked child with the handler installed; returns the child's wait status.
    template <typename F>
    static int crashInChild(F crash)
    {
        const pid_t pid = ::fork();
        if (pid == 0) {
            CrashDump::Install();
            crash();
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return status;
    }

    static QStringList dumps()
    {
        return QDir(CrashDump::dumpFolder()).entryList({QStringLiteral("*.dmp")}, QDir::Files);
    }

    static QByteArray onlyDump()
    {
        const QStringList names = dumps();
        if (names.size() != 1)
            return QByteArray();
        QFile file(CrashDump::dumpFolder() + QLatin1Char('/') + names.first());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void init() { QDir(CrashDump::dumpFolder()).removeRecursively(); }

    void fileNameCarriesLocalSecond()
    {
        const QDateTime when(QDate(2026, 3, 7), QTime(9, 5, 4));
        QCOMPARE(CrashDump::dumpFileName(QStringLiteral("/x/Exception"), when),
                 QStringLiteral("/x/Exception/2026_03_07_09_05_04.dmp"));
    }

    void segfaultLeavesDumpAndStillKillsProcess()
    {
        const QDateTime before = QDateTime::currentDateTime();
        const int status = crashInChild([] { std::raise(SIGSEGV); });
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), SIGSEGV);

        const QStringList names = dumps();
        QCOMPARE(names.size(), 1);
        // The handler computes local time without the C library: it must agree with Qt's idea of it.
        const QDateTime stamp = QDateTime::fromString(names.first().chopped(4), QStringLiteral("yyyy_MM_dd_hh_mm_ss"));
        QVERIFY2(stamp.isValid(), qPrintable(names.first()));
        QVERIFY(qAbs(stamp.secsTo(before)) <= 2);

        const QByteArray text = onlyDump();
        QVERIFY(text.contains("cause: SIGSEGV (signal 11)"));
        QVERIFY(text.contains("backtrace:\n"));
        QVERIFY(text.count('\n') > 6); // some frames were written
    }

    void realNullWriteIsCaught()
    {
        const int status = crashInChild([] { writeThroughNull(); });
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), SIGSEGV);
        QVERIFY(onlyDump().contains("address: 0x0\n"));
    }

    void uncaughtExceptionWritesOneDumpAndAborts()
    {
        const int status = crashInChild([] { callNoexcept(&throwLost); });
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), SIGABRT);
        // abort() after the terminate handler must not add a second file or overwrite the cause.
        QCOMPARE(dumps().size(), 1);
        QVERIFY(onlyDump().contains("cause: unhandled exception"));
    }

    void folderRemovedWhileRunningIsRecreated()
    {
        const int status = crashInChild([] {
            QDir(CrashDump::dumpFolder()).removeRecursively();
            std::raise(SIGBUS);
        });
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), SIGBUS);
        QCOMPARE(dumps().size(), 1);
    }

    void installTwiceKeepsOneHandler()
    {
        // A second install must not chain the terminate handler onto itself (which would recurse).
        const int status = crashInChild([] {
            CrashDump::Install();
            callNoexcept(&throwNumber);
        });
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), SIGABRT);
        QCOMPARE(dumps().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestCrashDump)
#include "tst_crashdump.moc"
