#include "core/AppPaths.h"
#include "core/CrashDump.h"
#include "core/PostMsg.h"
#include "core/Product.h"
#include "core/StartUp.h"
#include "dialogs/ExeIsRun.h"
#include "shell/DialogMain.h"

#include <QApplication>
#include <QLoggingCategory>

namespace {
Q_LOGGING_CATEGORY(lcEntry, "app.core.main")
}

namespace {

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
    // First of all, so that a crash anywhere in start-up leaves its dump too.
    CrashDump::Install();
    PrepareUserFolders();
    DeleteOldFiles(LogDir());
    DeleteOldFiles(ExceptionDir());

    QApplication app(argc, argv);
    QApplication::setApplicationName(QLatin1String(ProductName));
    RegisterBusTypes();
    ScheduleAutoClose();

    // Held until main returns; a copy that dies leaves a lock that names a
    // dead process, which the next start takes over.
    SingleInstance instance;
    if (!instance.TryAcquire())
        return showAlreadyRunning();

    PostMsg::instance();
    auto* window = new DialogMain;  // lives until the process ends
    window->show();
    qCInfo(lcEntry) << "main window shown";
    return QApplication::exec();
}
