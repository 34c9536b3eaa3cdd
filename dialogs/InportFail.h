#pragma once

#include "dialogs/DialogFrame.h"

// Tells why a settings file could not be imported. The import's result
// (ImportResult) must be set before construction: the texts are chosen by it.
class InportFail final : public dialogs::DialogFrame
{
    Q_OBJECT

public:
    explicit InportFail(QWidget* parent = nullptr);

protected:
    void applyLanguage(const shell::LanguageElement& texts) override;
};
