// The device refill as the report thread sees it: the blocking emission of
// SigUpDataLightUIButton from a second thread, with the button page and the
// macro page open, 50 macro files on disk and six button slots holding
// 70-event macros. Also the macro page's own share (the six records stored
// as files, as the button page asks for them) and a change of language.
//
//   bench_page_refill [refills]     default 50
//
// Runs in a temporary per-user folder; the user's macros are never touched.

#include "buttons/Buttoninterface.h"
#include "core/FlashDataMap.h"
#include "core/MacroCodec.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "macro/Macro.h"
#include "support/link_helpers.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kMacroFiles = 50;
constexpr int kMacroSlots = 6;
constexpr int kFunctionMacro = 6;

struct Figures {
    double median;
    double max;
};

Figures figuresOf(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

// Press and release of A, alternately, 70 events with 12 ms between them.
MacroRecord fullRecord(const QString& name)
{
    QVector<core::MacroRow> rows;
    for (int k = 0; k < kMacroRecordEvents; ++k) {
        if (k > 0)
            rows.append(core::makeDelayRow(12));
        rows.append(*core::makeKeyRow(QStringLiteral("A"), k % 2 == 1));
    }
    return core::recordFromRows(name, rows);
}

bool writeMacroFiles()
{
    for (int i = 0; i < kMacroFiles; ++i) {
        const QString name = QStringLiteral("bench%1").arg(i, 2, 10, QLatin1Char('0'));
        if (!core::writeMacroFile(name, 1, core::rowsFromRecord(fullRecord(name))))
            return false;
    }
    return true;
}

FlashDataMap imageWithMacros(FlashDataMap image)
{
    for (int slot = 0; slot < kMacroSlots; ++slot) {
        image.ButtonFunction[slot] = {kFunctionMacro, quint8(slot), quint8(1 + slot)};
        image.MacroRecords[slot] = fullRecord(QStringLiteral("bench%1").arg(slot, 2, 10, QLatin1Char('0')));
    }
    return image;
}

} // namespace

int main(int argc, char* argv[])
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qunsetenv("XDG_DATA_HOME");
    QApplication app(argc, argv);
    RegisterBusTypes();
    const int refills = argc > 1 ? std::max(1, atoi(argv[1])) : 50;
    if (!home.isValid() || !writeMacroFiles()) {
        std::printf("the macro files could not be written\n");
        return 1;
    }
    auto pages = linktest::openFreshDefaultMouse();
    if (!pages) {
        std::printf("the simulated mouse did not open\n");
        return 1;
    }
    pages->buttons->show();
    pages->macro->show();
    const FlashDataMap image = imageWithMacros(CurrentFlashDataCopy());
    StoreCurrentFlashData(image);
    PostMsg* bus = PostMsg::instance();

    std::vector<double> emitMs, macroMs, languageMs;
    QElapsedTimer timer;
    for (int i = 0; i < refills; ++i) {
        double ms = 0;
        linktest::runOffGuiThread([&] {
            QElapsedTimer clock;
            clock.start();
            bus->EmitUpDataLightUIButton(image);
            ms = double(clock.nsecsElapsed()) / 1e6;
        });
        emitMs.push_back(ms);
        timer.start();
        for (int slot = 0; slot < kMacroSlots; ++slot)
            bus->EmitButtonToMacro(image, slot);
        macroMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        app.processEvents();
    }
    for (int i = 0; i < 10; ++i) {
        timer.start();
        bus->EmitChangeLanguage(i % 2);
        languageMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        app.processEvents();
    }
    const Figures refill = figuresOf(emitMs);
    const Figures macro = figuresOf(macroMs);
    const Figures language = figuresOf(languageMs);
    std::printf("page refill (%s build), %d files, %d macro slots of %d events:\n", TALVO_BUILD_TYPE, kMacroFiles,
                kMacroSlots, kMacroRecordEvents);
    std::printf("  SigUpDataLightUIButton, blocking, %d refills: median %.3f ms, max %.3f ms "
                "(targets <= 50 ms, <= 150 ms)\n",
                refills, refill.median, refill.max);
    std::printf("  macro page, six records to files: median %.3f ms, max %.3f ms\n", macro.median, macro.max);
    std::printf("  SigChangeLanguage, 10 changes: median %.3f ms, max %.3f ms (target <= 200 ms)\n", language.median,
                language.max);
    return 0;
}
