// Figures of the simulated device library on its 1 ms transport: how close a
// full configuration read comes to the bus's own minimum, and what a one-field
// edit costs on the bus and for the caller.
#include "devicelib/HIDUsb.h"
#include "devicelib/SimControl.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::mutex g_mutex;
std::condition_variable g_cv;
int g_dumps = 0;
std::vector<unsigned char> g_dump;

void onReport(const unsigned char* header, int headerLen, const unsigned char* data, int dataLen)
{
    if (headerLen > 4 && header[1] == 8 && header[4] == 0 && dataLen == 6912) {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_dump.assign(data, data + dataLen);
        ++g_dumps;
        g_cv.notify_all();
    }
}

bool waitDump(int before)
{
    std::unique_lock<std::mutex> lock(g_mutex);
    return g_cv.wait_for(lock, std::chrono::seconds(10), [before] { return g_dumps > before; });
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main()
{
    // Keep the user's simulated flash out of the measurement.
    const std::string state =
        std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/talvo-bench-simulator-state.ini";
    setenv("TALVO_SIM_STATE", state.c_str(), 1);
    SimControl_LoadScenario(nullptr, nullptr);
    SimControl_ForgetState();
    const int busUs = 1000;
    SimControl_SetBusMicroseconds(busUs);
    const char* path = SimControl_DevicePath("Receiver1");
    if (!UsbServerC_Start(path, path, &onReport)) {
        std::fprintf(stderr, "no simulated receiver\n");
        return 1;
    }

    std::vector<double> ratios, readMs;
    unsigned long long reportsPerRead = 0;
    for (int i = 0; i < 10; ++i) {
        const unsigned long long before = SimControl_BusReports();
        int dumps;
        {
            std::lock_guard<std::mutex> lock(g_mutex);
            dumps = g_dumps;
        }
        const auto t0 = Clock::now();
        UsbServer_ReadAllFlashData();
        if (!waitDump(dumps))
            return 1;
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        reportsPerRead = SimControl_BusReports() - before;
        readMs.push_back(ms);
        ratios.push_back(ms / (double(reportsPerRead) * busUs / 1000.0));
    }
    std::printf("full read: %llu reports, minimum %.1f ms, median %.2f ms, worst ratio %.3f, median ratio %.3f "
                "(target <= 1.1)\n",
                reportsPerRead, double(reportsPerRead) * busUs / 1000.0, median(readMs),
                *std::max_element(ratios.begin(), ratios.end()), median(ratios));

    std::vector<unsigned char> image(10428, 0);
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        std::copy(g_dump.begin(), g_dump.begin() + 6876, image.begin());
    }
    std::vector<double> callUs;
    unsigned long long maxReports = 0, totalReports = 0;
    const int edits = 1000;
    for (int i = 0; i < edits; ++i) {
        image[0x4A + 3 * (i % 6)] ^= 0x01; // one button function
        const unsigned long long before = SimControl_BusReports();
        const auto t0 = Clock::now();
        ProtocolDataUpdate(image.data());
        callUs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
        const unsigned long long cost = SimControl_BusReports() - before;
        maxReports = std::max(maxReports, cost);
        totalReports += cost;
    }
    std::printf("one-field edit: %.2f reports per update on average, at most %llu (target <= 2); caller time median "
                "%.2f us, 90th percentile %.2f us (target: median < 20 us)\n",
                double(totalReports) / edits, maxReports, median(callUs), [&] {
                    auto v = callUs;
                    std::sort(v.begin(), v.end());
                    return v[v.size() * 9 / 10];
                }());
    SimControl_WaitIdle(10000 + edits * 2 * busUs / 1000);
    UsbServer_Exit();
    std::remove(state.c_str());
    return 0;
}
