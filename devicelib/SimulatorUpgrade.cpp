#include "Simulator.h"

#include "Deliverer.h"

#include <cstdio>

namespace devicelib {

namespace {

std::string versionText(std::uint32_t v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "v%u.%x", unsigned(v >> 8), unsigned(v & 0xFF));
    return buf;
}

// Bus time the device needs to switch into or out of its boot loader.
constexpr int kBootSwitchReports = 20;

} // namespace

bool Simulator::fits(const Mouse& m, const FirmwareHeader& h)
{
    if (h.kind != kMouseImage || h.cid != kCustomerId || h.mid != m.setup.model)
        return false;
    const Receiver* r = receiverOf(m);
    return m.cable || (r && r->plugged);
}

bool Simulator::fits(const Receiver& r, const FirmwareHeader& h) const
{
    return h.kind == kReceiverImage && h.cid == kCustomerId && r.plugged && r.setup.receiverClass == h.receiverClass &&
           r.setup.model == h.mid;
}

bool Simulator::findBootDevices(const unsigned char* image, int imageSize, int* count)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log("UsbUpgradeC_FindBootDevices()");
    FirmwareHeader h;
    if (!count)
        return false;
    *count = 0;
    if (!parseFirmwareHeader(image, imageSize, h))
        return false;
    for (const auto& m : m_mice)
        *count += (m->bootMode && fits(*m, h)) ? 1 : 0;
    for (const auto& r : m_receivers)
        *count += (r->bootMode && fits(*r, h)) ? 1 : 0;
    return true;
}

void Simulator::setLogs(const std::string& result)
{
    const Upgrade& u = m_upgrade;
    const char* target = u.mouse ? u.mouse->path : (u.receiver ? u.receiver->path : "");
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - u.started).count();
    const std::array<std::string, 8> texts = {
        "image: " + u.header.name + (u.header.kind == kMouseImage ? " (mouse)" : " (receiver)"),
        std::string("device: ") + target,
        "from: " + versionText(u.fromVersion),
        "to: " + versionText(u.header.version),
        "size: " + std::to_string(u.header.bodyLength) + " bytes",
        "reports: " + std::to_string(u.bodyReports),
        "result: " + result,
        "elapsed: " + std::to_string(ms) + " ms"};
    for (std::size_t i = 0; i < texts.size(); ++i)
        std::snprintf(m_logTexts[i].data(), m_logTexts[i].size(), "%s", texts[i].c_str());
}

bool Simulator::upgradeStart(const unsigned char* image, int imageSize, UpgradeEventCallback callback, int timeoutMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log("UsbUpgrade_Start(" + std::to_string(timeoutMs) + ")");
    FirmwareHeader h;
    if (m_upgrade.running || !callback || !parseFirmwareHeader(image, imageSize, h) || !firmwareBodyIntact(image, h))
        return false;
    Upgrade u;
    u.header = h;
    u.callback = callback;
    // A device already in its boot loader (an earlier update failed) comes first.
    for (auto& m : m_mice)
        if (!u.mouse && m->bootMode && fits(*m, h))
            u.mouse = m.get();
    for (auto& r : m_receivers)
        if (!u.mouse && !u.receiver && r->bootMode && fits(*r, h))
            u.receiver = r.get();
    for (auto& m : m_mice)
        if (!u.mouse && !u.receiver && fits(*m, h) &&
            (reachableMouse(Target{m->cable ? m.get() : nullptr, nullptr}) == m.get() ||
             (receiverOf(*m) && reachableMouse(Target{nullptr, receiverOf(*m)}) == m.get())))
            u.mouse = m.get();
    for (auto& r : m_receivers)
        if (!u.mouse && !u.receiver && fits(*r, h))
            u.receiver = r.get();
    if (!u.mouse && !u.receiver)
        return false;
    if (m_stallNextUpgrade) {
        // Accepted, then silence: nothing runs, so a later start is not refused.
        m_stallNextUpgrade = false;
        return true;
    }
    u.running = true;
    u.failAt = m_failNextUpgradeAt;
    m_failNextUpgradeAt = -1;
    u.unplugAt = m_unplugNextUpgradeAt;
    m_unplugNextUpgradeAt = -1;
    u.bodyReports = reportsFor(h.bodyLength);
    u.fromVersion = u.mouse ? u.mouse->version : u.receiver->version;
    u.started = Clock::now();
    m_upgrade = u;
    setLogs("running");
    const std::uint64_t job = ++m_upgradeJob;
    const bool inBoot = u.mouse ? u.mouse->bootMode : u.receiver->bootMode;
    const auto delay = std::chrono::microseconds(std::int64_t(inBoot ? 0 : kBootSwitchReports) * m_busUs);
    at(Clock::now() + delay, [this, job] {
        if (job != m_upgradeJob || !m_upgrade.running)
            return;
        bool& boot = m_upgrade.mouse ? m_upgrade.mouse->bootMode : m_upgrade.receiver->bootMode;
        if (!boot) {
            boot = true;
            bootModeChanged();
            noteUsbChange();
        }
        upgradeStep(0, job);
    });
    return true;
}

void Simulator::postUpgradeEvent(std::uint8_t what, std::uint8_t value)
{
    const UpgradeEventCallback callback = m_upgrade.callback;
    const std::array<std::uint8_t, 3> ev = {7, what, value};
    m_upgradeEvents->post(m_upgradeGeneration.load(), [callback, ev] { callback(ev.data()); });
}

void Simulator::upgradeStep(int percent, std::uint64_t job)
{
    if (job != m_upgradeJob || !m_upgrade.running)
        return;
    Upgrade& u = m_upgrade;
    // A device pulled out while it is written is not updated, whatever the
    // remaining steps would say; it comes back in its boot loader.
    const bool attached = u.mouse ? fits(*u.mouse, u.header) : fits(*u.receiver, u.header);
    if (!attached) {
        u.running = false;
        setLogs("failed at " + std::to_string(percent) + "%: device removed");
        postUpgradeEvent(2, 0);
        return;
    }
    if (percent == u.failAt) {
        // The device stays in its boot loader, where a repair can find it.
        u.running = false;
        setLogs("failed at " + std::to_string(percent) + "%");
        postUpgradeEvent(1, std::uint8_t(percent));
        postUpgradeEvent(2, 0);
        return;
    }
    postUpgradeEvent(1, std::uint8_t(percent));
    if (percent == u.unplugAt) {
        // Pulled out: the next step finds it gone and ends the update.
        if (u.mouse) {
            setPlugged(*u.mouse, false);
            if (Receiver* r = receiverOf(*u.mouse))
                setPlugged(*r, false);
        } else {
            setPlugged(*u.receiver, false);
        }
    }
    if (percent < 100 || percent == u.unplugAt) {
        const auto step = std::chrono::microseconds(std::int64_t(u.bodyReports) * m_busUs / 100);
        at(Clock::now() + step, [this, percent, job] { upgradeStep(percent + 1, job); });
        return;
    }
    const auto version = std::uint16_t(u.header.version & 0xFFFF);
    if (u.mouse) {
        u.mouse->version = version;
        u.mouse->bootMode = false;
    } else {
        u.receiver->version = version;
        u.receiver->bootMode = false;
    }
    u.running = false;
    bootModeChanged();
    noteUsbChange();
    setLogs("success");
    postUpgradeEvent(2, 1);
    replayParked();
}

const char* const* Simulator::upgradeLogs()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log("UsbUpgradeC_GetLogs()");
    return m_logPointers.data();
}

} // namespace devicelib
