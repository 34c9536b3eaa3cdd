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

protected:
    void applyLanguage(const shell::LanguageElement& texts) override;
};
