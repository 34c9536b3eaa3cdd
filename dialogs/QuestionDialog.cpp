#include "dialogs/QuestionDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
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

constexpr int kMaxNameBytes = 30;
} // namespace

namespace dialogs {

QString filterMacroName(const QString& typed)
{
    QString name = typed;
    if (!name.isEmpty() && name.back() == QLatin1Char(' '))
        name.remove(QLatin1Char(' '));
    // The name becomes a file name in the macro folder: a separator would
    // put the file elsewhere, and the others cannot stand in a file name on
    // every system the macro files travel to.
    name.remove(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|\\x{0}-\\x{1F}\\x{7F}]")));
    // A name of dots alone is no file name of its own.
    if (name.count(QLatin1Char('.')) == name.size())
        name.clear();
    if (name.toLocal8Bit().size() <= kMaxNameBytes)
        return name;
    // Grow by whole characters (a surrogate pair is one) while the bytes fit.
    int end = 0;
    while (end < name.size()) {
        int next = end + ((name.at(end).isHighSurrogate() && end + 1 < name.size()) ? 2 : 1);
        if (name.left(next).toLocal8Bit().size() > kMaxNameBytes)
            break;
        end = next;
    }
    return name.left(end);
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
