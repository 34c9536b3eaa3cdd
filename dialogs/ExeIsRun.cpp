#include "dialogs/ExeIsRun.h"

#include <QLabel>
#include <QToolButton>

namespace {
// The built-in message is the one shown when a second copy starts: that
// opener sets no text of its own, so without a language file this is all the
// user learns.
const dialogs::FrameLayout kLayout = {"ExeIsRun",
                                  "DeleteConfirmA",
                                  "EXEIsRun",
                                  {"label", QRect(0, 30, 301, 71), "The program is already running"},
                                  {"CloseButton", QRect(275, 5, 20, 20)},
                                  {"NewHong", QRect(100, 110, 90, 24), "确定"},
                                  {},
                                  dialogs::NoOption,
                                  QSize(300, 140)};
} // namespace

ExeIsRun::ExeIsRun(QWidget* parent)
    : DialogFrame(kLayout, parent)
{
    setMinimumSize(298, 140);
    setMaximumSize(300, 140);
    okButton()->setMinimumSize(0, 0);
    okButton()->setMaximumSize(500, 500);
    loadCurrentLanguage();
}

void ExeIsRun::SetLabelText()
{
    label()->setText(m_chooseMacroText);
}

void ExeIsRun::SetLabelText2()
{
    label()->setText(m_stopRecordingText);
}

void ExeIsRun::applyLanguage(const shell::LanguageElement& texts)
{
    DialogFrame::applyLanguage(texts);
    m_chooseMacroText = texts.text(QStringLiteral("label_2"), m_chooseMacroText);
    m_stopRecordingText = texts.text(QStringLiteral("PleaseStop"), m_stopRecordingText);
}
