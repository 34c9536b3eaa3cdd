#include "dialogs/MakeMacro.h"

namespace {
const dialogs::FrameLayout kLayout = {"MakeMacro",
                                  "MakeMacroA",
                                  "MakeMacro",
                                  {"label", QRect(6, 29, 291, 71), "Please create a macro first"},
                                  {"CloseButton", QRect(275, 5, 20, 20)},
                                  {"NewHong", QRect(100, 110, 90, 24), "确定"},
                                  {},
                                  dialogs::NoOption,
                                  QSize(300, 140)};
} // namespace

MakeMacro::MakeMacro(QWidget* parent)
    : DialogFrame(kLayout, parent)
{
    loadCurrentLanguage();
}
