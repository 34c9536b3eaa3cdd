// The choice page's widgets, styles, connections and texts.
#include "shell/DialogChange.h"

#include "core/AppPaths.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Skin.h"
#include "dialogs/DialogFrame.h"
#include "shell/common/ButtonStyle.h"
#include "shell/common/LanguageFile.h"
#include "shell/common/LanguageNames.h"
#include "shell/common/MyConmboBox.h"
#include "shell/common/PictureCheck.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>

namespace {

using core::optionColour;
using shell::windowButtonStyle;

QString arrowStyle(const QString& skin, const QString& name)
{
    return shell::pictureSheet(QStringLiteral("QToolButton{border-image: url(") + skin + name
                               + QStringLiteral(".png);}QToolButton:hover{border-image: url(") + skin + name
                               + QStringLiteral("Click.png);}"));
}

template <typename W>
W* place(QWidget* parent, const char* name, const QRect& rect)
{
    auto* widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(rect);
    return widget;
}

QLabel* bigLabel(QWidget* parent, const char* name, const QRect& rect, int points)
{
    auto* label = place<QLabel>(parent, name, rect);
    label->setFont(dialogs::DialogFrame::dialogFont(points));
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255);"));
    return label;
}

// The page's buttons whose click runs a handler without arguments.
struct ButtonRow {
    const char* button;
    void (DialogChange::*handler)();
};
constexpr ButtonRow kButtons[] = {
    {"LeftButton", &DialogChange::on_LeftButton_clicked},
    {"RightButton", &DialogChange::on_RightButton_clicked},
    {"MinButton", &DialogChange::on_MinButton_clicked},
    {"CloseButton", &DialogChange::on_CloseButton_clicked},
    {"CloseButton_2", &DialogChange::on_CloseButton_2_clicked},
    {"NewHong", &DialogChange::on_NewHong_clicked},
    {"Repair", &DialogChange::on_Repair_clicked},
};

// Language children shown on a widget of the page.
constexpr shell::TextBinding kTexts[] = {
    {"label_3", "label_3"},
    {"label", "FindVerlaebl"},
    {"NewHong", "NewHong"},
    {"NoApear", "NoApear"},
};

} // namespace

void DialogChange::setupForm()
{
    setObjectName(QStringLiteral("DialogChange"));
    setFixedSize(1020, 700);
    m_frameChange = place<QFrame>(this, "frameChange", QRect(0, 0, 1020, 700));
    m_frameChange->setFixedSize(1020, 700);
    m_minButton = place<QToolButton>(m_frameChange, "MinButton", QRect(940, 10, 20, 20));
    m_minButton->setFixedSize(20, 20);
    m_closeButton = place<QToolButton>(m_frameChange, "CloseButton", QRect(980, 10, 20, 20));
    m_closeButton->setFixedSize(20, 20);
    m_closeButton->setIconSize(QSize(30, 30));
    m_closeButton->setAutoRaise(true);
    m_comboBox = place<MyConmboBox>(m_frameChange, "comboBox", QRect(790, 10, 142, 26));
    m_comboBox->setMinimumSize(142, 26);
    m_comboBox->setFont(dialogs::DialogFrame::dialogFont(10));
    m_comboBox->setFocusPolicy(Qt::NoFocus);
    m_label2 = bigLabel(m_frameChange, "label_2", QRect(0, 320, 1021, 121), 20);
    m_label2->setFixedSize(1021, 121);
    m_leftButton = place<QToolButton>(m_frameChange, "LeftButton", QRect(10, 360, 46, 46));
    m_rightButton = place<QToolButton>(m_frameChange, "RightButton", QRect(965, 360, 46, 46));
    m_repair = place<QPushButton>(m_frameChange, "Repair", QRect(740, 8, 36, 33));
    m_stackedWidget = place<QStackedWidget>(m_frameChange, "stackedWidget", QRect(65, 200, 894, 360));
    m_label3 = bigLabel(m_frameChange, "label_3", QRect(0, 530, 1021, 121), 16);

    m_findVer = place<QFrame>(m_frameChange, "FindVer", QRect(350, 300, 300, 140));
    m_findVer->setFixedSize(300, 140);
    m_closeButton2 = place<QToolButton>(m_findVer, "CloseButton_2", QRect(275, 5, 20, 20));
    m_newHong = place<QToolButton>(m_findVer, "NewHong", QRect(100, 90, 90, 24));
    m_newHong->setFixedSize(90, 24);
    m_newHong->setFont(dialogs::DialogFrame::dialogFont(11));
    m_findVerLabel = place<QLabel>(m_findVer, "FindVerlaebl", QRect(0, 20, 301, 51));
    m_findVerLabel->setFont(dialogs::DialogFrame::dialogFont(11));
    m_findVerLabel->setAlignment(Qt::AlignCenter);
    m_findVerLabel->setWordWrap(true);
    m_noApear = place<QCheckBox>(m_findVer, "NoApear", QRect(5, 120, 291, 18));
    // Space and Return are the window's keys on this page (pairing, opening the chosen mouse); a
    // button holding the focus would take them, as the minimise button once took Space.
    for (QAbstractButton* button : findChildren<QAbstractButton*>())
        button->setFocusPolicy(Qt::NoFocus);
    setDefaultTexts();
}

