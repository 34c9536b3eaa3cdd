#include "Simulator.h"

#include "Deliverer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace devicelib {

namespace {

constexpr std::size_t kCallLogLimit = 20000;
constexpr std::size_t kParkedLimit = 16;
constexpr int kSaveDelayMs = 300;

int envInt(const char* name, int fallback, int lo, int hi)
{
    const char* v = std::getenv(name);
    if (!v || !*v)
        return fallback;
    char* end = nullptr;
    const long n = std::strtol(v, &end, 10);
    if (*end != '\0' || n < lo || n > hi) {
        std::fprintf(stderr, "HIDUsb: ignoring %s=%s (expected %d to %d)\n", name, v, lo, hi);
        return fallback;
    }
    return int(n);
}

std::string defaultStatePath()
{
    if (const char* p = std::getenv("TALVO_SIM_STATE"); p && *p)
        return p;
    std::string base;
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x)
        base = x;
    else if (const char* h = std::getenv("HOME"); h && *h)
        base = std::string(h) + "/.local/share";
    else
        base = ".";
    return base + "/TALVO R430K mouse/Device_Info/simulator-state.ini";
}

// Reports a request and its answer take on the bus.
int requestCost(Request kind)
{
    switch (kind) {
    case Request::ReadAll: return 1 + reportsFor(kDumpSize);
    case Request::SetConfig: return 2 + reportsFor(kDumpSize);
    case Request::ToolPresence: return 1;
    default: return 2;
    }
}

bool isRead(Request kind)
{
    return kind != Request::EnterPair && kind != Request::SetConfig && kind != Request::ClearSetting &&
           kind != Request::ToolPresence;
}

} // namespace

Simulator& Simulator::instance()
{
    // Never destroyed: library threads may still be inside a caller's callback
    // when the process ends, and must not find their state gone.
    static Simulator* s = [] {
        auto* sim = new Simulator();
        std::atexit([] { Simulator::instance().shutdown(); });
        return sim;
    }();
    return *s;
}

Simulator::Simulator()
{
    m_statePath = defaultStatePath();
    Scenario scenario = defaultScenario();
    if (const char* path = std::getenv("TALVO_SIM_SCENARIO"); path && *path) {
        // The user asked for these devices: running on others instead would
        // look like success. No device is plugged; the program asks for the
        // reason (SimControl_ScenarioError) and stops.
        if (!loadScenarioFile(path, scenario, m_scenarioError, &m_scenarioFault)) {
            std::fprintf(stderr, "HIDUsb: %s\n", m_scenarioError.c_str());
            scenario = Scenario{};
        }
    }
    m_busUs = envInt("TALVO_SIM_BUS_US", scenario.busMicroseconds >= 0 ? scenario.busMicroseconds : 1000, 0, 1000000);
    m_reports = std::make_unique<Deliverer>(m_sessionGeneration, false);
    m_hotplugCalls = std::make_unique<Deliverer>(m_hotplugGeneration, true);
    m_upgradeEvents = std::make_unique<Deliverer>(m_upgradeGeneration, false);
    for (std::size_t i = 0; i < m_logPointers.size(); ++i)
        m_logPointers[i] = m_logTexts[i].data();
    std::lock_guard<std::mutex> lock(m_mutex);
    buildDevices(scenario);
    std::thread(&Simulator::schedulerLoop, this).detach();
}

void Simulator::shutdown()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_dirty)
            writeStateFile();
        m_closing = true;
        m_session.open = false;
        m_hotplug = nullptr;
        ++m_sessionGeneration;
        ++m_hotplugGeneration;
        ++m_upgradeGeneration;
    }
    m_wake.notify_all();
    m_reports->close();
    m_hotplugCalls->close();
    m_upgradeEvents->close();
}

void Simulator::schedulerLoop()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_closing) {
        if (m_tasks.empty()) {
            m_wake.wait(lock);
            continue;
        }
        const auto due = m_tasks.begin()->first;
        if (due > Clock::now()) {
            m_wake.wait_until(lock, due);
            continue;
        }
        Task task = std::move(m_tasks.begin()->second);
        m_tasks.erase(m_tasks.begin());
        task();
    }
}

