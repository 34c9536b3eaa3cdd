#include "core/AppPaths.h"
#include "core/CrashDump.h"
#include "core/FileNameCodec.h"
#include "core/PostMsg.h"
#include "core/Product.h"
#include "core/StartUp.h"
#include "devicelib/SimControl.h"
#include "dialogs/ExeIsRun.h"
#include "dialogs/ScenarioNotice.h"
#include "dialogs/UpDateWarning.h"
#include "shell/DialogMain.h"
#include "shell/common/ButtonStyle.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace {
Q_LOGGING_CATEGORY(lcEntry, "app.core.main")
}

namespace {

// Scripted runs only: when the environment variable TALVO_AUTOCLOSE_MS holds
// a positive number, the open modal dialog (or else every window) is closed
// that many milliseconds after the event loop starts.
void scheduleAutoClose()
{
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("TALVO_AUTOCLOSE_MS", &ok);
    if (!ok || ms <= 0)
        return;
    QTimer::singleShot(ms, qApp, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
        QApplication::closeAllWindows();
        QCoreApplication::quit();
    });
}

int showAlreadyRunning()
{
    qCInfo(lcEntry) << "another copy is running; showing the notice";
    ExeIsRun notice;
    notice.exec();
    return 0;
}

// The simulated devices the user named could not be loaded: running on none (or on others)
// would look like success. The device library has already told stderr the file and the cause in
// its own words; where there is a screen, a notice tells the user in theirs.
int stopForUnreadScenario()
{
    qCCritical(lcEntry, "the program stops: the simulated devices could not be set up");
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return 2;
    int line = 0;
    const char* file = nullptr;
    const auto fault = dialogs::ScenarioFault(SimControl_ScenarioFault(&line, &file));
    UpDateWarning notice(nullptr);
    notice.fitStartUpNotice(!QFileInfo(AppDir() + QStringLiteral("/Picture")).isDir());
    dialogs::setScenarioNoticeText(notice, fault, line, QFile::decodeName(file ? file : ""));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        notice.move(dialogs::DialogFrame::placement(screen->availableGeometry().topLeft(),
                                                    screen->availableGeometry().size(), notice.size(), 0, 0));
    notice.exec();
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    // Before any path is made: a per-user folder whose name is no UTF-8 is then reached by its
    // own bytes.
    core::installFileNameCodec();
    // Right after, so that a crash anywhere in start-up leaves its dump too.
    CrashDump::Install();
    core::KeepLocalTimeZone();
    core::TuneHeapForLargeBlocks();
    PrepareUserFolders();
    DeleteOldFiles(LogDir());
    DeleteOldFiles(ExceptionDir());

    core::UseRasterWindowsOnly();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QLatin1String(ProductName));
    RegisterBusTypes();
    scheduleAutoClose();
    if (SimControl_ScenarioError())
        return stopForUnreadScenario();

    // Held until main returns; a copy that dies leaves a lock that names a
    // dead process, which the next start takes over.
    SingleInstance instance;
    if (!instance.TryAcquire())
        return showAlreadyRunning();

    PostMsg::instance();
    app.setStyleSheet(shell::applicationStyleSheet());
    auto* window = new DialogMain;  // lives until the process ends
    window->show();
    qCInfo(lcEntry) << "main window shown";
    return QApplication::exec();
}
