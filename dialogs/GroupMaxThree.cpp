#include "dialogs/GroupMaxThree.h"

namespace {
const dialogs::FrameLayout kLayout = {"GroupMaxThree",
                                  "MaxThree",
                                  "MaxThree",
                                  {"label", QRect(0, 30, 301, 71), "  Key can only have up to three buttons"},
                                  {"CloseButton", QRect(275, 5, 20, 20)},
                                  {"NewHong", QRect(105, 110, 90, 24), "确定"},
                                  {},
                                  dialogs::NoOption,
                                  QSize(300, 140)};
} // namespace

GroupMaxThree::GroupMaxThree(QWidget* parent)
    : DialogFrame(kLayout, parent)
{
    loadCurrentLanguage();
}
