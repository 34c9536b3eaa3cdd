#include "Simulator.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace devicelib {

namespace {

std::uint16_t parseId(const char* text)
{
    if (!text)
        return 0;
    while (*text == ' ' || *text == '\t')
        ++text;
    char* end = nullptr;
    const unsigned long v = std::strtoul(text, &end, 16);
    while (end && (*end == ' ' || *end == '\t'))
        ++end;
    return (end && *end == '\0' && v <= 0xFFFF) ? std::uint16_t(v) : 0;
}

std::uint16_t cablePid(int model)
{
    return std::uint16_t(0x4001 + 0x100 * model);
}

std::uint16_t receiverPid(int model, int receiverClass)
{
    return std::uint16_t(0x4001 + 0x100 * model + 0x10 * receiverClass);
}

std::string pathFor(std::uint16_t pid, const std::string& name)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "sim#vid_%04x&pid_%04x#", kVendorId, pid);
    return buf + name;
}

// A stable, non-zero address per receiver name, so a re-run finds the same receiver.
std::array<std::uint8_t, 3> addressFromName(const std::string& name)
{
    std::uint32_t h = 2166136261u;
    for (unsigned char c : name)
        h = (h ^ c) * 16777619u;
    std::array<std::uint8_t, 3> a = {std::uint8_t(h), std::uint8_t(h >> 8), std::uint8_t(h >> 16)};
    if ((a[0] | a[1] | a[2]) == 0)
        a[0] = 1;
    return a;
}

} // namespace

// ---- Devices ------------------------------------------------------------------

void Simulator::resetDevice(Mouse& m)
{
    m.cable = m.setup.cable;
    m.awake = m.setup.awake || m.setup.cable;
    m.battery = m.setup.battery;
    m.charging = m.setup.charging;
    m.version = m.setup.version;
    m.pairable = m.setup.pairable;
    m.bootMode = false;
    m.hasReceiver = false;
    m.receiverAddress = {};
    for (auto& p : m.profiles)
        p = factoryProfile(m.setup.model);
    m.activeProfile = 0;
    m.silentInfoCalls = 0;
    m.path = intern(pathFor(cablePid(m.setup.model), m.setup.name));
}

void Simulator::resetDevice(Receiver& r)
{
    r.plugged = r.setup.plugged;
    r.version = r.setup.version;
    r.address = r.setup.hasAddress ? r.setup.address : addressFromName(r.setup.name);
    r.light = {};
    r.light[0] = r.setup.receiverClass == 4 ? 1 : 0;
    r.longRange = false;
    r.bootMode = false;
    r.silentInfoCalls = 0;
    r.pairStatus = 0;
    r.pairingMouse = nullptr;
    ++r.pairingToken;
    r.path = intern(pathFor(receiverPid(r.setup.model, r.setup.receiverClass), r.setup.name));
}

void Simulator::buildDevices(const Scenario& scenario)
{
    m_scenario = scenario;
    ++m_scenarioGeneration;
    ++m_sessionGeneration;
    m_session = Session{};
    // An update in progress loses its device with the old devices: its caller
    // still hears the end, as when the device is pulled out.
    if (m_upgrade.running) {
        setLogs("failed: devices replaced");
        postUpgradeEvent(2, 0);
    }
    m_upgrade = Upgrade{};
    // An armed failure or stall belongs to the devices it was armed for.
    m_failNextUpgradeAt = -1;
    m_stallNextUpgrade = false;
    m_unplugNextUpgradeAt = -1;
    // Pairings still polling on a retired receiver must not reach the new devices.
    for (auto& r : m_receivers)
        ++r->pairingToken;
    std::move(m_mice.begin(), m_mice.end(), std::back_inserter(m_retiredMice));
    std::move(m_receivers.begin(), m_receivers.end(), std::back_inserter(m_retiredReceivers));
    m_mice.clear();
    m_receivers.clear();
    for (const auto& setup : scenario.mice) {
        auto m = std::make_unique<Mouse>();
        m->setup = setup;
        resetDevice(*m);
        m_mice.push_back(std::move(m));
    }
    for (const auto& setup : scenario.receivers) {
        auto r = std::make_unique<Receiver>();
        r->setup = setup;
        resetDevice(*r);
        if (Mouse* m = mouseNamed(setup.mouse.c_str())) {
            m->hasReceiver = true;
            m->receiverAddress = r->address;
        }
        m_receivers.push_back(std::move(r));
    }
    loadStateFile();
    const auto loaded = Clock::now();
    const std::uint64_t generation = m_scenarioGeneration;
    for (const auto& e : scenario.events)
        at(loaded + std::chrono::milliseconds(e.atMs), [this, e, generation] {
            if (generation == m_scenarioGeneration)
                applyEvent(e);
        });
    noteUsbChange();
}

