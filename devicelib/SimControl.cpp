#include "SimControl.h"

#include "Scenario.h"
#include "Simulator.h"

#include <mutex>
#include <string>

using devicelib::Simulator;

namespace {

Simulator& sim()
{
    return Simulator::instance();
}

// The message behind the last failed load, kept for the caller's error pointer.
bool fail(const std::string& message, const char** error)
{
    static std::mutex m;
    static std::string text;
    std::lock_guard<std::mutex> lock(m);
    text = message;
    if (error)
        *error = text.c_str();
    return false;
}

bool loadText(const std::string& text, const char** error)
{
    devicelib::Scenario scenario;
    std::string message;
    if (!devicelib::parseScenario(text, scenario, message))
        return fail(message, error);
    return sim().loadScenario(scenario);
}

} // namespace

extern "C" {

bool SimControl_LoadScenario(const char* path, const char** error)
{
    if (!path || !*path)
        return sim().loadScenario(devicelib::defaultScenario());
    devicelib::Scenario scenario;
    std::string message;
    if (!devicelib::loadScenarioFile(path, scenario, message))
        return fail(message, error);
    return sim().loadScenario(scenario);
}

bool SimControl_LoadScenarioText(const char* iniText, const char** error)
{
    return loadText(iniText ? iniText : "", error);
}

const char* SimControl_ScenarioError(void)
{
    const std::string& error = sim().scenarioError();
    return error.empty() ? nullptr : error.c_str();
}

int SimControl_ScenarioFault(int* line, const char** file)
{
    const devicelib::ScenarioFault& fault = sim().scenarioFault();
    if (line)
        *line = fault.line;
    if (file)
        *file = fault.file.c_str();
    return fault.kind;
}

void SimControl_ForgetState(void)
{
    sim().forgetState();
}
bool SimControl_SaveState(void)
{
    return sim().saveState();
}
void SimControl_SetBusMicroseconds(int us)
{
    sim().setBusMicroseconds(us);
}
const char* SimControl_DevicePath(const char* name)
{
    return sim().devicePath(name);
}
bool SimControl_Plug(const char* name, bool plugged)
{
    return sim().plug(name, plugged);
}
bool SimControl_SetAwake(const char* mouse, bool awake)
{
    return sim().setAwake(mouse, awake);
}
bool SimControl_SetBattery(const char* mouse, int percent, bool charging)
{
    return sim().setBattery(mouse, percent, charging);
}
bool SimControl_PressDpiButton(const char* mouse)
{
    return sim().pressDpiButton(mouse);
}
bool SimControl_SwitchProfile(const char* mouse, int index)
{
    return sim().switchProfile(mouse, index);
}
bool SimControl_SetPairable(const char* mouse, bool pairable)
{
    return sim().setPairable(mouse, pairable);
}
bool SimControl_SetLongRange(const char* receiver, bool on)
{
    return sim().receiverLongRange(receiver, on);
}
bool SimControl_PressReceiverLightButton(const char* receiver)
{
    return sim().pressReceiverLight(receiver);
}
void SimControl_FailNextUpgrade(int percent)
{
    sim().failNextUpgrade(percent);
}
void SimControl_StallNextUpgrade(void)
{
    sim().stallNextUpgrade();
}
void SimControl_UnplugDuringNextUpgrade(int percent)
{
    sim().unplugDuringNextUpgrade(percent);
}
bool SimControl_SetBootMode(const char* name, bool on)
{
    return sim().setBootMode(name, on);
}
bool SimControl_AnswerAfter(const char* name, int calls)
{
    return sim().answerAfter(name, calls);
}
bool SimControl_SendReport(int type, int command, const unsigned char* data, int dataLen)
{
    return sim().sendReport(type, command, data, dataLen);
}
bool SimControl_ReadFlash(const char* mouse, int profile, unsigned char* image, int size)
{
    return sim().readFlash(mouse, profile, image, size);
}
int SimControl_ActiveProfile(const char* mouse)
{
    return sim().activeProfile(mouse);
}
int SimControl_FirmwareVersion(const char* name)
{
    return sim().firmwareVersion(name);
}
bool SimControl_IsPairedWith(const char* mouse, const char* receiver)
{
    return sim().isPairedWith(mouse, receiver);
}
bool SimControl_InBootMode(const char* name)
{
    return sim().inBootMode(name);
}
unsigned long long SimControl_BusReports(void)
{
    return sim().busReports();
}
unsigned long long SimControl_BusReportsDelivered(void)
{
    return sim().busReportsDelivered();
}
int SimControl_CallLog(char* out, int size)
{
    return sim().callLog(out, size);
}
void SimControl_ClearCallLog(void)
{
    sim().clearCallLog();
}
bool SimControl_WaitIdle(int timeoutMs)
{
    return sim().waitIdle(timeoutMs);
}

} // extern "C"
