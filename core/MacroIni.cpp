#include "core/MacroIni.h"

#include "core/AppPaths.h"
#include "core/FileIo.h"

#include <QLoggingCategory>
#include <QMutexLocker>
#include <QSettings>
#include <QTextCodec>

namespace {
Q_LOGGING_CATEGORY(lcMacroIni, "app.core.macroini")
constexpr int kLanguageCount = 6;
constexpr char kLanguageAddress[] = "Language/Language";
// The store holds a handful of short values.
constexpr qint64 kMaxMacroIniBytes = 1024 * 1024;
}

MacroIni* MacroIni::Instance()
{
    static QMutex creation;
    static MacroIni* instance = nullptr;
    QMutexLocker locker(&creation);
    if (!instance)
        instance = new MacroIni(MacroIniPath());
    return instance;
}

MacroIni::MacroIni(const QString& path)
    : m_path(path)
    // QSettings would block on a FIFO and read any size whole: a damaged store is set aside
    // first, and one that cannot be is not used at all (defaults, no writes).
    , m_settings(core::setAsideDamagedStore(path, kMaxMacroIniBytes) ? new QSettings(path, QSettings::IniFormat)
                                                                      : nullptr)
{
    if (m_settings)
        m_settings->setIniCodec(QTextCodec::codecForName("UTF-8"));
}

MacroIni::~MacroIni()
{
    delete m_settings;
}

QString MacroIni::GetValue(const QString& group, const QString& key)
{
    QMutexLocker locker(&m_lock);
    const QString address = group + QLatin1Char('/') + key;
    if (m_unsaved.contains(address))
        return m_unsaved.value(address);
    if (!m_settings)
        return QString();
    return m_settings->value(address, QString()).toString();
}

QStringList MacroIni::GetValueList(const QString& group, const QString& key)
{
    QMutexLocker locker(&m_lock);
    if (!m_settings)
        return QStringList();
    return m_settings->value(group + QLatin1Char('/') + key).toStringList();
}

bool MacroIni::SetValue(const QString& group, const QString& key, const QString& value)
{
    QMutexLocker locker(&m_lock);
    const QString address = group + QLatin1Char('/') + key;
    QMap<QString, QString> values = m_settings ? core::settingsTexts(*m_settings) : QMap<QString, QString>();
    values.insert(address, value);
    if (!m_settings || !writeLocked(values)) {
        // A language that could not be kept still holds for this run (the user is told so):
        // every window made later speaks it too. Other choices are taken back by their pages.
        if (address == QLatin1String(kLanguageAddress))
            m_unsaved.insert(address, value);
        return false;
    }
    m_unsaved.remove(address);
    return true;
}

bool MacroIni::RemoveValue(const QString& group, const QString& key)
{
    QMutexLocker locker(&m_lock);
    const QString address = group + QLatin1Char('/') + key;
    m_unsaved.remove(address);
    if (!m_settings)
        return false;
    QMap<QString, QString> values = core::settingsTexts(*m_settings);
    return values.remove(address) == 0 || writeLocked(values);
}

int MacroIni::LanguageIndex()
{
    bool ok = false;
    const int index = GetValue(QStringLiteral("Language"), QStringLiteral("Language")).toInt(&ok);
    return ok && index >= 0 && index < kLanguageCount ? index : 0;
}

bool MacroIni::writeLocked(const QMap<QString, QString>& values)
{
    // Not through QSettings: its writer reports success when a full disk leaves the file empty.
    QString error;
    const bool written = core::writeSettingsAtomically(m_path, values, &error);
    if (!written)
        qCWarning(lcMacroIni, "cannot write: %s", qPrintable(error));
    // Reads the file again: what the disk holds is what the store shows.
    m_settings->sync();
    return written;
}