void Simulator::at(Clock::time_point when, Task task)
{
    const bool first = m_tasks.empty() || when < m_tasks.begin()->first;
    m_tasks.emplace(when, std::move(task));
    if (first)
        m_wake.notify_all();
}

void Simulator::onBus(int reports, Task effect)
{
    const auto now = Clock::now();
    m_busFree = std::max(now, m_busFree) + std::chrono::microseconds(std::int64_t(reports) * m_busUs);
    m_busReports += unsigned(reports);
    ++m_busPending;
    at(m_busFree, [this, reports, effect = std::move(effect)] {
        m_busDelivered += unsigned(reports);
        effect();
        --m_busPending;
    });
}

void Simulator::deliver(std::uint8_t type, std::uint8_t command, std::vector<std::uint8_t> data)
{
    if (!m_session.open || !m_session.callback)
        return;
    const std::uint16_t count = static_cast<std::uint16_t>(data.size());
    std::vector<std::uint8_t> header = {
        0x08, type, m_session.sequence++, 0, command, std::uint8_t(count & 0xFF), std::uint8_t(count >> 8), 0};
    const DeviceReportCallback callback = m_session.callback;
    m_reports->post(m_sessionGeneration.load(), [callback, header = std::move(header), data = std::move(data)] {
        callback(header.data(), int(header.size()), data.empty() ? nullptr : data.data(), int(data.size()));
    });
}

// ---- The open connection ----------------------------------------------------

bool Simulator::start(const char* path, DeviceReportCallback callback)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log(std::string("UsbServerC_Start(") + (path ? path : "") + ")");
    ++m_sessionGeneration;
    m_session = Session{};
    if (!path || !callback)
        return false;
    m_session.open = true;
    m_session.path = path;
    m_session.callback = callback;
    return bool(resolve(path));
}

void Simulator::exit()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log("UsbServer_Exit()");
    ++m_sessionGeneration;
    m_session = Session{};
}

bool Simulator::request(Request kind, int argument, const char* logName)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log(std::string(logName) + "(" + (argument >= 0 ? std::to_string(argument) : std::string()) + ")");
    if (!m_session.open)
        return false;
    if (kind == Request::SetConfig && (argument < 0 || argument >= kProfileCount))
        return false;
    // The host's picture of the flash is stale once the device changes configuration.
    if (kind == Request::SetConfig || kind == Request::ClearSetting)
        m_session.shadowValid = false;
    const std::uint64_t session = m_sessionGeneration.load();
    onBus(requestCost(kind), [this, kind, argument, session] { complete(kind, argument, session); });
    return true;
}

void Simulator::complete(Request kind, int argument, std::uint64_t session)
{
    if (session != m_sessionGeneration.load() || !m_session.open)
        return;
    const Target target = resolve(m_session.path.c_str());
    if (kind == Request::ReadPairStatus || kind == Request::EnterPair) {
        if (!target.receiver || !target.receiver->plugged) {
            deliver(6, 0, {2});
            return;
        }
        if (kind == Request::EnterPair)
            startPairing(*target.receiver, std::uint8_t(argument));
        else
            deliver(6, 0, {std::uint8_t(target.receiver->pairStatus)});
        return;
    }
    Mouse* mouse = reachableMouse(target);
    if (!mouse) {
        // A silent mouse answers once it wakes up; settings sent meanwhile are lost.
        auto& parked = m_session.parked;
        const auto item = std::make_pair(kind, argument);
        if (isRead(kind) && parked.size() < kParkedLimit &&
            std::find(parked.begin(), parked.end(), item) == parked.end())
            parked.push_back(item);
        return;
    }
    answer(kind, argument, *mouse);
}

