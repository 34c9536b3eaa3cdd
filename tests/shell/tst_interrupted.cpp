// A firmware update cut off by the program's own end (a signal, a crash, kill -9) from each of
// its openers: the next start of the program offers the repair and the repair brings the device
// back. Each run is a child process of this test with the simulated devices' flash kept in a
// state file between the runs, as a real device keeps its boot loader.
#include "core/CrashDump.h"
#include "core/DeviceScan.h"
#include "core/Firmware.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Registry.h"
#include "core/StartUp.h"
#include "core/Worker.h"
#include "settings/FormSetting.h"
#include "settings/UpDateRepair.h"
#include "shell/Dialog.h"
#include "shell/DialogChange.h"
#include "shell/DialogMain.h"
#include "support/dialogs_helpers.h"
#include "support/modal_helpers.h"

#include <SimControl.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>
#include <QToolButton>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <dlfcn.h>
#include <unistd.h>

namespace {

const QString kFail = QStringLiteral("UpdateFailInfo");

// The mouse and its receiver each run, the mouse on its cable or not.
QString devices(bool cable, int receiverClass = 4)
{
    return QStringLiteral("[Mouse1]\nModel=1\nCable=%1\nVersion=0x0105\n"
                          "[Receiver1]\nClass=%2\nMouse=Mouse1\nVersion=0x0103\n")
        .arg(cable ? "true" : "false")
        .arg(receiverClass);
}
// Slow enough that a stage is still being written when the child ends itself at the percent
// its row names (about 15 ms a percent).
constexpr int kChildBusUs = 5000;

QString text(const char* child)
{
    return dialogtest::shippedText(0, QStringLiteral("AutoRepair"), QLatin1String(child));
}

QString tipOf(QWidget* dialog)
{
    return dialog->findChild<QLabel*>(QStringLiteral("ToolText_2"))->text();
}

void say(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

[[noreturn]] void endHere(const QString& how)
{
    say(QStringLiteral("ending by ") + how);
    // A fault as the crash handler meets it; a real null store would be stopped by the
    // sanitizers first.
    if (how == QLatin1String("segv"))
        std::raise(SIGSEGV);
    if (how == QLatin1String("abort"))
        std::abort();
    const int sig = how == QLatin1String("term") ? SIGTERM
                    : how == QLatin1String("hup") ? SIGHUP
                    : how == QLatin1String("int") ? SIGINT
                                                  : SIGKILL;
    ::kill(::getpid(), sig);
    ::_exit(3);  // the signal was caught: the test reads that as the program not ending
}

// Where a child ends itself in the mouse's stage, at the library's door: "record", once the
// stage's record is written and before the library gets the image; "done", once the library
// reports the mouse written and before the program hears of it. Empty: at a shown percent.
QString g_cutInMouseStage;
QString g_cutHow;
UpgradeEventCallback g_programCallback = nullptr;

void passEvent(const unsigned char* event)
{
    if (event[0] == 7 && event[1] == 2 && event[2] == 1)
        endHere(g_cutHow);
    g_programCallback(event);
}

} // namespace

extern "C" bool UsbUpgrade_Start(const unsigned char* image, int size, UpgradeEventCallback callback, int timeoutMs)
{
    using Start = bool (*)(const unsigned char*, int, UpgradeEventCallback, int);
    static const auto library = reinterpret_cast<Start>(::dlsym(RTLD_NEXT, "UsbUpgrade_Start"));
    core::FirmwareHeader header;
    const bool mouse = core::parseFirmwareHeader(QByteArray(reinterpret_cast<const char*>(image), size), &header)
                       && header.kind == core::kMouseImage;
    if (mouse && g_cutInMouseStage == QLatin1String("record"))
        endHere(g_cutHow);
    if (mouse && g_cutInMouseStage == QLatin1String("done")) {
        g_programCallback = callback;
        callback = &passEvent;
    }
    return library(image, size, callback, timeoutMs);
}

namespace {

// The ready dialog's start button, once the check has found what it needs.
bool startWhenReady(QWidget* dialog)
{
    if (!QTest::qWaitFor([dialog] { return dialog->isVisible() && tipOf(dialog) == text("ReadyUpdate"); }, 30000)) {
        say(QStringLiteral("not ready: ") + tipOf(dialog));
        return false;
    }
    dialog->findChild<QToolButton*>(QStringLiteral("NewHong_2"))->click();
    return true;
}

// The program's window over what the opener needs: a receiver left in its boot loader by an
// earlier update for the repair button, a mouse on the shipped firmware for the Space key (only
// the receiver is offered). Null when the tile does not come.
DialogMain* windowFor(const QString& opener)
{
    if (opener == QLatin1String("repair")) {
        SimControl_SetBootMode("Receiver1", true);
        Registry::SetValue(Registry::DriveTestKey(), kFail, QStringLiteral("211,4,33,1"));
    } else if (opener == QLatin1String("space")) {
        Registry::SetValue(Registry::DriveTestKey(), QStringLiteral("MouseVer331"), QStringLiteral("v1.7"));
    }
    auto* window = new DialogMain;
    window->show();
    return QTest::qWaitFor([] { return TileDeviceList.size() == 1; }, 20000) ? window : nullptr;
}

// The settings page's update of the mouse's tile, its dialog open.
bool openSettingsUpdate(DialogMain* window)
{
    window->choicePage()->OpenTile(0);
    if (!QTest::qWaitFor([] { return core::imageFromOpenDevice() && WorkerInstance
                                     && WorkerInstance->DeviceList().size() == 2; }, 20000))
        return false;
    auto* page = window->frame()->findChild<FormSetting*>();
    page->setUpdateTimings(10, UpDateRepair::kWatchdogMs);
    page->on_Receive_2_clicked();
    return true;
}

// Child: starts the update from the opener and ends the program at the shown percent (-1: once
// the whole update has succeeded and its record is gone).
int childUpdate(const QString& opener, int stopAt, const QString& how, const QString& cutInMouseStage)
{
    g_cutInMouseStage = cutInMouseStage;
    g_cutHow = how;
    const auto atPercent = [stopAt, how](int shown) {
        if (stopAt >= 0 && shown >= stopAt)
            endHere(how);
    };
    QObject hook;
    QObject::connect(PostMsg::instance(), &PostMsg::SigAutoRepairProgress, &hook, atPercent);
    QObject::connect(PostMsg::instance(), &PostMsg::SigProgress, &hook, [atPercent](int shown, int kind) {
        if (kind == 0)
            atPercent(shown);
    });
    DialogMain* window = windowFor(opener);
    if (!window)
        return 2;
    if (opener == QLatin1String("settings")) {
        if (!openSettingsUpdate(window))
            return 2;
        if (!startWhenReady(UpdateRepairDialog))
            return 2;
    } else if (opener == QLatin1String("repair")) {
        auto* repair = window->choicePage()->findChild<QPushButton*>(QStringLiteral("Repair"));
        if (!QTest::qWaitFor([repair] { return repair->isVisible(); }, 20000))
            return 2;
        repair->click();
        if (!startWhenReady(UpdateRepairDialog))
            return 2;
    } else {
        // The offer is confirmed; the repair dialog then runs until the program ends.
        modaltest::ModalDriver driver([](QWidget* shown) {
            if (auto* ok = shown->findChild<QToolButton*>(QStringLiteral("OK")))
                ok->click();
        });
        QTest::keyClick(window, Qt::Key_Space);
        say(QStringLiteral("space key returned"));
        return 2;
    }
    const bool done = QTest::qWaitFor(
        [] { return tipOf(UpdateRepairDialog) == text("UpdateSuccess") && UpdateCheckRunning == 0; }, 60000);
    if (done && stopAt < 0)
        endHere(how);
    say(QStringLiteral("not ended: ") + tipOf(UpdateRepairDialog));
    return 2;
}

// Child: a whole update from the opener, healthy or failing at failAt percent, with the choice
// page looked at after each of its hot-plug rescans and the dialog's line at every turn of the
// event loop. Says what it saw.
int childWatch(const QString& opener, int failAt)
{
    DialogMain* window = windowFor(opener);
    if (!window)
        return 2;
    DialogChange* page = window->choicePage();
    auto* repair = page->findChild<QPushButton*>(QStringLiteral("Repair"));
    auto* hint = page->findChild<QLabel*>(QStringLiteral("label_2"));
    const QString repairLine = dialogtest::shippedText(0, QStringLiteral("DialogChange"), QStringLiteral("RepairDevice"));
    bool running = false;
    int rescans = 0;
    int repairShown = 0;
    QWidget* dialog = UpdateRepairDialog;  // the Space key runs a dialog of its own
    const QStringList ends{text("UpdateSuccess"), text("UpdateFail")};
    core::hotPlugCoalescer(core::HotPlugOwner::ChoicePage).attach(page, [&] {
        page->Rescan();
        // Once the outcome shows, a failed stage's record is one to repair.
        if (!running || (dialog && ends.contains(tipOf(dialog))))
            return;
        ++rescans;
        repairShown += !repair->isHidden() || hint->text() == repairLine ? 1 : 0;
    });
    QStringList lines;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (!running || !dialog)
            return;
        const QString line = tipOf(dialog);
        if (line != text("UpdateNotMove") && !lines.contains(line))
            lines << line;
        // Between rescans too: the button must not stay from before the start.
        if (!ends.contains(line) && !repair->isHidden())
            ++repairShown;
    });
    look.start(0);
    if (failAt >= 0)
        SimControl_FailNextUpgrade(failAt);
    const auto ended = [&ends, &dialog] {
        return dialog && ends.contains(tipOf(dialog)) && RepairUpgrading == 0 && UpdateCheckRunning == 0;
    };
    // A success leaves nothing to offer; a failure's offer may wait for the page's next rescan.
    const auto offered = [repair, failAt] {
        return failAt < 0 ? !repair->isHidden() : QTest::qWaitFor([repair] { return !repair->isHidden(); }, 10000);
    };
    const auto report = [&] {
        running = false;
        say(QStringLiteral("rescans %1").arg(rescans));
        say(QStringLiteral("repair shown %1").arg(repairShown));
        say(QStringLiteral("lines ") + lines.join(QLatin1Char('|')));
    };
    if (opener == QLatin1String("space")) {
        // The modal dialogs run inside the key press: the update's own until it has ended.
        modaltest::ModalDriver driver([&](QWidget* shown) {
            if (auto* ok = shown->findChild<QToolButton*>(QStringLiteral("OK"))) {
                ok->click();
                running = true;
                return;
            }
            dialog = shown;
            if (!QTest::qWaitFor(ended, 60000))
                say(QStringLiteral("not ended: ") + tipOf(shown));
            report();
            // After a failure the page offers the repair at once.
            say(QStringLiteral("offered after %1").arg(offered()));
            std::fflush(stdout);
            ::_exit(0);
        });
        QTest::keyClick(window, Qt::Key_Space);
        say(QStringLiteral("space key returned"));
        return 2;
    }
    if (opener == QLatin1String("settings")) {
        if (!openSettingsUpdate(window))
            return 2;
    } else {
        repair->click();
    }
    dialog = UpdateRepairDialog;
    if (!startWhenReady(UpdateRepairDialog))
        return 2;
    running = true;
    if (!QTest::qWaitFor(ended, 60000))
        say(QStringLiteral("not ended: ") + tipOf(UpdateRepairDialog));
    report();
    if (opener == QLatin1String("settings")) {
        UpdateRepairDialog->findChild<QToolButton*>(QStringLiteral("NewHong"))->click();
        window->frame()->findChild<QToolButton*>(QStringLiteral("UpArrow"))->click();
    }
    say(QStringLiteral("offered after %1").arg(offered()));
    return 0;
}

