#pragma once

#include "DumpCodec.h"
#include "FirmwareImage.h"
#include "HIDUsb.h"
#include "Scenario.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace devicelib {

class Deliverer;
using Clock = std::chrono::steady_clock;

constexpr std::uint16_t kVendorId = 0x3A2F;
constexpr std::uint8_t kCustomerId = 0x21;

struct Mouse {
    MouseSetup setup;
    bool cable = false;
    bool awake = true;
    int battery = 80;
    bool charging = false;
    std::uint16_t version = 0;
    bool pairable = false;
    bool bootMode = false;
    bool hasReceiver = false;
    std::array<std::uint8_t, 3> receiverAddress{};
    std::array<Profile, kProfileCount> profiles{};
    int activeProfile = 0;
    bool toolPresent = false;
    int silentInfoCalls = 0;
    const char* path = "";
};

struct Receiver {
    ReceiverSetup setup;
    bool plugged = true;
    std::uint16_t version = 0;
    std::array<std::uint8_t, 3> address{};
    std::array<std::uint8_t, 10> light{};
    bool longRange = false;
    bool bootMode = false;
    int silentInfoCalls = 0;
    int pairStatus = 0;
    std::uint64_t pairingToken = 0;
    // A mouse found by a pairing and bound when its pairing delay is over.
    Mouse* pairingMouse = nullptr;
    const char* path = "";
};

// What a path leads to: a mouse on its cable or a receiver.
struct Target {
    Mouse* cableMouse = nullptr;
    Receiver* receiver = nullptr;
    explicit operator bool() const { return cableMouse || receiver; }
};

enum class Request {
    ReadAll,
    ReadDpi,
    ReadRate,
    ReadLedBar,
    ReadBattery,
    ReadDpiLed,
    ReadVersion,
    ReadConfig,
    ReadPairStatus,
    EnterPair,
    SetConfig,
    ClearSetting,
    ToolPresence
};

// The simulated devices and the library's side of the bus. One instance for the
// process, never destroyed: its threads may outlive every caller.
class Simulator final {
public:
    static Simulator& instance();

    // Finding and asking devices.
    const char** findDevices(const char* vid, const char* pid, int capacity, int* count);
    HidDeviceIdentity deviceInfo(const char* path);
    bool usbAttribute(const char* path, unsigned char* buf);
    bool online(const char* path);
    bool onlineWithAddress(const char* path, unsigned char* buf);
    int version(const char* path);
    bool slaveVersion(const char* path, int* version);
    bool receiverLight(const char* path, void* rgb, bool set);
    bool getLongRange(const char* path, unsigned char* mode);
    bool setLongRange(const char* path, bool on);
    bool setDongleIdToMouse(const char* path, const unsigned char* record);

    // The open connection.
    bool start(const char* path, DeviceReportCallback callback);
    void exit();
    bool request(Request kind, int argument, const char* logName);
    bool update(const void* image);

    // Hot-plug.
    bool startUsbChanged(UsbChangedCallback callback, int settleMs);
    void stopUsbChanged();

    // Firmware.
    bool findBootDevices(const unsigned char* image, int imageSize, int* count);
    bool upgradeStart(const unsigned char* image, int imageSize, UpgradeEventCallback callback, int timeoutMs);
    const char* const* upgradeLogs();

    // Simulator control.
    bool loadScenario(const Scenario& scenario);
    void forgetState();
    bool saveState();
    void setBusMicroseconds(int us);
    const char* devicePath(const char* name);
    // Why the scenario named in the environment was not loaded at start; empty
    // when it was, or when none was named. Set once, before any other thread.
    const std::string& scenarioError() const { return m_scenarioError; }
    const ScenarioFault& scenarioFault() const { return m_scenarioFault; }
    bool plug(const char* name, bool plugged);
    bool setAwake(const char* name, bool awake);
    bool setBattery(const char* name, int percent, bool charging);
    bool pressDpiButton(const char* name);
    bool switchProfile(const char* name, int index);
    bool setPairable(const char* name, bool pairable);
    bool receiverLongRange(const char* name, bool on);
    bool pressReceiverLight(const char* name);
    void failNextUpgrade(int percent);
    void stallNextUpgrade();
    void unplugDuringNextUpgrade(int percent);
    bool setBootMode(const char* name, bool on);
    bool answerAfter(const char* name, int calls);
    bool sendReport(int type, int command, const unsigned char* data, int dataLen);
    bool readFlash(const char* name, int profile, unsigned char* image, int size);
    int activeProfile(const char* name);
    int firmwareVersion(const char* name);
    bool isPairedWith(const char* mouse, const char* receiver);
    bool inBootMode(const char* name);
    unsigned long long busReports() const { return m_busReports.load(); }
    unsigned long long busReportsDelivered() const { return m_busDelivered.load(); }
    int callLog(char* out, int size);
    void clearCallLog();
    bool waitIdle(int timeoutMs);
    // Adds a line to the call log, taking the lock.
    void record(std::string line);

private:
    void log(std::string line); // lock held
    Simulator();
    void schedulerLoop();
    void shutdown();

