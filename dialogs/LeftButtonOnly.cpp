#include "dialogs/LeftButtonOnly.h"

namespace {
const dialogs::FrameLayout kLayout = {"LeftButtonOnly",
                                  "ButtonOnly",
                                  "ButtonOnly",
                                  {"label", QRect(0, 19, 301, 91), "Left button must be retained"},
                                  {"CloseButton", QRect(275, 5, 20, 20)},
                                  {},
                                  {},
                                  dialogs::LockDialogSize,
                                  QSize(300, 140)};
} // namespace

LeftButtonOnly::LeftButtonOnly(QWidget* parent)
    : DialogFrame(kLayout, parent)
{
    loadCurrentLanguage();
}
