// Time of a two-stage repair in the repair dialog on the 1 ms transport: from
// the start button to the success text, against the bus's own minimum (image
// body in 56-byte reports, plus the boot-loader switch of a device not yet in it).
#include "core/DeviceScan.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Registry.h"
#include "devicelib/SimControl.h"
#include "settings/UpDateRepair.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QToolButton>

#include <cstdio>

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
