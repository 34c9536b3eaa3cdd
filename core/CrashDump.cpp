#include "core/CrashDump.h"

#include "core/AppPaths.h"

#include <QDir>
#include <QFile>

#include <atomic>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exception>
#include <execinfo.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

// Everything the handler needs is prepared at install time: a dying process may not allocate,
// lock or call into Qt.
namespace {

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr size_t kPathRoom = 4096;

char s_folder[kPathRoom];
std::atomic<long> s_utcOffsetSeconds{0};
std::atomic<bool> s_installed{false};
std::atomic<bool> s_dumping{false};
std::terminate_handler s_previousTerminate = nullptr;
alignas(16) char s_altStack[64 * 1024];

// Appends text to a fixed buffer without allocating.
struct Line
{
    char text[512];
    size_t used = 0;
    void add(const char* s)
    {
        while (*s && used + 1 < sizeof(text))
            text[used++] = *s++;
    }
    void number(uint64_t v, int base = 10, int minDigits = 1)
    {
        char digits[32];
        int n = 0;
        do {
            digits[n++] = "0123456789abcdef"[v % unsigned(base)];
            v /= unsigned(base);
        } while (v && n < 32);
        while (n < minDigits && n < 32)
            digits[n++] = '0';
        while (n && used + 1 < sizeof(text))
            text[used++] = digits[--n];
    }
    void writeTo(int fd) const
    {
        size_t done = 0;
        while (done < used) {
            const ssize_t w = ::write(fd, text + done, used - done);
            if (w <= 0)
                return;
            done += size_t(w);
        }
    }
};

// Civil date from days since 1970-01-01 (proleptic Gregorian), without the C library's locks.
void civilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = int64_t(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += (m <= 2);
}

void buildPath(Line& path)
{
    const int64_t local = int64_t(::time(nullptr)) + s_utcOffsetSeconds.load();
    int64_t days = local / 86400;
    int64_t secs = local % 86400;
    if (secs < 0) {
        secs += 86400;
        --days;
    }
    int64_t y;
    unsigned m, d;
    civilFromDays(days, y, m, d);
    path.add(s_folder);
    path.add("/");
    path.number(uint64_t(y), 10, 4);
    path.add("_");
    path.number(m, 10, 2);
    path.add("_");
    path.number(d, 10, 2);
    path.add("_");
    path.number(uint64_t(secs / 3600), 10, 2);
    path.add("_");
    path.number(uint64_t(secs / 60 % 60), 10, 2);
    path.add("_");
    path.number(uint64_t(secs % 60), 10, 2);
    path.add(".dmp");
}

const char* signalName(int sig)
{
    switch (sig) {
    case SIGSEGV: return "SIGSEGV";
    case SIGBUS: return "SIGBUS";
    case SIGFPE: return "SIGFPE";
    case SIGILL: return "SIGILL";
    case SIGABRT: return "SIGABRT";
    default: return "signal";
    }
}

// Only async-signal-safe calls from here on (backtrace was warmed up at install time).
void writeDump(const char* cause, int sig, const void* address)
{
    if (s_dumping.exchange(true))
        return;
    if (s_folder[0] == '\0')
        return;
    ::mkdir(s_folder, 0700); // recreated when removed while the program ran
    Line path;
    buildPath(path);
    path.text[path.used] = '\0';
    const int fd = ::open(path.text, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    Line head;
    head.add("TALVO R430K mouse crash dump\ncause: ");
    head.add(cause);
    if (sig) {
        head.add(" (signal ");
        head.number(uint64_t(sig));
        head.add(")");
    }
    head.add("\naddress: 0x");
    head.number(uint64_t(reinterpret_cast<uintptr_t>(address)), 16);
    head.add("\npid: ");
    head.number(uint64_t(::getpid()));
    head.add("\nthread: ");
    head.number(uint64_t(::syscall(SYS_gettid)));
    head.add("\nbacktrace:\n");
    head.writeTo(fd);
    void* frames[64];
    const int count = ::backtrace(frames, 64);
    ::backtrace_symbols_fd(frames, count, fd);
    ::fsync(fd);
    ::close(fd);
}

void onFatalSignal(int sig, siginfo_t* info, void*)
{
    writeDump(signalName(sig), sig, info ? info->si_addr : nullptr);
    // The handler was installed with SA_RESETHAND: re-raising ends the process with the same
    // signal (and core dump policy) as without us.
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

void onTerminate()
{
    const char* what = "unhandled exception";
    writeDump(what, 0, nullptr);
    // abort() below must not write a second dump over this one.
    ::signal(SIGABRT, SIG_DFL);
    if (s_previousTerminate)
        s_previousTerminate();
    std::abort();
}

void rememberUtcOffset()
{
    const QDateTime now = QDateTime::currentDateTime();
    s_utcOffsetSeconds.store(now.offsetFromUtc());
}

} // namespace

QString CrashDump::dumpFolder()
{
    return ExceptionDir();
}

QString CrashDump::dumpFileName(const QString& folder, const QDateTime& when)
{
    return folder + QLatin1Char('/') + when.toString(QStringLiteral("yyyy_MM_dd_hh_mm_ss")) + QStringLiteral(".dmp");
}

void CrashDump::Install()
{
    const QByteArray folder = QFile::encodeName(dumpFolder());
    if (size_t(folder.size()) < kPathRoom - 64) {
        std::memcpy(s_folder, folder.constData(), size_t(folder.size()));
        s_folder[folder.size()] = '\0';
    } else {
        s_folder[0] = '\0'; // too long to name a file safely: no dumps
    }
    QDir().mkpath(dumpFolder());
    rememberUtcOffset();
    if (s_installed.exchange(true))
        return;

    void* warm[2];
    ::backtrace(warm, 2); // loads the unwinder now, not inside the handler

    stack_t alt{};
    alt.ss_sp = s_altStack;
    alt.ss_size = sizeof(s_altStack);
    ::sigaltstack(&alt, nullptr); // a stack overflow still gets its dump

    struct sigaction action{};
    action.sa_sigaction = &onFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int sig : kFatalSignals)
        ::sigaction(sig, &action, nullptr);
    s_previousTerminate = std::set_terminate(&onTerminate);
}
