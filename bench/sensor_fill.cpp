// The sensor page's full fill on the GUI thread, where the report thread
// waits for it: median time of SlotUpDataSenSorUISensor over fills that
// alternate two images, so every fill changes what the widgets show.
//
//   bench_sensor_fill [fills]     default 200

#include "core/FlashDataMap.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "sensor/Sensor.h"
#include "support/link_helpers.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    RegisterBusTypes();
    const int fills = argc > 1 ? std::max(1, atoi(argv[1])) : 200;
    auto pages = linktest::openFreshDefaultMouse();
    if (!pages) {
        std::printf("the simulated mouse did not open\n");
        return 1;
    }
    pages->sensor->show();
    FlashDataMap images[2] = {CurrentFlashDataCopy(), CurrentFlashDataCopy()};
    images[1].DpiLevelCount = 3;
    images[1].CurrentDpiLevel = 2;
    images[1].ReportRate = images[0].ReportRate == 2 ? 1 : 2;
    images[1].Performance = images[0].Performance ? 0 : 1;
    images[1].PerformanceTime = 60;
    images[1].DpiLedOn = 1;
    images[1].DpiLedMode = 2;
    images[1].DpiLedBrightness = 230;

    std::vector<double> ms;
    ms.reserve(size_t(fills));
    QElapsedTimer timer;
    for (int i = 0; i < fills; ++i) {
        timer.start();
        pages->sensor->SlotUpDataSenSorUISensor(images[i % 2]);
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
        app.processEvents();
    }
    std::sort(ms.begin(), ms.end());
    std::printf("sensor fill (%s build): %d fills, median %.3f ms, max %.3f ms (target <= 10 ms)\n", TALVO_BUILD_TYPE,
                fills, ms[ms.size() / 2], ms.back());
    return 0;
}
