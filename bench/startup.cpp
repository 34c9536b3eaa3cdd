// Start-up of the program as a user starts it: the real executable (its whole main, old-file
// clean-up and instance lock included) in a fresh per-user folder, timed from the fork that starts
// it to its main window's first paint and to the simulated mouse's tile painted. Both ends use
// CLOCK_MONOTONIC: this process reads it just before the fork, and the program, with
// libbench_startup_probe.so preloaded, reports its paints with it through a pipe, together with
// its peak resident memory (VmHWM) and private anonymous memory (RssAnon) at that moment.
//
// It runs on a private Xvfb display when Xvfb is installed (an X server costs the program memory
// that offscreen hides), else offscreen; the first line says which. One warm-up run is not counted.
//
//   bench_startup [runs] [--offscreen] [--program PATH]    default 7 runs, PATH the built program

#include <QByteArray>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kProbeFd = 3;
constexpr int kRunTimeoutMs = 30000;

long long monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

std::string ownFolder()
{
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? QFileInfo(QString::fromLocal8Bit(path, int(n))).absolutePath().toStdString() : std::string(".");
}

// Reads from fd until a line ends or the deadline passes; false on end of file or timeout.
bool readLine(int fd, long long deadlineNs, std::string& buffer, std::string& line)
{
    for (;;) {
        const auto end = buffer.find('\n');
        if (end != std::string::npos) {
            line = buffer.substr(0, end);
            buffer.erase(0, end + 1);
            return true;
        }
        const long long leftMs = (deadlineNs - monotonicNs()) / 1000000;
        pollfd p{fd, POLLIN, 0};
        if (leftMs <= 0 || poll(&p, 1, int(leftMs)) <= 0)
            return false;
        char chunk[256];
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n <= 0)
            return false;
        buffer.append(chunk, size_t(n));
    }
}

struct Xvfb {
    pid_t pid = -1;
    std::string display;
};

Xvfb startXvfb()
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM); // no display left behind when the bench is interrupted
        close(fds[0]);
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 1);
        dup2(null, 2);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x800x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    Xvfb server;
    std::string buffer, number;
    // Xvfb writes its display number once it accepts clients.
    if (pid > 0 && readLine(fds[0], monotonicNs() + 10000000000LL, buffer, number) && !number.empty()) {
        server.pid = pid;
        server.display = ":" + number;
    } else if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    close(fds[0]);
    return server;
}

std::vector<std::string> childEnvironment(const QString& home, const Xvfb& x, const std::string& probe)
{
    static const char* const replaced[] = {"HOME=",       "XDG_DATA_HOME=", "XDG_CONFIG_HOME=",   "XDG_CACHE_HOME=",
                                           "DISPLAY=",    "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=", "LD_PRELOAD=",
                                           "TALVO_BENCH_PROBE_FD=", "TALVO_SIM_STATE=", "TALVO_SIM_SCENARIO=",
                                           "TALVO_AUTOCLOSE_MS="};
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        if (std::none_of(std::begin(replaced), std::end(replaced),
                         [&](const char* key) { return entry.rfind(key, 0) == 0; }))
            env.push_back(entry);
    }
    const std::string h = home.toStdString();
    env.push_back("HOME=" + h);
    env.push_back("XDG_DATA_HOME=" + h + "/data");
    env.push_back("XDG_CONFIG_HOME=" + h + "/config");
    env.push_back("XDG_CACHE_HOME=" + h + "/cache");
    env.push_back(x.pid > 0 ? "DISPLAY=" + x.display : std::string("QT_QPA_PLATFORM=offscreen"));
    env.push_back("LD_PRELOAD=" + probe);
    env.push_back("TALVO_BENCH_PROBE_FD=" + std::to_string(kProbeFd));
    return env;
}

void printFile(const std::string& path)
{
    std::fflush(stdout);
    if (FILE* in = std::fopen(path.c_str(), "r")) {
        char text[512];
        while (std::fgets(text, sizeof text, in))
            std::fputs(text, stdout);
        std::fclose(in);
    }
}

struct Run {
    double windowMs = -1;
    double tilesMs = -1;
    double peakMiB = 0;
    double anonMiB = 0;
};

