#include "shell/common/QtTranslation.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QLoggingCategory>
#include <QPointer>
#include <QTranslator>

#include <iterator>
#include <memory>

Q_DECLARE_LOGGING_CATEGORY(lcLanguage)

namespace shell {

namespace {

// Qt's name for each language index; English needs none.
constexpr const char* kQtLanguages[] = {"", "zh_CN", "zh_TW", "ko", "ru", "ja"};

// Installing, removing or reloading an installed translator sends every window a language
// change, on which the pages put their built-in texts back over the language file's. So one
// translator is installed once, while still empty (which sends nothing), and it answers from
// another, loaded apart, that is swapped at each change.
class ForwardingTranslator final : public QTranslator
{
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override
    {
        return m_current->translate(context, sourceText, disambiguation, n);
    }

    bool isEmpty() const override { return m_current->isEmpty(); }

    // True when the language's file was found and read; the previous language is dropped either way.
    bool load(const QString& language)
    {
        m_current = std::make_unique<QTranslator>();
        return !language.isEmpty()
               && m_current->load(QStringLiteral("qtbase_") + language,
                                  QLibraryInfo::location(QLibraryInfo::TranslationsPath));
    }

private:
    std::unique_ptr<QTranslator> m_current = std::make_unique<QTranslator>();
};

} // namespace

bool useQtTranslation(int languageIndex)
{
    static QPointer<ForwardingTranslator> translator;
    if (!translator) {
        translator = new ForwardingTranslator(QCoreApplication::instance());
        QCoreApplication::installTranslator(translator);
    }
    const bool known = languageIndex > 0 && languageIndex < int(std::size(kQtLanguages));
    const QString language = known ? QString::fromLatin1(kQtLanguages[languageIndex]) : QString();
    const bool loaded = translator->load(language);
    // A Qt dialog built before the change (the DPI editor keeps its colour dialog) takes the new
    // texts; it alone is told, as the program's own windows keep the language file's.
    for (QWidget* widget : QApplication::allWidgets()) {
        if (qobject_cast<QColorDialog*>(widget) || qobject_cast<QFileDialog*>(widget)) {
            QEvent change(QEvent::LanguageChange);
            QCoreApplication::sendEvent(widget, &change);
        }
        // Qt names its colour dialog once, when it is built, and not again on a change.
        if (auto* colours = qobject_cast<QColorDialog*>(widget))
            colours->setWindowTitle(QColorDialog::tr("Select Color"));
    }
    if (!loaded && !language.isEmpty())
        qCInfo(lcLanguage) << "no Qt translation for" << language << "; Qt's dialogs stay in English";
    return loaded;
}

} // namespace shell
