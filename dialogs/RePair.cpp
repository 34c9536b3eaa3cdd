#include "dialogs/RePair.h"

namespace {
const dialogs::FrameLayout kLayout = {"RePair",
                                  "RePairA",
                                  "RePair",
                                  {"label", QRect(0, 30, 301, 71), "        Do you need to pair again"},
                                  {"CloseButton", QRect(275, 5, 20, 20)},
                                  {"OK", QRect(40, 110, 90, 24), "确定"},
                                  {"Cancel", QRect(180, 110, 90, 24), "取消"},
                                  dialogs::Confirmation,
                                  QSize(300, 140)};
} // namespace

RePair::RePair(QWidget* parent)
    : DialogFrame(kLayout, parent)
{
    loadCurrentLanguage();
}
