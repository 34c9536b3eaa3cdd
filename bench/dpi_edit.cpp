// One DPI edit end to end: the DPI slider of the stage editor takes a new
// value through the program's own slot and setter. Printed per edit: the time
// the GUI thread spends in that call (with a cold cache: each edit comes after
// a few milliseconds of event-loop activity, as a user's would), the reports
// the edit put on the bus, and the time until the simulated mouse's flash
// holds the stage's new bytes, against the transport's own minimum (the
// reports that crossed the bus meanwhile times the time of one; 1 ms unless
// TALVO_SIM_BUS_US says otherwise).
//
//   bench_dpi_edit [edits]     default 20

#include "core/FlashDataMap.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/SensorDefines.h"
#include "devicelib/SimControl.h"
#include "sensor/SensorDPI.h"
#include <HIDUsb.h>
#include "sensor/SensorDpiCodes.h"
#include "support/link_helpers.h"
#include "support/sim_helpers.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
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

// A few milliseconds of ordinary event-loop life (timers, posted events, the
// bus thread's wake-ups) between edits, so that no edit finds the caches warm
// from the one before.
void idleEventLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
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

    std::printf("bus %d us per report, build %s\nedit    dpi  gui(us)  reports  time(ms)  bound(ms)\n", busUs,
                TALVO_BUILD_TYPE);
    std::vector<double> times;
    std::vector<double> bounds;
    std::vector<double> guiTimes;
    unsigned long long maxReports = 0;
    for (int i = 0; i < edits; ++i) {
        const int dpi = 1600 + 50 * (i % 2 == 0 ? i : -i);
        const sensor::StageCode code = sensor::dpiToStageCode(core::SharedSensorDefines(), sensor::CurrentSensorModel(),
                                                              sensor::CurrentDpiRanges(), 0, dpi);
        idleEventLoop(5);
        const unsigned long long before = SimControl_BusReports();
        QElapsedTimer clock;
        clock.start();
        slider->setValue(dpi);
        const double guiUs = clock.nsecsElapsed() / 1e3;
        while (!flashHolds(code) && clock.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 1);
        const double ms = clock.nsecsElapsed() / 1e6;
        const unsigned long long reports = SimControl_BusReports() - before;
        const double bound = 1.2 * reports * busUs / 1000.0 + 5.0;
        times.push_back(ms);
        bounds.push_back(bound);
        guiTimes.push_back(guiUs);
        maxReports = std::max(maxReports, reports);
        std::printf("%4d  %5d  %7.1f  %7llu  %8.2f  %9.2f%s\n", i, dpi, guiUs, reports, ms, bound,
                    flashHolds(code) ? "" : "  (not reached)");
    }
    // The setter alone, as the slot calls it once the editor shows the value: the stage's sensor
    // code, the field written into the image and the image handed to the bus.
    std::vector<double> setterTimes;
    unsigned long long setterReports = 0;
    for (int i = 0; i < edits; ++i) {
        const int dpi = 1600 + 50 * (i % 2 == 0 ? -i : i);
        const sensor::StageCode code = sensor::dpiToStageCode(core::SharedSensorDefines(), sensor::CurrentSensorModel(),
                                                              sensor::CurrentDpiRanges(), 0, dpi);
        idleEventLoop(5);
        const unsigned long long before = SimControl_BusReports();
        QElapsedTimer clock;
        clock.start();
        sensor::DPIToSensorCode(kStage, dpi);
        setterTimes.push_back(clock.nsecsElapsed() / 1e3);
        while (!flashHolds(code) && clock.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 1);
        setterReports = std::max(setterReports, SimControl_BusReports() - before);
    }
    // The device library's share: the same one-stage change handed to it directly, as the setter
    // hands it on (what the library does with it is not the program's time).
    std::vector<double> libraryTimes;
    for (int i = 0; i < edits; ++i) {
        const int dpi = 1600 + 100 * (i % 2 == 0 ? i : -i);
        const sensor::StageCode code = sensor::dpiToStageCode(core::SharedSensorDefines(), sensor::CurrentSensorModel(),
                                                              sensor::CurrentDpiRanges(), 0, dpi);
        FlashDataMap image = CurrentFlashDataCopy();
        image.DpiLevel[kStage].DpiValue[0] = code.b0;
        image.DpiLevel[kStage].DpiValue[1] = code.b1;
        image.DpiLevel[kStage].DpiValue[2] = code.b2;
        idleEventLoop(5);
        QElapsedTimer clock;
        clock.start();
        ProtocolDataUpdate(&image);
        libraryTimes.push_back(clock.nsecsElapsed() / 1e3);
        while (!flashHolds(code) && clock.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    StoreCurrentFlashData(linktest::imageOf(simtest::flash()));
    const double medianTime = median(times);
    const double medianBound = median(bounds);
    const double medianGui = median(guiTimes);
    std::printf("median %.2f ms against a bound of %.2f ms: %s\n", medianTime, medianBound,
                medianTime <= medianBound ? "within" : "OVER");
    std::printf("slider to sent: GUI thread median %.1f us, at most %llu report(s) per edit\n", medianGui, maxReports);
    const double medianSetter = median(setterTimes);
    std::printf("setter (DPIToSensorCode): GUI thread median %.1f us (target <= 20), at most %llu report(s) per "
                "edit (target 1)\n",
                medianSetter, setterReports);
    std::printf("the device library's ProtocolDataUpdate alone, same conditions: median %.1f us\n", median(libraryTimes));
    const bool met = medianTime <= medianBound && medianSetter <= 20.0 && maxReports == 1 && setterReports == 1;
    std::fflush(stdout);
    return met ? 0 : 1;
}
