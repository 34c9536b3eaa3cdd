#pragma once

#include "dialogs/DialogFrame.h"

// The macro notice: asks for a macro to be created before a button can carry
// one, or tells why a macro or settings file was not taken, written or sent.
class MakeMacro final : public dialogs::DialogFrame
{
    Q_OBJECT

public:
    // What the notice says; each has its own child in the language element.
    enum class Text {
        CreateFirst,     // no macro to choose from
        ImportRefused,   // a macro file that does not read as an export
        NameUnsafe,      // a macro name that cannot be a file name
        NameTooLong,     // a macro name longer than a button record keeps
        MacroTooLong,    // more events than a button record keeps
        ExportTooLong,   // more rows than an export file carries
        FileNotSaved,    // an export file that could not be written
        NotRenamed,      // a macro file that could not be renamed on disk
        NotDeleted,      // a macro file that could not be removed from disk
        MacroNotSaved,   // a macro file that could not be written
        LanguageNotSaved, // the language choice could not be stored
        StartUpNotSaved, // the start-with-the-session choice could not be stored
        ChoiceNotSaved,  // another choice of the user could not be stored
    };

    explicit MakeMacro(QWidget* parent = nullptr, Text text = Text::CreateFirst);

protected:
    void applyLanguage(const shell::LanguageElement& texts) override;

private:
    Text m_text;
};
