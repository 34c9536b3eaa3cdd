#pragma once

#include "dialogs/DialogFrame.h"

// A notice whose message the caller supplies (firmware notices). Only the OK
// caption comes from the language file; OK answers Return and Enter.
class UpDateWarning final : public dialogs::DialogFrame
{
    Q_OBJECT

public:
    explicit UpDateWarning(QWidget* parent = nullptr);

    void SetText(QString text);
    // The start-up notices name up to four paths or files: a smaller font and
    // the card's full height keep them readable. Without the pictures the card
    // would be light grey under light text and OK a bare word, so it is drawn
    // plainly then.
    void fitStartUpNotice(bool picturesMissing);
    // Names (file names, or lists of them) as the message line can break
    // them: a word wider than the line may break anywhere, the rest only at
    // their spaces. Call it after fitStartUpNotice.
    QString breakableName(const QString& name) const;

protected:
    void applyLanguage(const shell::LanguageElement& texts) override;
};
