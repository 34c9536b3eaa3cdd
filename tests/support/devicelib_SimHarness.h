#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <thread>
#include <vector>

// Helpers for tests that drive the simulated mouse behind devicelib/HIDUsb.h.
namespace devicelib_test {

// One report as the device library delivered it.
struct Report {
    int type = -1;
    int command = -1;
    int frameFlags = -1;
    QByteArray data;
    std::thread::id thread;
};

// Collects the reports of the open connection. The device library takes a
// plain function, so the recorder is one process-wide sink.
class ReportSink final {
public:
    static ReportSink& instance();
    // The DeviceReportCallback to hand to UsbServerC_Start.
    static void callback(const unsigned char* header, int headerLen, const unsigned char* data, int dataLen);

    void clear();
    std::vector<Report> reports() const;
    // Waits (without an event loop) until a report matches; false on timeout.
    bool waitFor(const std::function<bool(const Report&)>& match, int timeoutMs, Report* found = nullptr) const;
    bool waitForType(int type, int timeoutMs, Report* found = nullptr) const;
    // Runs inside the callback, on the library's thread, before the report is stored.
    void setHook(std::function<void(const Report&)> hook);

private:
    ReportSink() = default;
};

// Opens a connection to the named device with the report sink.
bool openDevice(const char* name);

} // namespace devicelib_test
