#include "core/SensorDefines.h"

#include "core/AppPaths.h"
#include "core/FileIo.h"

#include <QLoggingCategory>
#include <QStringList>

namespace core {
namespace {

// Sensor models are a few characters ("3395", "TV3950").
constexpr int kIndexedModelLength = 64;

Q_LOGGING_CATEGORY(lcSensor, "app.core.sensor")

// Tested in this order; a token that holds several names counts for the first.
constexpr std::array<const char*, kSensorFeatureCount> kFeatureNames = {
    "SUPPORT_SENSOR_MODE_SEL", "SUPPORT_LOD_CAL",     "SUPPORT_RIPPLE",
    "SUPPORT_FIXLINE",         "SUPPORT_MOTION_SYNC", "SUPPORT_MOUSEPAD_CAL",
};

int featureIndexOf(const QString& token)
{
    for (int i = 0; i < kSensorFeatureCount; ++i) {
        if (token.contains(QLatin1String(kFeatureNames[i])))
            return i;
    }
    return -1;
}

// Hexadecimal when the text holds "0x", decimal otherwise; 0 when it is no
// number. Both line forms read values the same way, so a commented
// definition "0x10 //..." is 16, not 0.
int readValue(const QString& text)
{
    bool ok = false;
    const int value = text.contains(QLatin1String("0x")) ? text.toInt(&ok, 16) : text.toInt(&ok, 10);
    return ok ? value : 0;
}

QStringList tabParts(const QString& token)
{
    return token.split(QLatin1Char('\t'), Qt::SkipEmptyParts);
}

void parseLine(const QString& line, SensorDefines& out)
{
    const QStringList tokens = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (tokens.size() == 2) {
        const QStringList parts = tabParts(tokens.at(1));
        if (const int feature = featureIndexOf(tokens.at(1)); feature >= 0) {
            if (parts.size() >= 2)
                out.features[feature] = parts.at(1);
            return;
        }
        // The value must end the line: "name TAB value TAB comment" is not a
        // definition of this form.
        if (tokens.at(0) == QLatin1String("#define") && parts.size() == 2) {
            out.append(parts.at(0), readValue(parts.at(1)));
        }
        return;
    }
    if (tokens.size() == 3 && tokens.at(2).contains(QLatin1String("//"))) {
        const QStringList parts = tabParts(tokens.at(1));
        if (parts.size() == 2) {
            out.append(parts.at(0), readValue(parts.at(1)));
        }
    }
}

} // namespace

QString SensorDefines::featureText(SensorFeature feature) const
{
    return features[static_cast<int>(feature)];
}

bool SensorDefines::hasFeature(SensorFeature feature, const QString& model) const
{
    if (model.isEmpty())
        return false;
    const QStringList models = featureText(feature).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& item : models) {
        if (item.trimmed() == model)
            return true;
    }
    return false;
}

void SensorDefines::append(const QString& name, int value)
{
    if (!firstIndex.contains(name))
        firstIndex.insert(name, names.size());
    names.append(name);
    values.append(value);
    // Each "SENSOR_" followed, anywhere later, by "_DPI" names one model X for which the name
    // contains "SENSOR_" + X + "_DPI": exactly the models the full search would find. Only models
    // up to kIndexedModelLength are indexed, which keeps a long name linear; a longer model is
    // searched in full.
    const QLatin1String head("SENSOR_"), tail("_DPI");
    for (int at = name.indexOf(head); at >= 0; at = name.indexOf(head, at + 1)) {
        const int from = at + head.size();
        const QStringRef window = name.midRef(from, kIndexedModelLength + tail.size());
        for (int end = window.indexOf(tail); end >= 0; end = window.indexOf(tail, end + 1))
            dpiTableModels.insert(name.mid(from, end));
    }
}

bool SensorDefines::hasDpiTable(const QString& model) const
{
    if (firstIndex.size() > 0 && model.size() <= kIndexedModelLength)
        return dpiTableModels.contains(model);
    const QString prefix = DpiFamilyPrefix(model);
    for (const QString& name : names) {
        if (name.contains(prefix))
            return true;
    }
    return false;
}

std::optional<int> SensorDefines::valueOf(const QString& name) const
{
    const int index = firstIndex.size() > 0 ? firstIndex.value(name, -1) : names.indexOf(name);
    if (index < 0)
        return std::nullopt;
    return values.at(index);
}

QString DpiFamilyPrefix(const QString& model)
{
    return QStringLiteral("SENSOR_") + model + QStringLiteral("_DPI");
}

QString DpiEntryName(const QString& model, int dpi)
{
    return DpiFamilyPrefix(model) + QLatin1Char('_') + QString::number(dpi);
}

SensorDefines ParseSensorDefinitions(const QByteArray& text)
{
    SensorDefines out;
    const QString all = QString::fromUtf8(text.left(int(kMaxSensorDefineBytes)));
    // Line breaks of either kind end a line; a last line without one still counts.
    const QStringList lines = QString(all).replace(QLatin1String("\r\n"), QLatin1String("\n")).split(QLatin1Char('\n'));
    for (QString line : lines) {
        line.remove(QLatin1Char('\r'));
        parseLine(line, out);
    }
    return out;
}

bool LoadSensorDefinitions(const QString& path, SensorDefines* defines, QString* error)
{
    QByteArray bytes;
    if (!readFileBounded(path, kMaxSensorDefineBytes, &bytes, error)) {
        *defines = SensorDefines();
        return false;
    }
    *defines = ParseSensorDefinitions(bytes);
    return true;
}

const SensorDefines& SharedSensorDefines()
{
    static const SensorDefines defines = [] {
        SensorDefines table;
        QString error;
        const QString path = AppDir() + QStringLiteral("/driver_sensor.h");
        if (!LoadSensorDefinitions(path, &table, &error))
            qCWarning(lcSensor) << "sensor definitions not read:" << path << error;
        return table;
    }();
    return defines;
}

} // namespace core
