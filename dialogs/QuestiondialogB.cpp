#include "dialogs/QuestiondialogB.h"

namespace {
const dialogs::FrameLayout kLayout = {"QuestiondialogB",
                                  "QuestionB",
                                  "QuestionB",
                                  {"label", QRect(0, 30, 301, 60), "  Do not insert multiple identical devices"},
                                  {"CloseButton", QRect(275, 5, 20, 20)},
                                  {},
                                  {},
                                  dialogs::NoOption,
                                  QSize(300, 140)};
} // namespace

QuestiondialogB::QuestiondialogB(QWidget* parent)
    : DialogFrame(kLayout, parent)
{
    loadCurrentLanguage();
}
