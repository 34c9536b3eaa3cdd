// A configuration image across the bus: how long a report thread waits for
// one blocking queued emission of the 10428-byte image to be handled on the
// GUI thread, and the cost of the copy-in/copy-out of the shared image.
//
//   bench_bus_image [emissions]     default 2000

#include "core/FlashDataMap.h"
#include "core/PostMsg.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class Sink : public QObject
{
public:
    void take(FlashDataMap image) { m_sum += image.ReportRate + image.MacroRecords[15].EventCount; }
    quint64 m_sum = 0;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    RegisterBusTypes();
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 2000;

    Sink sink;
    QObject::connect(PostMsg::instance(), &PostMsg::SigUpDataLightSensor, &sink, &Sink::take,
                     Qt::BlockingQueuedConnection);
    std::vector<double> waits;
    waits.reserve(size_t(count));
    QThread* reporter = QThread::create([count, &waits] {
        FlashDataMap image = EmptyFlashDataMap();
        for (int i = 0; i < count; ++i) {
            image.ReportRate = quint8(i);
            QElapsedTimer clock;
            clock.start();
            PostMsg::instance()->EmitUpDataLightSensor(image);
            waits.push_back(clock.nsecsElapsed() / 1000.0);
        }
    });
    QObject::connect(reporter, &QThread::finished, &app, &QCoreApplication::quit);
    reporter->start();
    app.exec();
    reporter->wait();
    delete reporter;

    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < count; ++i) {
        FlashDataMap copy = CurrentFlashDataCopy();
        copy.ReportRate = quint8(i);
        StoreCurrentFlashData(copy);
    }
    const double copyUs = clock.nsecsElapsed() / 1000.0 / count;

    std::printf("blocking emission of the image: median %.1f us, max %.1f us over %d\n", median(waits),
                waits.empty() ? 0.0 : *std::max_element(waits.begin(), waits.end()), count);
    std::printf("copy out + copy in of the shared image: %.2f us\n", copyUs);
    std::printf("(checksum %llu)\n", static_cast<unsigned long long>(sink.m_sum));
    return 0;
}
