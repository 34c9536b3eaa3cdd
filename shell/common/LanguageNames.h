#pragma once

// The language files beside the program, by language index. Shared by the
// loader and by the build-time generator that writes the files, so the two
// can never disagree on a name.
namespace shell {

struct LanguageName
{
    const char* file;   // below the program folder, UTF-8
    const char* native; // how the language calls itself
};

constexpr LanguageName kLanguageNames[] = {
    {"/Language/0-English.xml", "English"},
    {"/Language/1-\xE7\xAE\x80\xE4\xBD\x93\xE4\xB8\xAD\xE6\x96\x87.xml",
     "\xE7\xAE\x80\xE4\xBD\x93\xE4\xB8\xAD\xE6\x96\x87"},
    {"/Language/2-\xE7\xB9\x81\xE4\xBD\x93\xE4\xB8\xAD\xE6\x96\x87.xml",
     "\xE7\xB9\x81\xE9\xAB\x94\xE4\xB8\xAD\xE6\x96\x87"},
    {"/Language/3-Korea.xml", "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4"},
    {"/Language/4-Russia.xml", "\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9"},
    {"/Language/5-Japanese.xml", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"},
};

constexpr int kLanguageCount = int(sizeof(kLanguageNames) / sizeof(kLanguageNames[0]));

// Any index outside the table reads English.
constexpr const LanguageName& languageName(int index)
{
    return kLanguageNames[(index >= 0 && index < kLanguageCount) ? index : 0];
}

} // namespace shell
