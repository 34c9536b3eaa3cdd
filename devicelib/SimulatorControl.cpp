#include "Simulator.h"

#include <algorithm>
#include <cstring>

namespace devicelib {

void Simulator::setPlugged(Mouse& m, bool plugged)
{
    if (m.cable == plugged)
        return;
    m.cable = plugged;
    if (plugged)
        m.awake = true; // the cable powers the mouse up
    noteUsbChange();
    replayParked();
}

void Simulator::setPlugged(Receiver& r, bool plugged)
{
    if (r.plugged == plugged)
        return;
    r.plugged = plugged;
    noteUsbChange();
    replayParked();
}

void Simulator::setAwakeState(Mouse& m, bool awake)
{
    if (m.awake == awake)
        return;
    m.awake = awake;
    replayParked();
}

void Simulator::changeBattery(Mouse& m, int percent, bool charging)
{
    percent = std::clamp(percent, 0, 100);
    const bool report = percent < m.battery || charging != m.charging;
    m.battery = percent;
    m.charging = charging;
    if (report)
        notifyMouse(m, 1u << 6);
}

void Simulator::dpiPress(Mouse& m)
{
    Profile& p = m.profiles[std::size_t(m.activeProfile)];
    const int count = std::clamp<int>(p[kOffDpiCount], 1, 8);
    p[kOffDpiCurrent] = std::uint8_t((p[kOffDpiCurrent] + 1) % count);
    markDirty();
    notifyMouse(m, 1u << 0);
}

void Simulator::profileSwitch(Mouse& m, int index)
{
    m.activeProfile = index;
    if (sessionReaches(m))
        m_session.shadowValid = false;
    markDirty();
    notifyMouse(m, 1u << 2);
}

void Simulator::applyEvent(const EventSpec& e)
{
    log("event " + e.action + " " + e.target);
    Mouse* m = mouseNamed(e.target.c_str());
    Receiver* r = receiverNamed(e.target.c_str());
    if (e.action == "plug" || e.action == "unplug") {
        if (m)
            setPlugged(*m, e.action == "plug");
        if (r)
            setPlugged(*r, e.action == "plug");
        return;
    }
    if (!m)
        return;
    if (e.action == "wake" || e.action == "sleep")
        setAwakeState(*m, e.action == "wake");
    else if (e.action == "battery")
        changeBattery(*m, e.argument, m->charging);
    else if (e.action == "charging")
        changeBattery(*m, m->battery, e.argument != 0);
    else if (e.action == "dpi")
        dpiPress(*m);
    else if (e.action == "profile" && e.argument < kProfileCount)
        profileSwitch(*m, e.argument);
    else if (e.action == "pairable")
        m->pairable = true;
}

const char* Simulator::devicePath(const char* name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (const Mouse* m = mouseNamed(name))
        return m->path;
    if (const Receiver* r = receiverNamed(name))
        return r->path;
    return "";
}

bool Simulator::plug(const char* name, bool plugged)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log(std::string("SimControl_Plug(") + (name ? name : "") + ")");
    if (Mouse* m = mouseNamed(name))
        return setPlugged(*m, plugged), true;
    if (Receiver* r = receiverNamed(name))
        return setPlugged(*r, plugged), true;
    return false;
}

bool Simulator::setAwake(const char* name, bool awake)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Mouse* m = mouseNamed(name);
    if (m)
        setAwakeState(*m, awake);
    return m != nullptr;
}

bool Simulator::setBattery(const char* name, int percent, bool charging)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Mouse* m = mouseNamed(name);
    if (m)
        changeBattery(*m, percent, charging);
    return m != nullptr;
}

bool Simulator::pressDpiButton(const char* name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Mouse* m = mouseNamed(name);
    if (m)
        dpiPress(*m);
    return m != nullptr;
}

bool Simulator::switchProfile(const char* name, int index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Mouse* m = mouseNamed(name);
    if (!m || index < 0 || index >= kProfileCount)
        return false;
    profileSwitch(*m, index);
    return true;
}

bool Simulator::setPairable(const char* name, bool pairable)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Mouse* m = mouseNamed(name);
    if (m)
        m->pairable = pairable;
    return m != nullptr;
}

bool Simulator::receiverLongRange(const char* name, bool on)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Receiver* r = receiverNamed(name);
    if (!r)
        return false;
    const bool switchedOff = r->longRange && !on;
    r->longRange = on;
    markDirty();
    if (switchedOff && sessionOn(*r))
        onBus(1, [this, r] {
            if (sessionOn(*r))
                deliver(23, 0, std::vector<std::uint8_t>(10, 0));
        });
    return true;
}

bool Simulator::pressReceiverLight(const char* name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Receiver* r = receiverNamed(name);
    if (!r || r->setup.receiverClass != 4 || !r->plugged)
        return false;
    r->light[0] = std::uint8_t(r->light[0] % 3 + 1);
    markDirty();
    if (sessionOn(*r))
        onBus(1, [this, r] {
            if (sessionOn(*r))
                deliver(21, 0, std::vector<std::uint8_t>(r->light.begin(), r->light.end()));
        });
    return true;
}

void Simulator::failNextUpgrade(int percent)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_failNextUpgradeAt = std::clamp(percent, 0, 100);
}

void Simulator::stallNextUpgrade()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stallNextUpgrade = true;
}

void Simulator::unplugDuringNextUpgrade(int percent)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_unplugNextUpgradeAt = std::clamp(percent, 0, 100);
}

bool Simulator::setBootMode(const char* name, bool on)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    bool* boot = nullptr;
    if (Mouse* m = mouseNamed(name))
        boot = &m->bootMode;
    else if (Receiver* r = receiverNamed(name))
        boot = &r->bootMode;
    if (!boot)
        return false;
    if (*boot != on) {
        *boot = on;
        bootModeChanged();
        noteUsbChange();
    }
    return true;
}

bool Simulator::answerAfter(const char* name, int calls)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    calls = std::max(calls, 0);
    if (Mouse* m = mouseNamed(name))
        return m->silentInfoCalls = calls, true;
    if (Receiver* r = receiverNamed(name))
        return r->silentInfoCalls = calls, true;
    return false;
}

bool Simulator::readFlash(const char* name, int profile, unsigned char* image, int size)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Mouse* m = mouseNamed(name);
    if (!m || !image || size < int(kImageSize) || profile < -1 || profile >= kProfileCount)
        return false;
    const Profile& p = m->profiles[std::size_t(profile < 0 ? m->activeProfile : profile)];
    std::memcpy(image, p.data(), kStoredSize);
    std::memset(image + kStoredSize, 0, kImageSize - kStoredSize);
    return true;
}

int Simulator::activeProfile(const char* name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Mouse* m = mouseNamed(name);
    return m ? m->activeProfile : -1;
}

int Simulator::firmwareVersion(const char* name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (const Mouse* m = mouseNamed(name))
        return m->version;
    if (const Receiver* r = receiverNamed(name))
        return r->version;
    return -1;
}

bool Simulator::isPairedWith(const char* mouse, const char* receiver)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Mouse* m = mouseNamed(mouse);
    const Receiver* r = receiverNamed(receiver);
    return m && r && m->hasReceiver && m->receiverAddress == r->address;
}

bool Simulator::inBootMode(const char* name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (const Mouse* m = mouseNamed(name))
        return m->bootMode;
    if (const Receiver* r = receiverNamed(name))
        return r->bootMode;
    return false;
}

} // namespace devicelib
