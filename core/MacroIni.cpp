#include "core/MacroIni.h"

#include "core/AppPaths.h"

#include <QLoggingCategory>
#include <QMutex>
#include <QMutexLocker>

namespace {
Q_LOGGING_CATEGORY(lcMacroIni, "app.core.macroini")
constexpr int kLanguageCount = 6;
// The store holds a handful of short values.
constexpr qint64 kMaxMacroIniBytes = 1024 * 1024;

QString addressOf(const QString& group, const QString& key)
{
    return group + QLatin1Char('/') + key;
}
} // namespace

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
    : m_store(path, kMaxMacroIniBytes)
{
}

QString MacroIni::GetValue(const QString& group, const QString& key)
{
    return m_store.value(addressOf(group, key));
}

QStringList MacroIni::GetValueList(const QString& group, const QString& key)
{
    const QString text = GetValue(group, key);
    return text.isEmpty() ? QStringList() : text.split(QStringLiteral(", "));
}

bool MacroIni::SetValue(const QString& group, const QString& key, const QString& value)
{
    QString error;
    if (m_store.setValue(addressOf(group, key), value, &error))
        return true;
    qCWarning(lcMacroIni, "cannot write: %s", qPrintable(error));
    return false;
}

bool MacroIni::RemoveValue(const QString& group, const QString& key)
{
    QString error;
    if (m_store.remove(addressOf(group, key), &error))
        return true;
    qCWarning(lcMacroIni, "cannot write: %s", qPrintable(error));
    return false;
}

int MacroIni::LanguageIndex()
{
    bool ok = false;
    const int index = GetValue(QStringLiteral("Language"), QStringLiteral("Language")).toInt(&ok);
    return ok && index >= 0 && index < kLanguageCount ? index : 0;
}
