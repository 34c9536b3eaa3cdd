#include "dialogs/InportFail.h"

#include "core/ProcessState.h"
#include "dialogs/UpDataParam.h"
#include "dialogs/UpDataParamImport.h"

#include <QLabel>
#include <QToolButton>

namespace {
const dialogs::FrameLayout kLayout = {"InportFail",
                                  "InportFailA",
                                  "InportFail",
                                  {"label", QRect(0, 30, 301, 71), "Config does not match the device"},
                                  {"CloseButton", QRect(275, 5, 20, 20)},
                                  {"NewHong", QRect(100, 110, 90, 24), "确定"},
                                  {},
                                  dialogs::NoOption,
                                  QSize(300, 140)};
} // namespace

InportFail::InportFail(QWidget* parent)
    : DialogFrame(kLayout, parent)
{
    okButton()->setMinimumSize(0, 0);
    okButton()->setMaximumSize(500, 500);
    loadCurrentLanguage();
}

void InportFail::applyLanguage(const shell::LanguageElement& texts)
{
    QString text;
    const int result = ImportResult;
    if (result == dialogs::ImportNotSettingsFile && texts.find(QStringLiteral("label"), &text))
        label()->setText(text);
    else if (result == dialogs::ImportOtherDevice && texts.find(QStringLiteral("label_1"), &text))
        label()->setText(text);
    if (texts.find(QStringLiteral("NewHong"), &text))
        okButton()->setText(text);
}
