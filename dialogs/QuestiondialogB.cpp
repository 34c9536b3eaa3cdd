#include "dialogs/QuestiondialogB.h"

namespace {
const dialogs::FrameSpec kSpec = {"QuestiondialogB",
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
    : DialogFrame(kSpec, parent)
{
    loadCurrentLanguage();
}
