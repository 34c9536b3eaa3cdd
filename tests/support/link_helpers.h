#pragma once

#include "core/DeviceAllInfo.h"
#include "core/FlashDataMap.h"

#include <QByteArray>

#include <functional>
#include <memory>

class Buttoninterface;
class FormSetting;
class Macro;
class Sensor;

namespace linktest {

// Runs fn on a thread of its own (as the device library's callbacks run) and
// processes GUI events until it returns, so blocking bus signals get through.
// False when fn did not return within timeoutMs.
bool runOffGuiThread(const std::function<void()>& fn, int timeoutMs = 10000);

// Waits until the simulator's bus and report thread are idle while the GUI
// thread keeps processing events. False on timeout.
bool waitSimIdle(int timeoutMs = 10000);

// A flash image as read by simtest::flash(); a zero image when it is not one.
FlashDataMap imageOf(const QByteArray& bytes);

// The device record the choice page would build for a simulated device.
DeviceAllInfo recordOf(const char* simName);

// Pages that receive the link's signals, with the worker the button page
// makes. Construct it after QApplication; it resets the link state first.
struct LinkPages {
    LinkPages();
    ~LinkPages();
    std::unique_ptr<Buttoninterface> buttons;
    std::unique_ptr<Macro> macro;
    std::unique_ptr<Sensor> sensor;
    std::unique_ptr<FormSetting> settings;

    // Chooses the device as the choice page does and waits until its whole
    // configuration has reached both pages. False on timeout.
    bool open(const char* simName = "Receiver1", int timeoutMs = 10000);
};

// The default scenario with factory flash, opened through fresh pages, the
// bus idle and the call log empty: the start of every device-link case.
// Null when the mouse could not be opened.
std::unique_ptr<LinkPages> openFreshDefaultMouse();

} // namespace linktest