void Simulator::answer(Request kind, int argument, Mouse& mouse)
{
    Profile& p = mouse.profiles[std::size_t(mouse.activeProfile)];
    switch (kind) {
    case Request::ReadAll: {
        m_session.shadow = p;
        for (const auto& write : m_session.pendingWrites)
            for (const auto& c : write)
                std::copy(c.bytes.begin(), c.bytes.end(), m_session.shadow.begin() + c.offset);
        m_session.shadowValid = true;
        deliver(8, 0, encodeDump(p, mouse.activeProfile));
        break;
    }
    case Request::ReadDpi:
        learn(p, kOffDpiCurrent, 1);
        deliver(8, 4, {p[kOffDpiCurrent]});
        break;
    case Request::ReadRate:
        learn(p, kOffReportRate, 1);
        deliver(8, 0, {p[kOffReportRate]});
        break;
    case Request::ReadLedBar:
        learn(p, kOffLedBar, 7);
        deliver(8, 0xA0, encodeLedBar(&p[kOffLedBar]));
        break;
    case Request::ReadDpiLed:
        learn(p, kOffDpiLed, 4);
        deliver(8, 0x4C, encodeDpiLed(&p[kOffDpiLed]));
        break;
    case Request::ReadBattery:
        deliver(4, 0, {std::uint8_t(mouse.battery), std::uint8_t(mouse.charging ? 1 : 0), 0, 0});
        break;
    case Request::ReadVersion:
        deliver(18, 0, {std::uint8_t(mouse.version & 0xFF), std::uint8_t(mouse.version >> 8)});
        break;
    case Request::ReadConfig: deliver(14, 0, {std::uint8_t(mouse.activeProfile)}); break;
    case Request::SetConfig:
        mouse.activeProfile = argument;
        markDirty();
        deliver(14, 0, {std::uint8_t(argument)});
        answer(Request::ReadAll, 0, mouse);
        break;
    case Request::ClearSetting:
        for (auto& profile : mouse.profiles)
            profile = factoryProfile(mouse.setup.model);
        mouse.activeProfile = 0;
        markDirty();
        deliver(9, 0, {});
        break;
    case Request::ToolPresence: mouse.toolPresent = argument != 0; break;
    default: break;
    }
}

void Simulator::learn(const Profile& held, std::size_t offset, std::size_t size)
{
    // A report tells the host what the mouse holds, unless a write still on its
    // way will change those bytes again.
    if (!m_session.shadowValid || !m_session.pendingWrites.empty())
        return;
    std::copy(held.begin() + std::ptrdiff_t(offset), held.begin() + std::ptrdiff_t(offset + size),
              m_session.shadow.begin() + std::ptrdiff_t(offset));
}

bool Simulator::update(const void* image)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log("ProtocolDataUpdate()");
    if (!m_session.open || !image)
        return false;
    const auto* wanted = static_cast<const std::uint8_t*>(image);
    std::vector<WriteChunk> chunks;
    if (m_session.shadowValid) {
        chunks = planWrites(m_session.shadow.data(), wanted);
    } else {
        // Nothing known about the device's flash yet: write the whole stored range.
        for (std::size_t off = 0; off < kStoredSize; off += kWritePayload) {
            const std::size_t n = std::min(kWritePayload, kStoredSize - off);
            chunks.push_back(WriteChunk{std::uint16_t(off), std::vector<std::uint8_t>(wanted + off, wanted + off + n)});
        }
    }
    if (chunks.empty())
        return true;
    std::copy(wanted, wanted + kStoredSize, m_session.shadow.begin());
    m_session.shadowValid = true;
    m_session.pendingWrites.push_back(chunks);
    const std::uint64_t session = m_sessionGeneration.load();
    const int reports = int(chunks.size());
    onBus(reports, [this, chunks = std::move(chunks), session] { completeWrite(chunks, session); });
    return true;
}

void Simulator::completeWrite(const std::vector<WriteChunk>& chunks, std::uint64_t session)
{
    if (session != m_sessionGeneration.load() || !m_session.open)
        return;
    if (!m_session.pendingWrites.empty())
        m_session.pendingWrites.pop_front();
    Mouse* mouse = reachableMouse(resolve(m_session.path.c_str()));
    if (!mouse) {
        m_session.shadowValid = false;
        return;
    }
    Profile& p = mouse->profiles[std::size_t(mouse->activeProfile)];
    for (const auto& c : chunks)
        std::copy(c.bytes.begin(), c.bytes.end(), p.begin() + c.offset);
    markDirty();
}

void Simulator::replayParked()
{
    if (!m_session.open || m_session.parked.empty() || !reachableMouse(resolve(m_session.path.c_str())))
        return;
    const auto parked = std::move(m_session.parked);
    m_session.parked.clear();
    const std::uint64_t session = m_sessionGeneration.load();
    for (const auto& [kind, argument] : parked)
        onBus(requestCost(kind),
              [this, kind = kind, argument = argument, session] { complete(kind, argument, session); });
}