    // Everything below runs with m_mutex held.
    using Task = std::function<void()>;
    void at(Clock::time_point when, Task task);
    void onBus(int reports, Task effect);
    void deliver(std::uint8_t type, std::uint8_t command, std::vector<std::uint8_t> data);
    void complete(Request kind, int argument, std::uint64_t session);
    void answer(Request kind, int argument, Mouse& mouse);
    void learn(const Profile& held, std::size_t offset, std::size_t size);
    void completeWrite(const std::vector<WriteChunk>& chunks, std::uint64_t session);
    void replayParked();
    void notifyMouse(const Mouse& mouse, std::uint8_t statusBits);
    void noteUsbChange();
    void markDirty();
    // With m_mutex held: a device's boot mode changed; written to the state file now.
    void bootModeChanged();
    void startPairing(Receiver& receiver, std::uint8_t cid);
    void pollPairing(Receiver* receiver, std::uint64_t token, Clock::time_point deadline, std::uint8_t cid);
    void finishPairing(Receiver* receiver, Mouse* mouse, std::uint64_t token);
    void bindToReceiver(Mouse& mouse, const std::array<std::uint8_t, 3>& address);
    void upgradeStep(int percent, std::uint64_t job);
    void applyEvent(const EventSpec& event);
    void setPlugged(Mouse& mouse, bool plugged);
    void setPlugged(Receiver& receiver, bool plugged);
    void setAwakeState(Mouse& mouse, bool awake);
    void changeBattery(Mouse& mouse, int percent, bool charging);
    void dpiPress(Mouse& mouse);
    void profileSwitch(Mouse& mouse, int index);
    bool fits(const Mouse& mouse, const FirmwareHeader& header);
    bool fits(const Receiver& receiver, const FirmwareHeader& header) const;
    void postUpgradeEvent(std::uint8_t what, std::uint8_t value);
    void setLogs(const std::string& result);
    void buildDevices(const Scenario& scenario);
    void resetDevice(Mouse& mouse);
    void resetDevice(Receiver& receiver);
    bool loadStateFile();
    bool writeStateFile();

    Target resolve(const char* path);
    Mouse* reachableMouse(const Target& target);
    Mouse* mouseNamed(const char* name);
    Receiver* receiverNamed(const char* name);
    Receiver* receiverOf(const Mouse& mouse);
    Mouse* mouseOf(const Receiver& receiver);
    bool sessionReaches(const Mouse& mouse);
    bool sessionOn(const Receiver& receiver);
    const char* intern(const std::string& path);

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::multimap<Clock::time_point, Task> m_tasks;
    bool m_closing = false;

    Scenario m_scenario;
    std::uint64_t m_scenarioGeneration = 0;
    std::vector<std::unique_ptr<Mouse>> m_mice;
    std::vector<std::unique_ptr<Receiver>> m_receivers;
    // Devices of earlier scenarios stay allocated: queued tasks may still point at them.
    std::vector<std::unique_ptr<Mouse>> m_retiredMice;
    std::vector<std::unique_ptr<Receiver>> m_retiredReceivers;
    std::set<std::string> m_paths;
    std::string m_statePath;
    std::string m_scenarioError;
    ScenarioFault m_scenarioFault;
    bool m_dirty = false;
    bool m_saveQueued = false;

    // The bus: one report at a time, each costing m_busUs.
    int m_busUs = 1000;
    Clock::time_point m_busFree{};
    int m_busPending = 0;
    std::atomic<unsigned long long> m_busReports{0};   // counted when put on the bus
    std::atomic<unsigned long long> m_busDelivered{0}; // counted once their bus time has passed

    struct Session {
        bool open = false;
        std::string path;
        DeviceReportCallback callback = nullptr;
        Profile shadow{};
        bool shadowValid = false;
        std::deque<std::vector<WriteChunk>> pendingWrites;
        std::vector<std::pair<Request, int>> parked;
        std::uint8_t sequence = 0;
    } m_session;
    std::atomic<std::uint64_t> m_sessionGeneration{1};

    UsbChangedCallback m_hotplug = nullptr;
    int m_hotplugSettleMs = 600;
    std::uint64_t m_hotplugToken = 0;
    std::atomic<std::uint64_t> m_hotplugGeneration{1};

    struct Upgrade {
        bool running = false;
        FirmwareHeader header;
        Mouse* mouse = nullptr;
        Receiver* receiver = nullptr;
        UpgradeEventCallback callback = nullptr;
        int failAt = -1;
        int unplugAt = -1;
        int bodyReports = 0;
        std::uint16_t fromVersion = 0;
        Clock::time_point started{};
    } m_upgrade;
    std::uint64_t m_upgradeJob = 0;
    int m_failNextUpgradeAt = -1;
    bool m_stallNextUpgrade = false;
    int m_unplugNextUpgradeAt = -1;
    std::atomic<std::uint64_t> m_upgradeGeneration{1};
    // Fixed buffers: a caller may keep the pointers while a later update rewrites the texts.
    std::array<std::array<char, 256>, 8> m_logTexts{};
    std::array<const char*, 8> m_logPointers{};

    std::vector<std::string> m_callLog;

    std::unique_ptr<Deliverer> m_reports;
    std::unique_ptr<Deliverer> m_hotplugCalls;
    std::unique_ptr<Deliverer> m_upgradeEvents;
};

} // namespace devicelib
