// Time of a two-stage repair in the repair dialog on the 1 ms transport: from
// the start button to the success text, against the bus's own minimum (image
// body in 56-byte reports, plus the boot-loader switch of a device not yet in it).
// With "page": the settings page's update of receiver and mouse instead, whose
// step timers take one step per second.
#include "core/DeviceScan.h"
#include "core/Worker.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Registry.h"
#include "devicelib/SimControl.h"
#include "settings/FormSetting.h"
#include "settings/UpDateRepair.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QToolButton>

#include <cstdio>
#include <cstring>

namespace {

// Receiver 1.3 -> 1.4, then mouse 1.5 -> 1.7, the mouse open on its cable.
int pageUpdate(QApplication& app)
{
    Worker worker;
    WorkerInstance = &worker;
    const QByteArray path = SimControl_DevicePath("Mouse1");
    DeviceAllInfo mouse;
    mouse.DevicePath = QString::fromLatin1(path);
    if (worker.FillDeviceInfo(mouse, path.constData()) != Worker::Matched) {
        std::fprintf(stderr, "the mouse was not identified\n");
        return 1;
    }
    StoreCurrentDeviceInfo(mouse);
    SetCurrentDevicePath(path.toStdString());
    worker.FindDevices(core::vendorId(), core::ProductIds::read().searchOrder());
    MainPageIndex = 1;

    FormSetting page;
    page.show();
    page.SetVer(0);
    page.on_Receive_2_clicked();
    bool done = false;
    bool success = false;
    QObject::connect(PostMsg::instance(), &PostMsg::SigProgress, &page, [&](int, int kind) {
        if (kind == 1 || kind == 2 || kind == 5) {
            done = true;
            success = kind == 2;
        }
    });
    QElapsedTimer timer;
    timer.start();
    UpdateRepairDialog->findChild<QToolButton*>(QStringLiteral("NewHong_2"))->click();
    while (!done && timer.elapsed() < 60000)
        app.processEvents(QEventLoop::WaitForMoreEvents, 5);
    const qint64 ended = timer.elapsed();
    // The update is over for the page once the last stage is closed.
    while (UpdateCheckRunning && timer.elapsed() < 60000)
        app.processEvents(QEventLoop::WaitForMoreEvents, 5);
    const qint64 closed = timer.elapsed();
    WorkerInstance = nullptr;
    std::printf("settings-page update: %s, outcome shown after %lld ms, stage closed after %lld ms"
                " (receiver %s, mouse %s; target <= %d ms)\n",
                success ? "succeeded" : "FAILED", static_cast<long long>(ended), static_cast<long long>(closed),
                SimControl_FirmwareVersion("Receiver1") == 0x0104 ? "v1.4" : "not written",
                SimControl_FirmwareVersion("Mouse1") == 0x0107 ? "v1.7" : "not written", 772 + 10 * 1000 + 1000);
    return success ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    qputenv("TALVO_SIM_STATE", (home.path() + QStringLiteral("/sim.ini")).toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegisterBusTypes();
    SimControl_LoadScenarioText("[Mouse1]\nModel=1\nCable=true\nVersion=0x0105\n"
                                "[Receiver1]\nClass=4\nMouse=Mouse1\nVersion=0x0103\n", nullptr);
    SimControl_ForgetState();
    SimControl_SetBusMicroseconds(1000);
    if (argc > 1 && std::strcmp(argv[1], "page") == 0)
        return pageUpdate(app);
    // A receiver update failed earlier: the receiver waits in its boot loader.
    SimControl_SetBootMode("Receiver1", true);
    Registry::SetValue(Registry::DriveTestKey(), QStringLiteral("UpdateFailInfo"), QStringLiteral("211,4,33,1"));
    DeviceAllInfo mouse;
    mouse.DevicePath = QString::fromLatin1(SimControl_DevicePath("Mouse1"));
    mouse.Pid = core::ProductIds::read().usb.value(0);
    mouse.Mid = 1;
    mouse.SetDeviceKind(2);
    TileDeviceList = {mouse};
    FoundDeviceList = TileDeviceList;

    UpDateRepair repair;
    repair.show();
    if (!repair.CheckUpdateDevices()) {
        std::fprintf(stderr, "the repair check refused\n");
        return 1;
    }
    bool done = false;
    bool success = false;
    QObject::connect(PostMsg::instance(), &PostMsg::SigAutoRepair, &repair, [&](int index) {
        done = true;
        success = index == 0;
    });
    QElapsedTimer timer;
    timer.start();
    repair.findChild<QToolButton*>(QStringLiteral("NewHong_2"))->click();
    while (!done && timer.elapsed() < 60000)
        app.processEvents(QEventLoop::WaitForMoreEvents, 5);
    const qint64 ms = timer.elapsed();
    // Receiver body from its boot loader, then the mouse with its switch.
    const int minimum = 313 - 20 + 459;
    std::printf("two-stage repair: %s in %lld ms (bus minimum %d ms, target <= %d ms)\n",
                success ? "succeeded" : "FAILED", static_cast<long long>(ms), minimum, int(1.2 * 772 + 200));
    return success ? 0 : 1;
}
