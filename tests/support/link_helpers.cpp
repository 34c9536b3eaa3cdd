#include "link_helpers.h"

#include "buttons/Buttoninterface.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Worker.h"
#include "devicelib/HIDUsb.h"
#include "devicelib/SimControl.h"
#include "macro/Macro.h"
#include "sensor/Sensor.h"
#include "settings/FormSetting.h"
#include "support/sim_helpers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <atomic>
#include <cstring>
#include <thread>

namespace linktest {

bool runOffGuiThread(const std::function<void()>& fn, int timeoutMs)
{
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread worker([fn, done] {
        fn();
        *done = true;
    });
    QElapsedTimer clock;
    clock.start();
    while (!*done && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (!*done) {
        worker.detach();
        return false;
    }
    worker.join();
    return true;
}

bool waitSimIdle(int timeoutMs)
{
    bool idle = false;
    const bool returned =
        runOffGuiThread([&idle, timeoutMs] { idle = SimControl_WaitIdle(timeoutMs); }, timeoutMs + 1000);
    return returned && idle;
}

FlashDataMap imageOf(const QByteArray& bytes)
{
    FlashDataMap image = EmptyFlashDataMap();
    if (bytes.size() == int(sizeof image))
        std::memcpy(&image, bytes.constData(), sizeof image);
    return image;
}

DeviceAllInfo recordOf(const char* simName)
{
    DeviceAllInfo saved = CurrentDeviceInfoCopy();
    StoreCurrentDeviceInfo(DeviceAllInfo());
    DeviceAllInfo rec;
    // Right after a scenario is loaded the devices may still be coming up.
    QElapsedTimer clock;
    clock.start();
    do {
        rec = DeviceAllInfo();
        rec.DevicePath = QString::fromLatin1(SimControl_DevicePath(simName));
        if (WorkerInstance && WorkerInstance->FillDeviceInfo(rec, SimControl_DevicePath(simName)) == Worker::Matched)
            break;
        QTest::qWait(10);
    } while (clock.elapsed() < 3000);
    StoreCurrentDeviceInfo(saved);
    return rec;
}

LinkPages::LinkPages()
{
    RegisterBusTypes();
    core::resetDeviceLinkState();
    StoreCurrentFlashData(EmptyFlashDataMap());
    StoreCurrentDeviceInfo(DeviceAllInfo());
    buttons = std::make_unique<Buttoninterface>();
    macro = std::make_unique<Macro>();
    sensor = std::make_unique<Sensor>();
    settings = std::make_unique<FormSetting>();
}

LinkPages::~LinkPages()
{
    UsbServer_Exit();
    buttons.reset();
    macro.reset();
    sensor.reset();
    settings.reset();
}

bool LinkPages::open(const char* simName, int timeoutMs)
{
    const DeviceAllInfo rec = recordOf(simName);
    PostMsg::instance()->EmitSelectMouseInfo(rec);
    WorkerInstance->StartChosenDevice();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        if (core::imageFromOpenDevice() && ButtonPageFilled && SensorPageFilled && WorkerBusy == 0
            && !WorkerInstance->isRunning())
            return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return false;
}

std::unique_ptr<LinkPages> openFreshDefaultMouse()
{
    if (!simtest::loadScenario())
        return nullptr;
    auto pages = std::make_unique<LinkPages>();
    if (!pages->open() || !waitSimIdle())
        return nullptr;
    SimControl_ClearCallLog();
    return pages;
}

} // namespace linktest