bool Simulator::loadScenario(const Scenario& scenario)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log("SimControl_LoadScenario()");
    if (m_dirty)
        writeStateFile();
    buildDevices(scenario);
    if (scenario.busMicroseconds >= 0 && !std::getenv("TALVO_SIM_BUS_US"))
        m_busUs = scenario.busMicroseconds;
    return true;
}

Mouse* Simulator::mouseNamed(const char* name)
{
    for (auto& m : m_mice)
        if (name && m->setup.name == name)
            return m.get();
    return nullptr;
}

Receiver* Simulator::receiverNamed(const char* name)
{
    for (auto& r : m_receivers)
        if (name && r->setup.name == name)
            return r.get();
    return nullptr;
}

Receiver* Simulator::receiverOf(const Mouse& mouse)
{
    if (!mouse.hasReceiver)
        return nullptr;
    for (auto& r : m_receivers)
        if (r->address == mouse.receiverAddress)
            return r.get();
    return nullptr;
}

Mouse* Simulator::mouseOf(const Receiver& receiver)
{
    for (auto& m : m_mice)
        if (m->hasReceiver && m->receiverAddress == receiver.address)
            return m.get();
    return nullptr;
}

void Simulator::bindToReceiver(Mouse& mouse, const std::array<std::uint8_t, 3>& address)
{
    // One mouse per receiver and one receiver per mouse: the receiver forgets the
    // mouse it had, or it would keep answering for that one.
    for (auto& m : m_mice)
        if (m.get() != &mouse && m->hasReceiver && m->receiverAddress == address)
            m->hasReceiver = false;
    mouse.hasReceiver = true;
    mouse.receiverAddress = address;
}

Target Simulator::resolve(const char* path)
{
    Target t;
    if (!path)
        return t;
    for (auto& m : m_mice)
        if (m->cable && std::strcmp(m->path, path) == 0)
            t.cableMouse = m.get();
    for (auto& r : m_receivers)
        if (r->plugged && std::strcmp(r->path, path) == 0)
            t.receiver = r.get();
    return t;
}

Mouse* Simulator::reachableMouse(const Target& t)
{
    if (t.cableMouse)
        return t.cableMouse->bootMode ? nullptr : t.cableMouse;
    if (!t.receiver || t.receiver->bootMode)
        return nullptr;
    Mouse* m = mouseOf(*t.receiver);
    return (m && m->awake && !m->bootMode) ? m : nullptr;
}

bool Simulator::sessionReaches(const Mouse& mouse)
{
    return m_session.open && reachableMouse(resolve(m_session.path.c_str())) == &mouse;
}

bool Simulator::sessionOn(const Receiver& receiver)
{
    return m_session.open && resolve(m_session.path.c_str()).receiver == &receiver;
}

// ---- Finding and asking ---------------------------------------------------------

const char** Simulator::findDevices(const char* vid, const char* pid, int capacity, int* count)
{
    thread_local std::vector<const char*> found;
    found.clear();
    std::lock_guard<std::mutex> lock(m_mutex);
    log(std::string("UsbFinderC_FindHidDevices(") + (vid ? vid : "") + ", " + (pid ? pid : "") + ")");
    if (!count)
        return nullptr;
    const std::uint16_t wantVid = parseId(vid), wantPid = parseId(pid);
    if (wantVid == kVendorId) {
        for (auto& m : m_mice)
            if (m->cable && !m->bootMode && cablePid(m->setup.model) == wantPid)
                found.push_back(m->path);
        for (auto& r : m_receivers)
            if (r->plugged && !r->bootMode && receiverPid(r->setup.model, r->setup.receiverClass) == wantPid)
                found.push_back(r->path);
    }
    if (int(found.size()) > capacity)
        found.resize(std::size_t(std::max(capacity, 0)));
    *count = int(found.size());
    return found.data();
}

