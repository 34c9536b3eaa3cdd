#pragma once

#include "dialogs/DialogFrame.h"

class QCheckBox;

// "New firmware found": OK, close, and a box for not showing it again, which
// the notice leaves to whoever opens it.
class FindNewVer final : public dialogs::DialogFrame
{
    Q_OBJECT

public:
    explicit FindNewVer(QWidget* parent = nullptr);

    QCheckBox* noAppearBox() const { return m_noAppear; }

protected:
    void applyLanguage(const shell::LanguageElement& texts) override;

private:
    QCheckBox* m_noAppear = nullptr;
};
