#pragma once

#include "dialogs/DialogFrame.h"

// Tells that something cannot be done now: another copy of the program runs
// (its own message), or, in the macro editor, a recording must be stopped
// first (SetLabelText2) or a macro chosen first (SetLabelText).
class ExeIsRun final : public dialogs::DialogFrame
{
    Q_OBJECT

public:
    explicit ExeIsRun(QWidget* parent = nullptr);

    // Shows the kept "choose a macro first" text.
    void SetLabelText();
    // Shows the kept "stop recording first" text.
    void SetLabelText2();

protected:
    void applyLanguage(const shell::LanguageElement& texts) override;

private:
    QString m_chooseMacroText;
    QString m_stopRecordingText;
};
