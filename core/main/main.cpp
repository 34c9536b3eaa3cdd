#include "core/AppPaths.h"
#include "core/CrashDump.h"
#include "core/FileNameCodec.h"
#include "core/PostMsg.h"
#include "core/Product.h"
#include "core/StartUp.h"
#include "dialogs/ExeIsRun.h"
#include "shell/DialogMain.h"
#include "shell/common/ButtonStyle.h"

#include <QApplication>
#include <QLoggingCategory>
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
