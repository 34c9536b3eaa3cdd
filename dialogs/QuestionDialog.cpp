#include "dialogs/QuestionDialog.h"

#include "core/MacroCodec.h"

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {
const dialogs::FrameLayout kLayout = {"QuestionDialog",
                                  "Question",
                                  "Question",
                                  {"label", QRect(30, 20, 241, 41), "Please create a macro first"},
                                  {"CloseButton", QRect(275, 5, 20, 20)},
                                  {"NewHong", QRect(50, 110, 90, 24), "确认"},
                                  {"NewHong_2", QRect(170, 110, 90, 24), "取消"},
                                  dialogs::LabelAlignLeft,
                                  QSize(300, 140)};
} // namespace

namespace dialogs {

QString filterMacroName(const QString& typed)
{
    QString name = typed;
    if (!name.isEmpty() && name.back() == QLatin1Char(' '))
        name.remove(QLatin1Char(' '));
    // The name becomes a file name in the macro folder and the name field of
    // a button's macro record.
    return core::cutToLocal8Bit(core::stripUnsafeNameCharacters(name), kMacroNameBytes);
}

} // namespace dialogs

QuestionDialog::QuestionDialog(QWidget* parent)
    : DialogFrame(kLayout, parent)
{
    m_lineEdit = new QLineEdit(frame());
    m_lineEdit->setObjectName(QStringLiteral("lineEdit"));
    m_lineEdit->setGeometry(30, 70, 241, 20);
    m_lineEdit->setAlignment(Qt::AlignCenter);
    m_lineEdit->setStyleSheet(lineEditStyle());
    connect(m_lineEdit, &QLineEdit::textEdited, this, &QuestionDialog::on_lineEdit_textEdited);
    m_lineEdit->setFocus();
    loadCurrentLanguage();
}

void QuestionDialog::SetTipText(bool rename)
{
    label()->setText(rename ? m_renameText : m_newMacroText);
}

void QuestionDialog::WindowClosedLan()
{
    EnteredName.clear();
    close();
}

void QuestionDialog::on_lineEdit_textEdited(const QString& text)
{
    const QString filtered = dialogs::filterMacroName(text);
    if (filtered != text)
        m_lineEdit->setText(filtered);
}

void QuestionDialog::applyLanguage(const shell::LanguageElement& texts)
{
    m_newMacroText = texts.text(QStringLiteral("label"), m_newMacroText);
    m_renameText = texts.text(QStringLiteral("label_2"), m_renameText);
    QString text;
    if (texts.find(QStringLiteral("NewHong"), &text))
        okButton()->setText(text);
    if (texts.find(QStringLiteral("NewHong_2"), &text))
        cancelButton()->setText(text);
}

void QuestionDialog::okClicked()
{
    EnteredName = m_lineEdit->text();
    close();
}

void QuestionDialog::cancelClicked()
{
    WindowClosedLan();
}

void QuestionDialog::closeClicked()
{
    WindowClosedLan();
}
