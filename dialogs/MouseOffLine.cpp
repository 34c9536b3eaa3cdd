#include "dialogs/MouseOffLine.h"

#include "core/PostMsg.h"
#include "core/ProcessState.h"

#include <QLabel>
#include <QPointer>
#include <QToolButton>

MouseOffLine* MouseOffLine::s_open = nullptr;

namespace {
const dialogs::FrameLayout kLayout = {"MouseOffLine",
                                  "MouseOffLineA",
                                  "MouseOffLine",
                                  {"label", QRect(0, 20, 301, 71), "   The mouse is offline. Please move first"},
                                  {"CloseButton", QRect(275, 3, 20, 20)},
                                  {"NewHong", QRect(100, 100, 90, 24), "确认"},
                                  {},
                                  dialogs::CapitalFButtons,
                                  QSize(300, 140)};
} // namespace

MouseOffLine::MouseOffLine(QWidget* parent)
    : DialogFrame(kLayout, parent)
{
    connect(PostMsg::instance(), &PostMsg::SigCloseOffOnline, this, &MouseOffLine::on_CloseButton_clicked);
    loadCurrentLanguage();
}

MouseOffLine::~MouseOffLine()
{
    if (s_open == this)
        s_open = nullptr;
}

MouseOffLine* MouseOffLine::openNotice()
{
    return s_open;
}

bool MouseOffLine::showOnce(const QWidget* reference, int dx, int dy)
{
    if (s_open) {
        s_open->loadCurrentLanguage();
        return false;
    }
    MouseOffLine notice(nullptr);
    notice.placeOver(reference, dx, dy);
    s_open = &notice;
    notice.exec();
    s_open = nullptr;
    return true;
}

void MouseOffLine::applyLanguage(const shell::LanguageElement& texts)
{
    QString text;
    const int why = OffLineNoticeIndex;
    if (why == 0 && texts.find(QStringLiteral("label"), &text))
        label()->setText(text);
    else if (why == 1 && texts.find(QStringLiteral("Timeout"), &text))
        label()->setText(text);
    if (texts.find(QStringLiteral("NewHong"), &text))
        okButton()->setText(text);
}