// Child: the next start. Says whether the choice page offers the repair and how it ended.
int childRepair()
{
    auto* window = new DialogMain;
    window->show();
    if (!QTest::qWaitFor([] { return !TileDeviceList.isEmpty(); }, 20000))
        return 2;
    auto* repair = window->choicePage()->findChild<QPushButton*>(QStringLiteral("Repair"));
    QCoreApplication::processEvents();
    say(QStringLiteral("offered %1").arg(repair->isVisible()));
    if (!repair->isVisible())
        return 0;
    repair->click();
    if (!startWhenReady(UpdateRepairDialog))
        return 2;
    const QStringList ends{text("UpdateSuccess"), text("UpdateFail")};
    const bool ended =
        QTest::qWaitFor([&ends] { return ends.contains(tipOf(UpdateRepairDialog)) && RepairUpgrading == 0; }, 60000);
    if (!ended)
        say(QStringLiteral("not ended: ") + tipOf(UpdateRepairDialog));
    say(QStringLiteral("outcome ") + (tipOf(UpdateRepairDialog) == text("UpdateSuccess") ? "success" : "failed"));
    say(QStringLiteral("record ") + Registry::Value(Registry::DriveTestKey(), kFail));
    return 0;
}

int runChild(int argc, char** argv)
{
    // A test run started in the background inherits SIGINT (and under nohup SIGHUP) ignored; the
    // program in a session takes them as it would by default.
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGHUP, SIG_DFL);
    QApplication app(argc, argv);
    CrashDump::Install();
    PrepareUserFolders();
    RegisterBusTypes();
    const QStringList args = QCoreApplication::arguments();
    const int code = args.value(2) == QLatin1String("repair")  ? childRepair()
                     : args.value(2) == QLatin1String("watch") ? childWatch(args.value(3), args.value(4).toInt())
                                                                : childUpdate(args.value(3), args.value(4).toInt(),
                                                                              args.value(5), args.value(6));
    // The window and the device link are left to the end of the process, as the program's are.
    std::fflush(stdout);
    ::_exit(code);
}

