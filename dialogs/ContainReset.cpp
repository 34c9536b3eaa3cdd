#include "dialogs/ContainReset.h"

#include <QLabel>

namespace {
const dialogs::FrameLayout kLayout = {"ContainReset",
                                  "ContainResetA",
                                  "ContainReset",
                                  {"label", QRect(10, 30, 281, 71), " Is need to restore the default settings"},
                                  {"CloseButton", QRect(275, 5, 20, 20)},
                                  {"OK", QRect(40, 110, 90, 24), "确定"},
                                  {"Cancel", QRect(170, 110, 90, 24), "取消"},
                                  dialogs::Confirmation | dialogs::ReturnAnswersOk,
                                  QSize(300, 140)};
} // namespace

ContainReset::ContainReset(QWidget* parent)
    : DialogFrame(kLayout, parent)
{
    loadCurrentLanguage();
}

void ContainReset::SetText(QString text)
{
    label()->setText(text);
}
