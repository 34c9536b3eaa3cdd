// One DPI edit end to end: the DPI slider of the stage editor takes a new
// value, and the time until the simulated mouse's flash holds the stage's new
// bytes, against the transport's own minimum (the reports that crossed the
// bus meanwhile times the time of one; 1 ms unless TALVO_SIM_BUS_US says
// otherwise).
//
//   bench_dpi_edit [edits]     default 20

#include "core/FlashDataMap.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/SensorDefines.h"
#include "devicelib/SimControl.h"
#include "sensor/SensorDPI.h"
#include "sensor/SensorDpiCodes.h"
#include "support/link_helpers.h"
#include "support/sim_helpers.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSlider>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kStage = 1;

int busMicroseconds()
{
    const QByteArray env = qgetenv("TALVO_SIM_BUS_US");
    return env.isEmpty() ? 1000 : env.toInt();
}

bool flashHolds(const sensor::StageCode& code)
{
    const FlashDataMap image = linktest::imageOf(simtest::flash());
    const quint8* value = image.DpiLevel[kStage].DpiValue;
    return value[0] == code.b0 && value[1] == code.b1 && value[2] == code.b2;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// What the sensor page's fill leaves in the editor: the device's ranges and
// model, and the stage to edit checked, all without sending.
void prepare(SensorDPI& editor)
{
    SensorPageUpdating = 1;
    sensor::LoadCurrentSensorModel();
    sensor::LoadDpiRanges();
    editor.SetSliderMaximum(sensor::CurrentDpiRanges().SliderMaximumText.toInt());
    editor.SetSliderMinimum(sensor::CurrentDpiRanges().SliderMinimumText.toInt());
    editor.BlockSliderSignals(true);
    editor.CheckStageButton(kStage);
    editor.BlockSliderSignals(false);
    SensorPageUpdating = 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    RegisterBusTypes();
    const int edits = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    const int busUs = busMicroseconds();
    auto pages = linktest::openFreshDefaultMouse();
    if (!pages) {
        std::printf("the simulated mouse did not open\n");
        return 1;
    }
    SimControl_SetBusMicroseconds(busUs);
    DeviceWriteReady = 1;
    SensorDPI editor;
    editor.show();
    prepare(editor);
    auto* slider = editor.findChild<QSlider*>(QStringLiteral("horizontalSliderC"));

    std::printf("bus %d us per report\nedit  dpi  time(ms)  reports  bound(ms)\n", busUs);
    std::vector<double> times;
    std::vector<double> bounds;
    for (int i = 0; i < edits; ++i) {
        const int dpi = 1600 + 50 * (i % 2 == 0 ? i : -i);
        const sensor::StageCode code = sensor::dpiToStageCode(core::SharedSensorDefines(), sensor::CurrentSensorModel(),
                                                              sensor::CurrentDpiRanges(), 0, dpi);
        const unsigned long long before = SimControl_BusReports();
        QElapsedTimer clock;
        clock.start();
        slider->setValue(dpi);
        while (!flashHolds(code) && clock.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 1);
        const double ms = clock.nsecsElapsed() / 1e6;
        const unsigned long long reports = SimControl_BusReports() - before;
        const double bound = 1.2 * reports * busUs / 1000.0 + 5.0;
        times.push_back(ms);
        bounds.push_back(bound);
        std::printf("%4d  %5d  %8.2f  %7llu  %9.2f%s\n", i, dpi, ms, reports, bound,
                    flashHolds(code) ? "" : "  (not reached)");
    }
    const double medianTime = median(times);
    const double medianBound = median(bounds);
    std::printf("median %.2f ms against a bound of %.2f ms: %s\n", medianTime, medianBound,
                medianTime <= medianBound ? "within" : "OVER");
    std::fflush(stdout);
    return medianTime <= medianBound ? 0 : 1;
}