struct ChildRun {
    QProcess::ExitStatus status = QProcess::NormalExit;
    int code = -1;
    QString out;
};

} // namespace

class TestInterrupted : public QObject
{
    Q_OBJECT

private slots:
    void cutUpdateIsRepairedAtTheNextStart_data();
    void cutUpdateIsRepairedAtTheNextStart();
    void choicePageShowsNoRepairWhileAnUpdateRuns_data();
    void choicePageShowsNoRepairWhileAnUpdateRuns();
    void mouseStageCutOutsideItsBootLoaderIsRepaired_data();
    void mouseStageCutOutsideItsBootLoaderIsRepaired();

private:
    static ChildRun runChildProcess(const QString& home, const QString& scenario, const QStringList& args);
    static bool inBootMode(const QString& home, const QString& device);
};

ChildRun TestInterrupted::runChildProcess(const QString& home, const QString& scenario, const QStringList& args)
{
    QFile file(home + QStringLiteral("/scenario.ini"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(scenario.toUtf8()) < 0)
        return {};
    file.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    env.insert(QStringLiteral("TALVO_SIM_STATE"), home + QStringLiteral("/sim-state.ini"));
    env.insert(QStringLiteral("TALVO_SIM_SCENARIO"), file.fileName());
    env.insert(QStringLiteral("TALVO_SIM_BUS_US"),
               QString::number(qMax(kChildBusUs, qEnvironmentVariableIntValue("TALVO_SIM_BUS_US"))));
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--child")} + args);
    ChildRun run;
    if (!child.waitForFinished(120000)) {
        child.kill();
        child.waitForFinished();
    }
    run.status = child.exitStatus();
    run.code = child.exitCode();
    run.out = QString::fromLocal8Bit(child.readAllStandardOutput());
    return run;
}

bool TestInterrupted::inBootMode(const QString& home, const QString& device)
{
    QSettings state(home + QStringLiteral("/sim-state.ini"), QSettings::IniFormat);
    return state.value(device + QStringLiteral("/Boot")).toInt() == 1;
}

void TestInterrupted::cutUpdateIsRepairedAtTheNextStart_data()
{
    QTest::addColumn<QString>("opener");  // settings (page), repair (button), space (key)
    QTest::addColumn<int>("stopAt");      // shown percent; -1: after the update succeeded
    QTest::addColumn<QString>("how");     // term, hup, int, kill, segv, abort
    QTest::addColumn<QString>("cut");     // the device left in its boot loader; empty: none

    // Two stages on the page and in the repair: the receiver 0 to 50, the mouse 50 to 100.
    QTest::newRow("page, receiver at 2 %, SIGTERM") << "settings" << 1 << "term" << "Receiver1";
    QTest::newRow("page, receiver at 40 %, SIGKILL") << "settings" << 20 << "kill" << "Receiver1";
    QTest::newRow("page, mouse at 10 %, SIGHUP") << "settings" << 55 << "hup" << "Mouse1";
    QTest::newRow("page, mouse at 50 %, crash") << "settings" << 75 << "segv" << "Mouse1";
    QTest::newRow("repair button, receiver at 4 %, SIGKILL") << "repair" << 2 << "kill" << "Receiver1";
    QTest::newRow("repair button, receiver at 50 %, SIGINT") << "repair" << 25 << "int" << "Receiver1";
    QTest::newRow("repair button, mouse at 6 %, SIGTERM") << "repair" << 53 << "term" << "Mouse1";
    QTest::newRow("repair button, mouse at 40 %, abort") << "repair" << 70 << "abort" << "Mouse1";
    QTest::newRow("Space key, receiver at 3 %, SIGHUP") << "space" << 3 << "hup" << "Receiver1";
    QTest::newRow("Space key, receiver at 30 %, crash") << "space" << 30 << "segv" << "Receiver1";
    QTest::newRow("Space key, receiver at 50 %, SIGKILL") << "space" << 50 << "kill" << "Receiver1";
    QTest::newRow("page, killed after the update") << "settings" << -1 << "kill" << "";
}

void TestInterrupted::cutUpdateIsRepairedAtTheNextStart()
{
    QFETCH(QString, opener);
    QFETCH(int, stopAt);
    QFETCH(QString, how);
    QFETCH(QString, cut);
    QTemporaryDir home;
    QVERIFY(home.isValid());
    // The Space key offers a receiver without its mouse's cable.
    const ChildRun first = runChildProcess(home.path(), devices(opener != QLatin1String("space")),
                                           {QStringLiteral("update"), opener, QString::number(stopAt), how});
    QVERIFY2(first.status == QProcess::CrashExit, qPrintable(first.out));
    QVERIFY2(first.out.contains(QStringLiteral("ending by ") + how), qPrintable(first.out));
    const QString log = home.path() + QStringLiteral("/data/TALVO R430K mouse/Exception/UpDateLog.txt");
    if (!cut.isEmpty()) {
        QVERIFY2(inBootMode(home.path(), cut), "the cut came after the stage had ended");
        // The log names the stage that was cut.
        QFile stage(log);
        QVERIFY(stage.open(QIODevice::ReadOnly | QIODevice::Text));
        QVERIFY(stage.readLine().endsWith(cut.startsWith(QLatin1String("Mouse")) ? "(mouse)\n" : "(receiver)\n"));
    } else {
        QVERIFY(!QFile::exists(log));
    }

    // The next start, with the mouse's cable plugged as the repair asks.
    const ChildRun next = runChildProcess(home.path(), devices(true), {QStringLiteral("repair")});
    QVERIFY2(next.status == QProcess::NormalExit && next.code == 0, qPrintable(next.out));
    QVERIFY2(next.out.contains(QStringLiteral("offered %1").arg(!cut.isEmpty())), qPrintable(next.out));
    if (!cut.isEmpty()) {
        QVERIFY2(next.out.contains(QStringLiteral("outcome success")), qPrintable(next.out));
        QVERIFY2(next.out.contains(QStringLiteral("record \n")), qPrintable(next.out));
    }
    QVERIFY(!inBootMode(home.path(), QStringLiteral("Receiver1")));
    QVERIFY(!inBootMode(home.path(), QStringLiteral("Mouse1")));
}

void TestInterrupted::choicePageShowsNoRepairWhileAnUpdateRuns_data()
{
    QTest::addColumn<QString>("opener");
    QTest::addColumn<int>("failAt");  // percent of the first stage; -1: healthy
    for (const char* opener : {"settings", "repair", "space"}) {
        QTest::addRow("%s, healthy", opener) << opener << -1;
        QTest::addRow("%s, first stage fails", opener) << opener << 40;
    }
}

// The record each stage writes before its first byte says "running" while the stage runs: no
// rescan of the choice page shows the repair state for it, and the dialog says nothing but that
// the update runs. A stage that failed leaves the repair offered.
void TestInterrupted::choicePageShowsNoRepairWhileAnUpdateRuns()
{
    QFETCH(QString, opener);
    QFETCH(int, failAt);
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const ChildRun run = runChildProcess(home.path(), devices(opener != QLatin1String("space")),
                                         {QStringLiteral("watch"), opener, QString::number(failAt)});
    QVERIFY2(run.status == QProcess::NormalExit && run.code == 0, qPrintable(run.out));
    QVERIFY2(!run.out.contains(QStringLiteral("not ended")), qPrintable(run.out));
    QVERIFY2(run.out.contains(QStringLiteral("repair shown 0\n")), qPrintable(run.out));
    // The dialog's line changes once, to the outcome.
    const QString outcome = text(failAt < 0 ? "UpdateSuccess" : "UpdateFail");
    QVERIFY2(run.out.contains(QStringLiteral("lines ") + outcome + QLatin1Char('\n')), qPrintable(run.out));
    // The receiver drops into its boot loader and comes back: the page rescans meanwhile.
    if (opener != QLatin1String("settings") && failAt < 0)
        QVERIFY2(!run.out.contains(QStringLiteral("rescans 0\n")), qPrintable(run.out));
    QVERIFY2(run.out.contains(QStringLiteral("offered after %1").arg(failAt >= 0)), qPrintable(run.out));
}

void TestInterrupted::mouseStageCutOutsideItsBootLoaderIsRepaired_data()
{
    QTest::addColumn<QString>("opener");
    QTest::addColumn<QString>("cut");  // record: before the mouse's first byte; done: after its last
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("receiverClass");  // of the receiver the mouse is on at the next start
    QTest::newRow("page, mouse's record written, SIGKILL") << "settings" << "record" << "kill" << 4;
    QTest::newRow("page, mouse written, SIGTERM") << "settings" << "done" << "term" << 4;
    QTest::newRow("repair button, mouse's record written, SIGTERM") << "repair" << "record" << "term" << 4;
    QTest::newRow("repair button, mouse written, SIGKILL") << "repair" << "done" << "kill" << 4;
    // The record names a 4000 Hz receiver; the repair goes through the one the mouse is on, an
    // 8000 Hz receiver on older firmware, and writes that one's image.
    QTest::newRow("page, mouse's record written, then on an 8000 Hz receiver") << "settings" << "record" << "kill" << 8;
}

// The record names the mouse while no device waits in a boot loader: the next start's repair
// writes the mouse again through its receiver and clears the record, and the start after that
// offers nothing.
void TestInterrupted::mouseStageCutOutsideItsBootLoaderIsRepaired()
{
    QFETCH(QString, opener);
    QFETCH(QString, cut);
    QFETCH(QString, how);
    QFETCH(int, receiverClass);
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const ChildRun first =
        runChildProcess(home.path(), devices(true), {QStringLiteral("update"), opener, "-1", how, cut});
    QVERIFY2(first.status == QProcess::CrashExit, qPrintable(first.out));
    QVERIFY2(first.out.contains(QStringLiteral("ending by ") + how), qPrintable(first.out));
    QVERIFY(!inBootMode(home.path(), QStringLiteral("Receiver1")));
    QVERIFY(!inBootMode(home.path(), QStringLiteral("Mouse1")));
    if (receiverClass != 4) {
        // The receiver the first run wrote is not the one at the next start.
        QFile state(home.path() + QStringLiteral("/sim-state.ini"));
        QVERIFY(state.open(QIODevice::ReadOnly));
        QByteArray text = state.readAll();
        state.close();
        QVERIFY(text.contains("[Receiver1]\nVersion=0x0104\n"));
        text.replace("[Receiver1]\nVersion=0x0104\n", "[Receiver1]\nVersion=0x0103\n");
        QVERIFY(state.open(QIODevice::WriteOnly | QIODevice::Truncate) && state.write(text) == text.size());
        state.close();
    }

    // A failed mouse needs its receiver: the mouse is on it, off its cable.
    for (const bool offered : {true, false}) {
        const ChildRun next = runChildProcess(home.path(), devices(false, receiverClass), {QStringLiteral("repair")});
        QVERIFY2(next.status == QProcess::NormalExit && next.code == 0, qPrintable(next.out));
        QVERIFY2(next.out.contains(QStringLiteral("offered %1").arg(offered)), qPrintable(next.out));
        if (offered) {
            QVERIFY2(next.out.contains(QStringLiteral("outcome success")), qPrintable(next.out));
            QVERIFY2(next.out.contains(QStringLiteral("record \n")), qPrintable(next.out));
        }
    }
}

int main(int argc, char** argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0)
        return runChild(argc, argv);
    QApplication app(argc, argv);
    TestInterrupted test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_interrupted.moc"
