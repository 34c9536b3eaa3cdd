#include "core/DpiCodes.h"

namespace core {

namespace {
constexpr int kDpiStep = 50;
}

int DpiToSensorCode(const SensorDefines& defines, const QString& model, int dpi)
{
    if (!defines.hasDpiTable(model))
        return dpi / kDpiStep - 1;
    if (const auto code = defines.valueOf(DpiEntryName(model, dpi)))
        return *code;
    return dpi / kDpiStep;
}

int SensorCodeToDpi(const SensorDefines& defines, const QString& model, int code)
{
    if (defines.isEmpty())
        return (code + 1) * kDpiStep;
    const QString prefix = DpiFamilyPrefix(model);
    const QString entryPrefix = prefix + QLatin1Char('_');
    bool hasTable = false;
    for (int i = 0; i < defines.names.size(); ++i) {
        const QString& name = defines.names.at(i);
        if (!name.contains(prefix))
            continue;
        hasTable = true;
        if (defines.values.at(i) != code)
            continue;
        // The DPI is the number after the family prefix; reading it from there
        // (not from the first capital "I") keeps models whose name holds an
        // "I" readable.
        const int at = name.indexOf(entryPrefix);
        bool ok = false;
        const int dpi = at < 0 ? 0 : name.midRef(at + entryPrefix.size()).toInt(&ok);
        // The shown DPI is doubled and stepped on; a number no sensor reaches is no entry.
        return ok && dpi >= 0 && dpi <= kMaxDpiValue ? dpi : 0;
    }
    return hasTable ? 0 : (code + 1) * kDpiStep;
}

} // namespace core
