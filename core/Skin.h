#pragma once

#include <QString>
#include <QStringList>

// Colours of the interface as Config.ini's "Option" group gives them: "r,g,b"
// triples written into style sheets. No widget code.
namespace core {

// Used when Config.ini lacks a colour the skin does not name: the skin's text
// colour on the dark card.
inline constexpr char kFallbackTextColour[] = "230,232,238";

// "r,g,b" from the first three items of a Config.ini colour list; `fallback`
// (also "r,g,b") when the list is shorter, so a damaged entry gives a
// readable colour instead of a broken style sheet.
QString colourTriple(const QStringList& items, const char* fallback);

// colourTriple of the "Option" key `key` over a fallback of the caller's (widgets use the
// form below).
QString optionColour(const char* key, const char* fallback);

// The same with the shipped skin's own colour of `key` as the fallback (kFallbackTextColour for a
// key the skin does not name), so that every widget styled with one key agrees on it.
QString optionColour(const char* key);

} // namespace core
