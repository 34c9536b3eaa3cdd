#include "core/Skin.h"

#include "core/ConfigIni.h"

namespace core {

QString colourTriple(const QStringList& items, const char* fallback)
{
    if (items.size() < 3)
        return QString::fromLatin1(fallback);
    return items.at(0).trimmed() + QLatin1Char(',') + items.at(1).trimmed() + QLatin1Char(',') + items.at(2).trimmed();
}

QString optionColour(const char* key, const char* fallback)
{
    return colourTriple(ConfigIni::GetInstance()->GetValueList(QStringLiteral("Option"), QString::fromLatin1(key)),
                        fallback);
}

} // namespace core
