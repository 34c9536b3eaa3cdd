#include "dialogs_helpers.h"

#include "core/MacroIni.h"
#include "shell/common/LanguageNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QWidget>

namespace dialogtest {

QWidget* findWidget(const QObject* parent, const char* name)
{
    auto* found = parent->findChild<QWidget*>(QString::fromLatin1(name));
    if (!found)
        qWarning("%s has no child widget named %s", qPrintable(parent->objectName()), name);
    return found;
}

QString shippedText(int index, const QString& element, const QString& child)
{
    QFile file(QCoreApplication::applicationDirPath() + QString::fromUtf8(shell::languageName(index).file));
    QDomDocument doc;
    if (!file.open(QIODevice::ReadOnly) || !doc.setContent(&file))
        return QString();
    const QDomElement e = doc.documentElement().firstChildElement(element).firstChildElement(child);
    return e.isNull() ? QString() : e.text();
}

void chooseLanguage(int index)
{
    MacroIni::Instance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"), QString::number(index));
}

FakeProgramFolder::FakeProgramFolder()
    : m_dir(new QTemporaryDir)
    , m_previous(qgetenv("TALVO_APP_DIR"))
{
    QDir(m_dir->path()).mkpath(QStringLiteral("Language"));
    qputenv("TALVO_APP_DIR", m_dir->path().toUtf8());
}

FakeProgramFolder::~FakeProgramFolder()
{
    if (m_previous.isEmpty())
        qunsetenv("TALVO_APP_DIR");
    else
        qputenv("TALVO_APP_DIR", m_previous);
}

void FakeProgramFolder::write(int index, const QByteArray& xml)
{
    QFile file(m_dir->path() + QString::fromUtf8(shell::languageName(index).file));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(xml);
}

QString FakeProgramFolder::path() const
{
    return m_dir->path();
}

} // namespace dialogtest
