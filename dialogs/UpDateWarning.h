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
    // `text` with its %1, %2 ... replaced by `names` (file names, or lists of
    // them) as the message line can break them: a word of a name wider than
    // the line, with the message's characters against it, may break anywhere,
    // the rest only at their spaces. Call it after fitStartUpNotice.
    QString withNames(const QString& text, const QStringList& names) const;

protected:
    void applyLanguage(const shell::LanguageElement& texts) override;

private:
    QString breakableName(const QString& name, const QString& before, const QString& after) const;
};
