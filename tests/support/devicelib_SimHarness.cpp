#include "devicelib_SimHarness.h"

#include "devicelib/HIDUsb.h"
#include "devicelib/SimControl.h"


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

bool openDevice(const char* name)
{
    ReportSink::instance().clear();
    const char* path = SimControl_DevicePath(name);
    return UsbServerC_Start(path, path, &ReportSink::callback);
}

} // namespace devicelib_test
