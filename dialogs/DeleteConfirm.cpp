#include "dialogs/DeleteConfirm.h"

namespace {
const dialogs::FrameLayout kLayout = {"DeleteConfirm",
                                  "DeleteConfirmA",
                                  "DeleteConfirm",
                                  {"label", QRect(5, 30, 291, 71), "Confirm Delete"},
                                  {"CloseButton", QRect(275, 5, 20, 20)},
                                  {"NewHong", QRect(100, 110, 90, 24), "确定"},
                                  {},
                                  dialogs::Confirmation,
                                  QSize(300, 140)};
} // namespace

DeleteConfirm::DeleteConfirm(QWidget* parent)
    : DialogFrame(kLayout, parent)
{
    loadCurrentLanguage();
}
