#include "dialogs/MakeMacro.h"

#include <QLabel>
#include <QToolButton>

namespace {
const dialogs::FrameLayout kLayout = {"MakeMacro",
                                  "MakeMacroA",
                                  "MakeMacro",
                                  {"label", QRect(6, 29, 291, 71), "Please create a macro first"},
                                  {"CloseButton", QRect(275, 5, 20, 20)},
                                  {"NewHong", QRect(100, 110, 90, 24), "确定"},
                                  {},
                                  dialogs::NoOption,
                                  QSize(300, 140)};

struct TextRow {
    MakeMacro::Text text;
    const char* child;
    const char* fallback;  // shown without a language file
};
const TextRow kTexts[] = {
    {MakeMacro::Text::CreateFirst, "label", "Please create a macro first"},
    {MakeMacro::Text::ImportRefused, "ImportRefused", "This file is not a macro file that can be imported"},
    {MakeMacro::Text::NameUnsafe, "NameUnsafe", "A macro name cannot hold \\ / : * ? \" < > |, \"xml\" or \".ini\""},
    {MakeMacro::Text::NameTooLong, "NameTooLong", "The macro name is too long for the mouse"},
    {MakeMacro::Text::MacroTooLong, "MacroTooLong", "The macro is too long for the mouse: at most 70 keys"},
    {MakeMacro::Text::ExportTooLong, "ExportTooLong", "The macro has too many rows to be exported"},
    {MakeMacro::Text::FileNotSaved, "FileNotSaved", "The file could not be saved"},
    {MakeMacro::Text::NotRenamed, "NotRenamed", "The macro file could not be renamed; the macro keeps its old name"},
    {MakeMacro::Text::NotDeleted, "NotDeleted", "The macro file could not be deleted; the macro stays"},
    {MakeMacro::Text::MacroNotSaved, "MacroNotSaved", "The macro could not be saved. Is the disk full or read-only?"},
    {MakeMacro::Text::LanguageNotSaved, "LanguageNotSaved",
     "The language could not be saved; it is used until the program closes"},
    {MakeMacro::Text::StartUpNotSaved, "StartUpNotSaved", "The start-up choice could not be saved; it stays as it was"},
    {MakeMacro::Text::ChoiceNotSaved, "ChoiceNotSaved", "This choice could not be saved"},
};

const TextRow& rowOf(MakeMacro::Text text)
{
    for (const TextRow& row : kTexts) {
        if (row.text == text)
            return row;
    }
    return kTexts[0];
}
} // namespace

MakeMacro::MakeMacro(QWidget* parent, Text text)
    : DialogFrame(kLayout, parent)
    , m_text(text)
{
    label()->setText(QString::fromUtf8(rowOf(text).fallback));
    loadCurrentLanguage();
}

void MakeMacro::applyLanguage(const shell::LanguageElement& texts)
{
    QString text;
    if (texts.find(QLatin1String(rowOf(m_text).child), &text))
        label()->setText(text);
    if (texts.find(okButton()->objectName(), &text))
        okButton()->setText(text);
}
