#include "dialogs/UpDateWarning.h"

#include <QFrame>
#include <QLabel>
#include <QToolButton>

namespace {
// Every caller sets its own message; the built-in one only shows if a caller
// forgets, so it names the usual case: the firmware needs the cable.
const dialogs::FrameLayout kLayout = {"UpDateWarning",
                                  "WarningFrame",
                                  "NewVer",
                                  {"label", QRect(5, 30, 291, 71),
     "The firmware does not match. Please connect the mouse with its cable and update it"},
                                  {"CloseButton", QRect(275, 5, 20, 20)},
                                  {"NewHong", QRect(100, 110, 90, 24), "确定"},
                                  {},
                                  dialogs::ReturnAnswersOk,
                                  QSize(300, 140)};
} // namespace

UpDateWarning::UpDateWarning(QWidget* parent)
    : DialogFrame(kLayout, parent)
{
    frame()->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    label()->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    okButton()->setMinimumSize(0, 0);
    okButton()->setMaximumSize(500, 500);
    loadCurrentLanguage();
}

void UpDateWarning::SetText(QString text)
{
    label()->setText(text);
}

void UpDateWarning::applyLanguage(const shell::LanguageElement& texts)
{
    QString text;
    if (texts.find(QStringLiteral("NewHong"), &text))
        okButton()->setText(text);
}
