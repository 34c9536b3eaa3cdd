#pragma once

#include "core/IniStore.h"

#include <QString>
#include <QStringList>

// The user's few settings in "/Macro.ini" of the per-user folder:
// "Language"/"Language" (language index "0".."5"), "AutoStart"/"Enable",
// "FindNew"/"IsShow". Text values; a hand edit made while the program runs is
// read and kept. Any thread may use it.
class MacroIni
{
public:
    // The process-wide instance over MacroIniPath(); made on first call under
    // a mutex. Never deleted.
    static MacroIni* Instance();

    // An independent store over another file (tests); reads it now.
    explicit MacroIni(const QString& path);

    // Empty when missing.
    QString GetValue(const QString& group, const QString& key);
    // The value's items as the file shows a list ("a, b"); empty when missing.
    QStringList GetValueList(const QString& group, const QString& key);

    // Written through at once (merged, then an atomic replace of the file). The value holds
    // for the rest of the run either way; false, with a warning in the log,
    // when the file could not be written, which then stays as it was.
    bool SetValue(const QString& group, const QString& key, const QString& value);
    template <typename T, typename = std::enable_if_t<!core::kIsStoreText<T>>>
    bool SetValue(const QString& group, const QString& key, const T& value) = delete;
    bool RemoveValue(const QString& group, const QString& key);

    // The language index stored under "Language"/"Language": 0..5, and 0 for
    // a missing or unknown value.
    int LanguageIndex();

    QString FilePath() const { return m_store.path(); }

private:
    core::IniStore m_store;
};
