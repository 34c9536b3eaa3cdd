#include "devicelib_SimHarness.h"

#include "devicelib/HIDUsb.h"
#include "devicelib/SimControl.h"

#include <QDebug>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace devicelib_test {

namespace {

struct SinkState {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Report> reports;
    std::function<void(const Report&)> hook;
};

SinkState& state()
{
    // Never destroyed: a library thread may still be delivering a report while
    // the test process runs its exit handlers.
    static SinkState* s = new SinkState;
    return *s;
}

} // namespace

ReportSink& ReportSink::instance()
{
    static ReportSink sink;
    return sink;
}

void ReportSink::callback(const unsigned char* header, int headerLen, const unsigned char* data, int dataLen)
{
    Report r;
    auto byteAt = [&](int i) { return i < headerLen ? int(header[i]) : 0; };
    r.type = byteAt(1);
    r.frameFlags = byteAt(3);
    r.command = byteAt(4);
    r.data = QByteArray(reinterpret_cast<const char*>(data), dataLen);
    r.thread = std::this_thread::get_id();
    std::function<void(const Report&)> hook;
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        hook = state().hook;
    }
    if (hook)
        hook(r);
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        state().reports.push_back(r);
    }
    state().changed.notify_all();
}

void ReportSink::clear()
{
    std::lock_guard<std::mutex> lock(state().mutex);
    state().reports.clear();
}

std::vector<Report> ReportSink::reports() const
{
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().reports;
}

bool ReportSink::waitFor(const std::function<bool(const Report&)>& match, int timeoutMs, Report* found) const
{
    std::unique_lock<std::mutex> lock(state().mutex);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        for (const Report& r : state().reports)
            if (match(r)) {
                if (found)
                    *found = r;
                return true;
            }
        if (state().changed.wait_until(lock, deadline) == std::cv_status::timeout)
            return false;
    }
}

bool ReportSink::waitForType(int type, int timeoutMs, Report* found) const
{
    return waitFor([type](const Report& r) { return r.type == type; }, timeoutMs, found);
}

void ReportSink::setHook(std::function<void(const Report&)> hook)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    state().hook = std::move(hook);
}

bool loadScenario(const char* iniText)
{
    const char* error = nullptr;
    if (!SimControl_LoadScenarioText(iniText, &error)) {
        qWarning() << "scenario rejected:" << (error ? error : "?");
        return false;
    }
    SimControl_ForgetState();
    return true;
}

QByteArray deviceFlash(const char* mouse, int profile)
{
    QByteArray image(10428, '\0');
    if (!SimControl_ReadFlash(mouse, profile, reinterpret_cast<unsigned char*>(image.data()), image.size()))
        return {};
    return image;
}

bool openDevice(const char* name)
{
    ReportSink::instance().clear();
    const char* path = SimControl_DevicePath(name);
    return UsbServerC_Start(path, path, &ReportSink::callback);
}

} // namespace devicelib_test
