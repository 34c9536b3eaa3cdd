#pragma once

#include <QMap>
#include <QMutex>
#include <QString>
#include <QStringList>

class QSettings;

// The user's few settings in "/Macro.ini" of the per-user folder:
// "Language"/"Language" (language index "0".."5"), "AutoStart"/"Enable",
// "FindNew"/"IsShow". Plain UTF-8 text values. Every call is serialised by
// the instance's own lock, so any thread may use it.
class MacroIni
{
public:
    // The process-wide instance over MacroIniPath(); made on first call under
    // a mutex. Never deleted.
    static MacroIni* Instance();

    // An independent store over another file (tests).
    explicit MacroIni(const QString& path);
    ~MacroIni();
    MacroIni(const MacroIni&) = delete;
    MacroIni& operator=(const MacroIni&) = delete;

    // Empty when missing.
    QString GetValue(const QString& group, const QString& key);
    QStringList GetValueList(const QString& group, const QString& key);

    // Written through at once (atomic replace of the file). False, with a
    // warning in the log, when the file could not be written; the file then
    // stays as it was. The language alone is still returned by this
    // instance for the rest of the run (it holds until the program closes),
    // but is not written later.
    bool SetValue(const QString& group, const QString& key, const QString& value);
    bool RemoveValue(const QString& group, const QString& key);

    // The language index stored under "Language"/"Language": 0..5, and 0 for
    // a missing or unknown value.
    int LanguageIndex();

    QString FilePath() const { return m_path; }

private:
    bool writeLocked(const QMap<QString, QString>& values);

    QMutex m_lock;
    QString m_path;
    QSettings* m_settings;
    QMap<QString, QString> m_unsaved;  // the language set this run, not written
};