void Simulator::notifyMouse(const Mouse& mouse, std::uint8_t statusBits)
{
    if (!sessionReaches(mouse))
        return;
    const std::uint64_t session = m_sessionGeneration.load();
    onBus(1, [this, statusBits, session] {
        if (session == m_sessionGeneration.load())
            deliver(10, 0, {statusBits});
    });
}

bool Simulator::sendReport(int type, int command, const unsigned char* data, int dataLen)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_session.open || type < 0 || type > 255 || command < 0 || command > 255 || dataLen < 0 || dataLen > 0xFFFF ||
        (dataLen > 0 && !data))
        return false;
    std::vector<std::uint8_t> bytes(data, data + dataLen);
    const std::uint64_t session = m_sessionGeneration.load();
    onBus(reportsFor(bytes.size()), [this, type, command, bytes = std::move(bytes), session]() mutable {
        if (session == m_sessionGeneration.load())
            deliver(std::uint8_t(type), std::uint8_t(command), std::move(bytes));
    });
    return true;
}

// ---- Hot-plug -------------------------------------------------------------------

bool Simulator::startUsbChanged(UsbChangedCallback callback, int settleMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log("StartUsbChanged(" + std::to_string(settleMs) + ")");
    ++m_hotplugGeneration;
    m_hotplug = callback;
    m_hotplugSettleMs = std::clamp(settleMs, 0, 10000);
    // A first call lets a new listener build its device list without waiting for a change.
    noteUsbChange();
    return callback != nullptr;
}

void Simulator::stopUsbChanged()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log("StopUsbChanged()");
    ++m_hotplugGeneration;
    m_hotplug = nullptr;
}

void Simulator::noteUsbChange()
{
    if (!m_hotplug)
        return;
    // Changes closer together than the settle time give one call.
    const std::uint64_t token = ++m_hotplugToken;
    at(Clock::now() + std::chrono::milliseconds(m_hotplugSettleMs), [this, token] {
        if (token != m_hotplugToken || !m_hotplug)
            return;
        const UsbChangedCallback callback = m_hotplug;
        m_hotplugCalls->post(m_hotplugGeneration.load(), [callback] { callback(); });
    });
}

// ---- Bookkeeping ---------------------------------------------------------------------

void Simulator::markDirty()
{
    m_dirty = true;
    if (m_saveQueued)
        return;
    m_saveQueued = true;
    at(Clock::now() + std::chrono::milliseconds(kSaveDelayMs), [this] {
        m_saveQueued = false;
        if (m_dirty)
            writeStateFile();
    });
}

void Simulator::bootModeChanged()
{
    // A device enters or leaves its boot loader in its own flash: the state holds at once, so
    // that a program that dies right after (killed, crashed, the power cut) finds it so at the
    // next start.
    if (!writeStateFile())
        markDirty();
}

void Simulator::log(std::string line)
{
    if (m_callLog.size() >= kCallLogLimit)
        m_callLog.erase(m_callLog.begin(), m_callLog.begin() + kCallLogLimit / 2);
    m_callLog.push_back(std::move(line));
}

void Simulator::record(std::string line)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log(std::move(line));
}

int Simulator::callLog(char* out, int size)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string all;
    for (const auto& line : m_callLog)
        all += line + '\n';
    if (out && size > 0) {
        const std::size_t n = std::min(all.size(), std::size_t(size - 1));
        std::memcpy(out, all.data(), n);
        out[n] = '\0';
    }
    return int(all.size());
}

void Simulator::clearCallLog()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_callLog.clear();
}

bool Simulator::waitIdle(int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        bool busIdle;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            busIdle = m_busPending == 0;
        }
        if (busIdle && m_reports->idle()) {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_busPending == 0)
                return true;
        }
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

void Simulator::setBusMicroseconds(int us)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_busUs = std::clamp(us, 0, 1000000);
}

const char* Simulator::intern(const std::string& path)
{
    return m_paths.insert(path).first->c_str();
}

} // namespace devicelib
