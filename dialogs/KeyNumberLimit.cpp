#include "dialogs/KeyNumberLimit.h"

#include <QToolButton>

namespace {
const dialogs::FrameLayout kLayout = {"KeyNumberLimit",
                                  "LimitA",
                                  "Limit",
                                  {"label", QRect(0, 30, 301, 71), "Macro Key reached the Max limit"},
                                  {"CloseButton", QRect(275, 5, 20, 20)},
                                  {"NewHong", QRect(100, 110, 90, 24), "确定"},
                                  {},
                                  dialogs::NoOption,
                                  QSize(300, 140)};
} // namespace

KeyNumberLimit::KeyNumberLimit(QWidget* parent)
    : DialogFrame(kLayout, parent)
{
    okButton()->setMinimumSize(0, 0);
    okButton()->setMaximumSize(500, 500);
    loadCurrentLanguage();
}