HidDeviceIdentity Simulator::deviceInfo(const char* path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log(std::string("UsbFinderC_GetDeviceInfo(") + (path ? path : "") + ")");
    const Target t = resolve(path);
    if (t.cableMouse) {
        Mouse& m = *t.cableMouse;
        if (m.silentInfoCalls > 0) {
            --m.silentInfoCalls;
            return HidDeviceIdentity{0, 0, 0};
        }
        if (m.bootMode)
            return HidDeviceIdentity{0, 0, 0};
        return HidDeviceIdentity{kCustomerId, std::uint8_t(m.setup.model), m.setup.cableKind};
    }
    if (t.receiver) {
        Receiver& r = *t.receiver;
        if (r.silentInfoCalls > 0) {
            --r.silentInfoCalls;
            return HidDeviceIdentity{0, 0, 0};
        }
        if (r.bootMode)
            return HidDeviceIdentity{0, 0, 0};
        // A receiver without a mouse knows its customer but no model.
        const Mouse* m = mouseOf(r);
        return HidDeviceIdentity{kCustomerId, std::uint8_t(m ? m->setup.model : 0), receiverKind(r.setup.receiverClass)};
    }
    return HidDeviceIdentity{0, 0, 0};
}

bool Simulator::usbAttribute(const char* path, unsigned char* buf)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log(std::string("UsbFinderC_GetUsbDeviceAttribute(") + (path ? path : "") + ")");
    const Target t = resolve(path);
    if (!t || !buf)
        return false;
    std::uint16_t pid = 0, version = 0;
    if (t.cableMouse) {
        pid = cablePid(t.cableMouse->setup.model);
        version = t.cableMouse->version;
    } else {
        pid = receiverPid(t.receiver->setup.model, t.receiver->setup.receiverClass);
        version = t.receiver->version;
    }
    std::memset(buf, 0, 12);
    buf[0] = std::uint8_t(kVendorId & 0xFF);
    buf[1] = std::uint8_t(kVendorId >> 8);
    buf[2] = std::uint8_t(pid & 0xFF);
    buf[3] = std::uint8_t(pid >> 8);
    buf[8] = std::uint8_t(version & 0xFF);
    buf[9] = std::uint8_t(version >> 8);
    return true;
}

bool Simulator::online(const char* path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log(std::string("UsbFinderC_GetDeviceOnLine(") + (path ? path : "") + ")");
    return reachableMouse(resolve(path)) != nullptr;
}

bool Simulator::onlineWithAddress(const char* path, unsigned char* buf)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log(std::string("UsbFinderC_GetDeviceOnLineWithUsbAddress(") + (path ? path : "") + ")");
    const Target t = resolve(path);
    const bool on = reachableMouse(t) != nullptr;
    if (!buf)
        return on;
    std::memset(buf, 0, 10);
    buf[6] = on ? 1 : 0;
    const std::array<std::uint8_t, 3>* address = nullptr;
    if (t.receiver)
        address = &t.receiver->address;
    else if (t.cableMouse && t.cableMouse->hasReceiver)
        address = &t.cableMouse->receiverAddress;
    if (address)
        std::memcpy(buf + 7, address->data(), 3);
    return on;
}

int Simulator::version(const char* path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log(std::string("UsbFinderC_GetVersion(") + (path ? path : "") + ")");
    const Mouse* m = reachableMouse(resolve(path));
    return m ? m->version : 0;
}

bool Simulator::slaveVersion(const char* path, int* version)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log(std::string("UsbFinderC_GetSlaveVersion(") + (path ? path : "") + ")");
    const Target t = resolve(path);
    if (!t.receiver || !version)
        return false;
    *version = t.receiver->version;
    return true;
}

