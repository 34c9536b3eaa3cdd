#include "dialogs/SameMacro.h"

namespace {
const dialogs::FrameLayout kLayout = {"SameMacro",
                                  "SameMacroA",
                                  "SameMacro",
                                  {"label", QRect(0, 30, 301, 71), "Already have a same name macro"},
                                  {"CloseButton", QRect(275, 5, 20, 20)},
                                  {"NewHong", QRect(100, 110, 90, 24), "确定"},
                                  {},
                                  dialogs::NoOption,
                                  QSize(300, 140)};
} // namespace

SameMacro::SameMacro(QWidget* parent)
    : DialogFrame(kLayout, parent)
{
    loadCurrentLanguage();
}
