#include "settings/FindNewVer.h"

#include "core/Skin.h"
#include "shell/common/ButtonStyle.h"

#include <QCheckBox>
#include <QFrame>

namespace {
const dialogs::FrameLayout kLayout = {"FindNewVer",
                                      "SameMacroA",
                                      "NewVer",
                                      {"label", QRect(0, 30, 301, 51), "发现新固件,请更新!"},
                                      {"CloseButton", QRect(275, 5, 20, 20)},
                                      {"NewHong", QRect(100, 90, 90, 24), "确定"},
                                      {},
                                      dialogs::NoOption,
                                      QSize(300, 140)};
} // namespace

FindNewVer::FindNewVer(QWidget* parent)
    : DialogFrame(kLayout, parent)
{
    m_noAppear = new QCheckBox(QStringLiteral("下次不再显示"), frame());
    m_noAppear->setObjectName(QStringLiteral("NoApear"));
    m_noAppear->setGeometry(0, 120, 291, 18);
    m_noAppear->setFocusPolicy(Qt::NoFocus);
    // The card is dark: the box takes the skin's label colour and its own indicator pictures.
    m_noAppear->setStyleSheet(
        shell::checkBoxStyle(core::optionColour("LabelColor"), skinFolder()));
    loadCurrentLanguage();
}

void FindNewVer::applyLanguage(const shell::LanguageElement& texts)
{
    DialogFrame::applyLanguage(texts);
    QString text;
    if (texts.find(QStringLiteral("NoApear"), &text))
        m_noAppear->setText(text);
}