// One start of the program; false (with the reason printed) when it did not show its tile.
bool runOnce(const std::string& program, const std::string& probe, const Xvfb& x, Run& run)
{
    QTemporaryDir home;
    const std::vector<std::string> env = childEnvironment(home.path(), x, probe);
    std::vector<char*> envp;
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    const std::string logPath = home.path().toStdString() + "/output.log";
    char* const argv[] = {const_cast<char*>(program.c_str()), nullptr};

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;
    const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    const long long startNs = monotonicNs();
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        // dup2 drops close-on-exec; a pipe end that already is kProbeFd has to lose it by hand.
        if (fds[1] == kProbeFd)
            fcntl(kProbeFd, F_SETFD, 0);
        else
            dup2(fds[1], kProbeFd);
        dup2(log, 1);
        dup2(log, 2);
        execve(program.c_str(), argv, envp.data());
        _exit(127);
    }
    close(fds[1]);
    close(log);
    std::string buffer, line;
    while ((run.windowMs < 0 || run.tilesMs < 0) &&
           readLine(fds[0], startNs + kRunTimeoutMs * 1000000LL, buffer, line)) {
        char moment[16] = {};
        long long ns = 0, peakKb = 0, anonKb = 0;
        if (std::sscanf(line.c_str(), "%15s %lld %lld %lld", moment, &ns, &peakKb, &anonKb) != 4)
            continue;
        const double ms = (ns - startNs) / 1e6;
        if (std::string(moment) == "window")
            run.windowMs = ms;
        else if (std::string(moment) == "tiles") {
            run.tilesMs = ms;
            run.peakMiB = peakKb / 1024.0;
            run.anonMiB = anonKb / 1024.0;
        }
    }
    close(fds[0]);
    // The shutdown is not measured.
    if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    if (run.windowMs >= 0 && run.tilesMs >= 0)
        return true;
    std::printf("the program ended or ran %d s without reporting %s; its output:\n", kRunTimeoutMs / 1000,
                run.windowMs < 0 ? "a painted window" : "a painted tile");
    printFile(logPath);
    return false;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

int measure(int runs, const std::string& program, const std::string& probe, const Xvfb& x)
{
    std::printf("platform: %s; program %s, probe preloaded; bench built as %s\n",
                x.pid > 0 ? ("xcb on a private Xvfb " + x.display).c_str() : "offscreen", program.c_str(),
                TALVO_BUILD_TYPE);
    Run warmUp;
    if (!runOnce(program, probe, x, warmUp))
        return 1;
    std::printf("run  start-to-window(ms)  start-to-tiles(ms)  peak VmHWM(MiB)  RssAnon(MiB)\n");
    std::vector<double> window, tiles, peak, anon;
    for (int i = 0; i < runs; ++i) {
        Run run;
        if (!runOnce(program, probe, x, run))
            return 1;
        window.push_back(run.windowMs);
        tiles.push_back(run.tilesMs);
        peak.push_back(run.peakMiB);
        anon.push_back(run.anonMiB);
        std::printf("%3d  %19.2f  %18.2f  %15.1f  %12.1f\n", i, run.windowMs, run.tilesMs, run.peakMiB,
                    run.anonMiB);
    }
    std::printf("median start-to-window %.2f ms\n", median(window));
    std::printf("median start-to-tiles %.2f ms (target < 250), median peak %.1f MiB (target < 60), "
                "median private anonymous %.1f MiB\n",
                median(tiles), median(peak), median(anon));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    int runs = 7;
    bool offscreen = false;
    std::string program = ownFolder() + "/talvo-r430k";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--offscreen")
            offscreen = true;
        else if (arg == "--program" && i + 1 < argc)
            program = argv[++i];
        else if (std::atoi(argv[i]) > 0)
            runs = std::atoi(argv[i]);
        else {
            std::printf("usage: bench_startup [runs] [--offscreen] [--program PATH]\n");
            return 2;
        }
    }
    const std::string probe = ownFolder() + "/libbench_startup_probe.so";
    for (const std::string& file : {program, probe}) {
        if (access(file.c_str(), R_OK) != 0) {
            std::printf("cannot read %s: build the program and bench_startup_probe first\n", file.c_str());
            return 1;
        }
    }
    Xvfb x;
    if (!offscreen) {
        x = startXvfb();
        if (x.pid < 0)
            std::printf("Xvfb could not be started; measuring offscreen\n");
    }
    const int result = measure(runs, program, probe, x);
    if (x.pid > 0) {
        kill(x.pid, SIGTERM);
        waitpid(x.pid, nullptr, 0);
    }
    return result;
}