bool Simulator::receiverLight(const char* path, void* rgb, bool set)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log(std::string(set ? "UsbFinderC_Set4KDongleRGB(" : "UsbFinderC_Get4KDongleRGBValue(") + (path ? path : "") + ")");
    const Target t = resolve(path);
    // Only the 4000 Hz receiver carries a light.
    if (!t.receiver || t.receiver->setup.receiverClass != 4 || !rgb)
        return false;
    auto* bytes = static_cast<std::uint8_t*>(rgb);
    if (!set) {
        std::memcpy(bytes, t.receiver->light.data(), t.receiver->light.size());
        return true;
    }
    if (bytes[0] > 3)
        return false;
    std::memcpy(t.receiver->light.data(), bytes, t.receiver->light.size());
    markDirty();
    return true;
}

bool Simulator::getLongRange(const char* path, unsigned char* mode)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log(std::string("UsbFinderC_GetLongRangeMode(") + (path ? path : "") + ")");
    const Target t = resolve(path);
    if (!t.receiver || !mode)
        return false;
    *mode = t.receiver->longRange ? 1 : 0;
    return true;
}

bool Simulator::setLongRange(const char* path, bool on)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log(std::string("UsbFinderC_SetLongRangeMode(") + (path ? path : "") + ", " + (on ? "1" : "0") + ")");
    const Target t = resolve(path);
    if (!t.receiver)
        return false;
    t.receiver->longRange = on;
    markDirty();
    return true;
}

bool Simulator::setDongleIdToMouse(const char* path, const unsigned char* record)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log(std::string("UsbFinderC_SetDongleIDToMouse(") + (path ? path : "") + ")");
    const Target t = resolve(path);
    if (!t.cableMouse || !record || (record[0] | record[1] | record[2]) == 0)
        return false;
    // The record names the receiver most significant byte first; the link buffer
    // and the receiver's own address hold it the other way round.
    bindToReceiver(*t.cableMouse, {record[2], record[1], record[0]});
    markDirty();
    noteUsbChange();
    replayParked();
    return true;
}

// ---- Pairing ---------------------------------------------------------------------

void Simulator::startPairing(Receiver& r, std::uint8_t cid)
{
    const std::uint64_t token = ++r.pairingToken;
    // Asked again while a mouse it had found was still being bound, the receiver starts over
    // with that mouse still in pairing mode: the user's press of its button is not used up.
    if (r.pairingMouse) {
        r.pairingMouse->pairable = true;
        r.pairingMouse = nullptr;
    }
    r.pairStatus = 1;
    deliver(6, 0, {1});
    pollPairing(&r, token, Clock::now() + std::chrono::milliseconds(m_scenario.pairTimeoutMs), cid);
}

void Simulator::pollPairing(Receiver* r, std::uint64_t token, Clock::time_point deadline, std::uint8_t cid)
{
    if (token != r->pairingToken)
        return;
    for (auto& m : m_mice) {
        if (m->pairable && m->awake && !m->bootMode && cid == kCustomerId && m->setup.model == r->setup.model) {
            m->pairable = false;
            Mouse* mouse = m.get();
            r->pairingMouse = mouse;
            at(Clock::now() + std::chrono::milliseconds(m_scenario.pairDelayMs),
               [this, r, mouse, token] { finishPairing(r, mouse, token); });
            return;
        }
    }
    if (Clock::now() >= deadline || !r->plugged) {
        r->pairStatus = 2;
        if (sessionOn(*r))
            onBus(1, [this, r] {
                if (sessionOn(*r))
                    deliver(6, 0, {2});
            });
        return;
    }
    at(std::min(deadline, Clock::now() + std::chrono::milliseconds(50)),
       [this, r, token, deadline, cid] { pollPairing(r, token, deadline, cid); });
}

void Simulator::finishPairing(Receiver* r, Mouse* m, std::uint64_t token)
{
    if (token != r->pairingToken)
        return;
    r->pairingMouse = nullptr;
    const bool ok = r->plugged;
    if (ok) {
        bindToReceiver(*m, r->address);
        markDirty();
        noteUsbChange();
    }
    r->pairStatus = ok ? 3 : 2;
    const std::uint8_t status = std::uint8_t(r->pairStatus);
    if (sessionOn(*r))
        onBus(1, [this, r, status] {
            if (sessionOn(*r))
                deliver(6, 0, {status});
        });
    replayParked();
}

} // namespace devicelib
