#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QVector>

#include <array>
#include <optional>

class QIODevice;

// The sensor definitions shipped beside the program in "/driver_sensor.h":
// named codes ("#define" + space + name + TAB + value) and, per feature, the
// list of sensor models that have it ("#define SUPPORT_LOD_CAL" + TAB +
// "TV3395,TV3950"). A name of the form "SENSOR_" + model + "_DPI_" + DPI gives
// the code that model stores for that DPI. The table is read once; pages only
// read it.
namespace core {

enum class SensorFeature {
    SensorModeSel,
    LodCal,
    Ripple,
    FixLine,
    MotionSync,
    MousepadCal,
};
inline constexpr int kSensorFeatureCount = 6;

struct SensorDefines {
    QVector<QString> names;  // file order, duplicates kept
    QVector<int> values;     // index-aligned with names
    std::array<QString, kSensorFeatureCount> features;  // model lists as written
    // Kept by the parser beside names/values, so that a DPI edit looks a code up without walking
    // the whole file: the first index of each name, and every model X that some name holds as
    // "SENSOR_" + X + "_DPI". A table filled by hand leaves them empty and is searched in full.
    QHash<QString, int> firstIndex;
    QSet<QString> dpiTableModels;

    void append(const QString& name, int value);

    bool isEmpty() const { return names.isEmpty(); }

    // The model list of a feature as written in the file, "" when absent.
    QString featureText(SensorFeature feature) const;

    // Whether the feature's model list names this model: the list is split at
    // commas and compared item by item, so "TV39" is not taken for "TV3950".
    // An empty model has no feature.
    bool hasFeature(SensorFeature feature, const QString& model) const;

    // Whether some name contains "SENSOR_" + model + "_DPI", i.e. the model
    // has its own table of DPI codes.
    bool hasDpiTable(const QString& model) const;

    // Value of the first definition with exactly this name.
    std::optional<int> valueOf(const QString& name) const;
};

// "SENSOR_" + model + "_DPI" and "SENSOR_" + model + "_DPI_" + dpi.
QString DpiFamilyPrefix(const QString& model);
QString DpiEntryName(const QString& model, int dpi);

// Parses the text of a definitions file. Lines that fit no known form are
// skipped; nothing in the input can make it fail. Bounded: input beyond
// kMaxSensorDefineBytes is not read.
inline constexpr qint64 kMaxSensorDefineBytes = 1 << 20;
SensorDefines ParseSensorDefinitions(const QByteArray& text);

// Reads and parses a file. A missing, unreadable or oversized file gives an
// empty table, false and the cause in *error.
bool LoadSensorDefinitions(const QString& path, SensorDefines* defines, QString* error = nullptr);

// The table of AppDir() + "/driver_sensor.h", read on first use (thread-safe)
// and kept for the life of the process. A file that cannot be read leaves it
// empty and writes one warning to the log.
const SensorDefines& SharedSensorDefines();

} // namespace core