void DialogChange::setDefaultTexts()
{
    setWindowTitle(QStringLiteral("Dialog"));
    m_label2->setText(QStringLiteral("请接入你的游戏装备"));
    m_newHong->setText(QStringLiteral("确定"));
    m_findVerLabel->setText(QStringLiteral("发现新固件,请更新!"));
    m_noApear->setText(QStringLiteral("下次不再显示"));
    m_label3->setText(QStringLiteral("点击图案进入使用"));
}

void DialogChange::setupStyles()
{
    m_skin = AppDir() + QStringLiteral("/Picture/DialogChange/");
    m_warnSkin = AppDir() + QStringLiteral("/Picture/WarningDialog/");
    const QString& skin = m_skin;
    const QString& warn = m_warnSkin;
    m_frameChange->setStyleSheet(
        shell::pictureSheet(QStringLiteral("#frameChange{border-image: url(") + skin + QStringLiteral("MainBack.png);}")));
    m_closeButton->setStyleSheet(windowButtonStyle(skin, QStringLiteral("Close")));
    m_minButton->setStyleSheet(windowButtonStyle(skin, QStringLiteral("Min")));
    m_repair->setStyleSheet(shell::pictureSheet(
        QStringLiteral("#Repair{border:0px;background-image: url(") + skin
        + QStringLiteral("Repair.png);background-position:center;background-repeat:no-repeat;}")));
    m_rightButton->setStyleSheet(arrowStyle(skin, QStringLiteral("Right")));
    m_leftButton->setStyleSheet(arrowStyle(skin, QStringLiteral("Left")));

    shell::styleCombo(m_comboBox, skin);
    // The page offers every language the program ships, each in its own words.
    shell::fillLanguageList(m_comboBox);
    m_comboBox->setMaxVisibleItems(5);

    const QString label = optionColour("LabelColor");
    const QString button = optionColour("ButtonColor");
    m_findVerLabel->setStyleSheet(QStringLiteral("QLabel{color: rgb(") + label + QStringLiteral(";);}"));
    m_newHong->setStyleSheet(shell::pictureSheet(
        QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:no-repeat;color: rgb(")
        + button + QStringLiteral(";);border-image: url(") + warn
        + QStringLiteral("Confirm.png);}QToolButton:pressed{border-image: url(") + warn
        + QStringLiteral("ConfirmClick.png); }")));
    m_closeButton2->setStyleSheet(windowButtonStyle(warn, QStringLiteral("Close")));
    m_findVer->setStyleSheet(shell::pictureSheet(
        QStringLiteral("#FindVer{border:0px;background-position:center;background-repeat:no-repeat;"
                       "background-image: url(")
        + warn + QStringLiteral("BackGround.png);}")));
    m_noApear->setStyleSheet(shell::checkBoxStyle(label, warn));
}

void DialogChange::setupConnections()
{
    for (const ButtonRow& row : kButtons)
        connect(findChild<QAbstractButton*>(QLatin1String(row.button)), &QAbstractButton::clicked, this, row.handler);
    connect(m_comboBox, QOverload<int>::of(&QComboBox::activated), this, &DialogChange::on_comboBox_activated);
    connect(m_noApear, &QCheckBox::clicked, this, &DialogChange::on_NoApear_clicked);
    PostMsg* bus = PostMsg::instance();
    connect(bus, &PostMsg::SigLanguageSameA, this, &DialogChange::SlotSameLanguageA);
    connect(bus, &PostMsg::SigUpDateButton, this, &DialogChange::SlotUpDateButton);
    connect(bus, &PostMsg::SigEnterKey, this, &DialogChange::SlotEnterKey);
    connect(bus, &PostMsg::SigChangeLanguage, this, &DialogChange::ChangeDialogLanguage);
}

void DialogChange::ChangeDialogLanguage(int index)
{
    // The list shows the language in use however it was chosen (the settings page has a list of
    // its own); following it is no choice, so nothing is announced again.
    {
        const QSignalBlocker block(m_comboBox);
        m_comboBox->setCurrentIndex(index >= 0 && index < m_comboBox->count() ? index : 0);
    }
    const shell::LanguageElement texts = shell::LanguageFile::cachedElement(index, QStringLiteral("DialogChange"));
    if (texts.isEmpty())
        return;
    shell::applyTexts(this, texts, kTexts);
    texts.find(QStringLiteral("label_2"), &NoDeviceText);
    texts.find(QStringLiteral("OfflineTips1"), &OfflineTips1Text);
    texts.find(QStringLiteral("OfflineTips2"), &OfflineTips2Text);
    texts.find(QStringLiteral("RepairDevice"), &RepairDeviceText);
    texts.find(QStringLiteral("MouseIsNewTips"), &MouseIsNewTipsText);
    const bool repairShown = !m_repair->isHidden();
    if (repairShown && texts.contains(QStringLiteral("RepairDevice")))
        m_label2->setText(RepairDeviceText);
    if (!repairShown && texts.contains(QStringLiteral("label_2")))
        m_label2->setText(NoDeviceText);
}

void DialogChange::changeEvent(QEvent* event)
{
    if (event->type() != QEvent::LanguageChange) {
        QWidget::changeEvent(event);
        return;
    }
    setDefaultTexts();
    const QSignalBlocker block(m_comboBox);
    m_comboBox->setCurrentIndex(0);
}
