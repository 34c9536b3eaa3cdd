#pragma once

#include "dialogs/DialogFrame.h"

class QLineEdit;

namespace dialogs {
// A macro name as typed: a blank typed at the end removes every blank;
// characters that cannot stand in a file name (path separators, control
// characters, : * ? " < > |) are dropped, and a name of dots alone is empty;
// the name is cut to the longest leading part of at most 30 bytes in the
// local 8-bit encoding, never inside a character.
QString filterMacroName(const QString& typed);
} // namespace dialogs

// Asks for a macro name, for a new macro or a rename. EnteredName holds the
// name after OK and stays empty after Cancel, Close or Escape.
class QuestionDialog final : public dialogs::DialogFrame
{
    Q_OBJECT

public:
    explicit QuestionDialog(QWidget* parent = nullptr);

    // Shows the kept question: the rename question (true) or the new-macro
    // question (false).
    void SetTipText(bool rename);

    QString EnteredName;

public slots:
    void WindowClosedLan();
    void on_lineEdit_textEdited(const QString& text);

protected:
    void applyLanguage(const shell::LanguageElement& texts) override;
    void okClicked() override;
    void cancelClicked() override;
    void closeClicked() override;

private:
    QLineEdit* m_lineEdit = nullptr;
    QString m_newMacroText;
    QString m_renameText;
};
