#pragma once

// Every form of the sensor option widgets, for the tests that build them all.
#include "sensor/DebounceTime.h"
#include "sensor/DebouncetimeB.h"
#include "sensor/DebouncetimeC.h"
#include "sensor/MotionSync.h"
#include "sensor/MotionSyncB.h"
#include "sensor/RippeControl.h"
#include "sensor/RippeControlB.h"
#include "sensor/SensorDPI.h"
#include "sensor/SensorEffect.h"
#include "sensor/SensorEffectB.h"
#include "sensor/SensorLOD.h"
#include "sensor/SensorLODB.h"
#include "sensor/SensorRate.h"
#include "sensor/SensorRateB.h"
#include "sensor/StopCloseTime.h"
#include "sensor/StopCloseTimeB.h"
#include "sensor/StraightLine.h"
#include "sensor/StraightLineB.h"

#include <QRegularExpression>
#include <QStringList>

#include <memory>

namespace optiontest {

struct Form
{
    const char* name;
    QWidget* (*make)();
};

template <class T>
QWidget* make()
{
    return new T;
}

inline constexpr Form kForms[] = {
    {"RippeControl", &make<RippeControl>},   {"StraightLine", &make<StraightLine>},
    {"MotionSync", &make<MotionSync>},       {"RippeControlB", &make<RippeControlB>},
    {"StraightLineB", &make<StraightLineB>}, {"MotionSyncB", &make<MotionSyncB>},
    {"SensorLOD", &make<SensorLOD>},         {"SensorLODB", &make<SensorLODB>},
    {"DebounceTime", &make<DebounceTime>},   {"DebouncetimeB", &make<DebouncetimeB>},
    {"DebouncetimeC", &make<DebouncetimeC>}, {"SensorRate", &make<SensorRate>},
    {"SensorRateB", &make<SensorRateB>},     {"SensorEffect", &make<SensorEffect>},
    {"SensorEffectB", &make<SensorEffectB>}, {"StopCloseTime", &make<StopCloseTime>},
    {"StopCloseTimeB", &make<StopCloseTimeB>}, {"SensorDPI", &make<SensorDPI>},
};

// Style sheets of `root` and its children with a colour that lost its
// numbers ("rgb()", "rgb(;)"), which Qt drops silently.
inline QStringList brokenColours(const QWidget* root)
{
    static const QRegularExpression empty(QStringLiteral("rgba?\\(\\s*[;)]"));
    QList<const QWidget*> widgets = {root};
    for (const QWidget* w : root->findChildren<QWidget*>())
        widgets << w;
    QStringList broken;
    for (const QWidget* w : widgets) {
        if (w->styleSheet().contains(empty))
            broken << w->objectName();
    }
    return broken;
}

} // namespace optiontest
