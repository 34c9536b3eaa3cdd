#include "core/Skin.h"

#include "core/ConfigIni.h"

#include <cstring>

namespace core {

namespace {

struct ColourFallback
{
    const char* key;
    const char* rgb;
};

// The shipped skin's colours, used where Config.ini lacks a usable list.
constexpr ColourFallback kFallbacks[] = {
    {"LabelColor", kFallbackTextColour},
    {"ButtonColor", kFallbackTextColour},
    {"SliderColor", "0,194,255"},
    {"ComboxTextColor", "255,255,255"},
    {"ComboxSelectColor", "0,104,148"},
    {"ComboxBackGroundColor", "39,43,52"},
    {"LinEditColorSecond", "0,194,255"},
};

const char* fallbackOf(const char* key)
{
    for (const ColourFallback& row : kFallbacks) {
        if (std::strcmp(row.key, key) == 0)
            return row.rgb;
    }
    return kFallbackTextColour;
}

} // namespace

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

QString optionColour(const char* key)
{
    return optionColour(key, fallbackOf(key));
}

} // namespace core
