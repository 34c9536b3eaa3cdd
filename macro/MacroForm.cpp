#include "macro/MacroForm.h"

#include "core/Skin.h"
#include "dialogs/DialogFrame.h"
#include "shell/common/ButtonStyle.h"
#include "shell/common/LanguageFile.h"
#include "shell/common/MyConmboBox.h"
#include "shell/common/PictureCheck.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include <iterator>

namespace {

enum class Kind { Label, List, Combo, Check, Tool, Push, Spin };
enum class Face { Inherited, Ui, Arial };

struct WidgetRow {
    const char* name;
    Kind kind;
    QRect rect;
    Face face;
    int points;
    const char* text;  // built-in text, UTF-8; null for a widget without one
};

// Every widget of the page in creation order, which is also their stacking order.
constexpr WidgetRow kWidgets[] = {
    {"label_2", Kind::Label, {350, 60, 201, 17}, Face::Ui, 11, "按键列表"},
    {"listWidgetKey", Kind::List, {350, 87, 261, 421}, Face::Ui, 11, nullptr},
    {"label", Kind::Label, {70, 60, 141, 17}, Face::Ui, 11, "宏列表"},
    {"listWidgetHong", Kind::List, {70, 87, 261, 421}, Face::Ui, 11, nullptr},
    {"ChooseEvent", Kind::Combo, {640, 432, 181, 30}, Face::Ui, 11, nullptr},
    {"ReUntilClick", Kind::Check, {640, 257, 21, 20}, Face::Ui, 11, ""},
    {"AutoInsertDelay", Kind::Check, {640, 100, 20, 20}, Face::Ui, 11, ""},
    {"ReNumber", Kind::Check, {640, 337, 191, 17}, Face::Ui, 10, "循环次数"},
    {"NewHong", Kind::Tool, {70, 530, 116, 30}, Face::Ui, 11, "新建宏"},
    {"DeleteHong", Kind::Tool, {200, 530, 116, 30}, Face::Ui, 11, "删除"},
    {"Amend", Kind::Tool, {350, 530, 116, 30}, Face::Ui, 11, "修改"},
    {"DeleteKey", Kind::Tool, {485, 530, 116, 30}, Face::Ui, 11, "删除"},
    {"DefaultDelay", Kind::Check, {640, 142, 211, 20}, Face::Ui, 10, "默认延时"},
    {"StartRecord", Kind::Push, {637, 57, 190, 32}, Face::Ui, 9, "开始录制宏"},
    {"StopRecord", Kind::Push, {637, 57, 190, 32}, Face::Ui, 9, "停止录制宏"},
    {"label_3", Kind::Label, {640, 407, 181, 16}, Face::Ui, 11, "插入事件"},
    {"DelayTime", Kind::Spin, {660, 167, 76, 30}, Face::Arial, 12, nullptr},
    {"NumberEdit", Kind::Spin, {660, 362, 76, 30}, Face::Arial, 12, nullptr},
    {"ReUntil", Kind::Check, {640, 297, 16, 17}, Face::Ui, 11, ""},
    {"Save", Kind::Tool, {640, 477, 116, 30}, Face::Ui, 11, "删除"},
    {"AutoInsertDelayLabel", Kind::Label, {660, 100, 201, 41}, Face::Ui, 10, "按键列表"},
    {"ReUntilLabel", Kind::Label, {660, 295, 201, 41}, Face::Ui, 10, "按键列表"},
    {"ReUntilClickLabel", Kind::Label, {660, 255, 201, 41}, Face::Ui, 10, "按键列表"},
    {"ReUntilLoose", Kind::Check, {640, 217, 21, 20}, Face::Inherited, 0, ""},
    {"ReUntilLooseLabel", Kind::Label, {660, 215, 201, 41}, Face::Ui, 10, "按键列表"},
};

// Entry 0 is empty; 4 to 8 are also the names of the mouse-button events.
constexpr const char* kChooseEventItems[] = {"",     "按键按下", "按键释放", "延时",  "左键",
                                             "右键", "中键",     "前进键",   "后退键"};

QWidget* makeWidget(Kind kind, QWidget* parent)
{
    switch (kind) {
    case Kind::Label: return new QLabel(parent);
    case Kind::List: return new QListWidget(parent);
    case Kind::Combo: return new MyConmboBox(parent);
    case Kind::Check: return new QCheckBox(parent);
    case Kind::Tool: return new QToolButton(parent);
    case Kind::Push: return new QPushButton(parent);
    case Kind::Spin: return new QSpinBox(parent);
    }
    return nullptr;
}

template <typename T>
T* child(QWidget* page, const char* name)
{
    return page->findChild<T*>(QLatin1String(name));
}

QString optionColour(const char* key)
{
    return core::optionColour(key);
}

QString listStyle(const QString& name, const QString& p)
{
    // The selection takes the skin's selection colour, as every other list of the program does.
    return QStringLiteral("#%1{background: transparent; color: rgb(255, 255, 255); outline: 0px;}"
                          "#%1::item:selected:active, #%1::item:selected:!active{background: qlineargradient("
                          "x1:0, y1:0, x2:1, y2:0, stop:0 rgb(%3), stop:1 rgb(%3)); color: rgb(255, 255, 255);}"
                          "#%1::item:hover{background: transparent;}"
                          "QScrollBar:vertical{width: 20px; background: rgb(30,30,30); margin: 22px 0px 22px 0px;}"
                          "QScrollBar::handle:vertical{background: rgb(117, 117, 117); border-radius: 3px;"
                          " min-height: 30px; margin: 2px 4px 2px 6px;}"
                          "QScrollBar::add-line:vertical{height: 25px; background: rgb(30,30,30);"
                          " subcontrol-position: bottom; subcontrol-origin: margin;}"
                          "QScrollBar::sub-line:vertical{height: 25px; background: rgb(30,30,30);"
                          " subcontrol-position: top; subcontrol-origin: margin;}"
                          "QScrollBar::up-arrow:vertical{border-image: url(%2Up.png); width: 15px; height: 15px;"
                          " margin: 1px 2px 1px 4px;}"
                          "QScrollBar::down-arrow:vertical{border-image: url(%2Down.png); width: 15px; height: 15px;"
                          " margin: 1px 2px 1px 4px;}")
        .arg(name, p, optionColour("ComboxSelectColor"));
}

QString toolButtonStyle(const QString& p, const QString& colour, bool active)
{
    QString style = QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:no-repeat;"
                                   "color: rgb(%1);background-image: url(%2Button.png);}")
                        .arg(colour, p);
    if (active)
        style += QStringLiteral("QToolButton:hover{background-image: url(%1ButtonHover.png); }"
                                "QToolButton:pressed{background-image: url(%1ButtonClick.png); }")
                     .arg(p);
    return style;
}

QString recordStyle(const QString& p, const QString& k, const QString& face)
{
    return QStringLiteral("QPushButton{border:0px;background-position:center;background-repeat:no-repeat;"
                          "color: rgb(%1;);background-image: url(%2%3.png);}"
                          "QPushButton:hover{background-image: url(%2%3Hover.png); }")
        .arg(k, p, face);
}

} // namespace

void MacroForm::setupUi(QWidget* page)
{
    m_page = page;
    page->setObjectName(QStringLiteral("Macro"));
    page->setWindowTitle(QStringLiteral("Form"));
    page->setFixedSize(883, 630);
    auto* grid = new QGridLayout(page);
    grid->setObjectName(QStringLiteral("gridLayout"));
    grid->setSpacing(0);
    grid->setContentsMargins(0, 0, 0, 0);
    MacroPage = new QFrame(page);
    MacroPage->setObjectName(QStringLiteral("MacroPage"));
    MacroPage->setFixedSize(883, 630);
    MacroPage->setFrameShape(QFrame::NoFrame);
    grid->addWidget(MacroPage, 0, 0);
    for (const WidgetRow& row : kWidgets) {
        QWidget* widget = makeWidget(row.kind, MacroPage);
        widget->setObjectName(QLatin1String(row.name));
        widget->setGeometry(row.rect);
        if (row.face == Face::Ui)
            widget->setFont(dialogs::DialogFrame::dialogFont(row.points));
        else if (row.face == Face::Arial)
            widget->setFont(QFont(QStringLiteral("Arial"), row.points));
        widget->raise();
    }
    setupDetails();
    setDefaultTexts();
}

void MacroForm::setupDetails()
{
    QWidget* p = MacroPage;
    label_2 = child<QLabel>(p, "label_2");
    listWidgetKey = child<QListWidget>(p, "listWidgetKey");
    label = child<QLabel>(p, "label");
    listWidgetHong = child<QListWidget>(p, "listWidgetHong");
    ChooseEvent = child<MyConmboBox>(p, "ChooseEvent");
    ReUntilClick = child<QCheckBox>(p, "ReUntilClick");
    AutoInsertDelay = child<QCheckBox>(p, "AutoInsertDelay");
    ReNumber = child<QCheckBox>(p, "ReNumber");
    NewHong = child<QToolButton>(p, "NewHong");
    DeleteHong = child<QToolButton>(p, "DeleteHong");
    Amend = child<QToolButton>(p, "Amend");
    DeleteKey = child<QToolButton>(p, "DeleteKey");
    DefaultDelay = child<QCheckBox>(p, "DefaultDelay");
    StartRecord = child<QPushButton>(p, "StartRecord");
    StopRecord = child<QPushButton>(p, "StopRecord");
    label_3 = child<QLabel>(p, "label_3");
    DelayTime = child<QSpinBox>(p, "DelayTime");
    NumberEdit = child<QSpinBox>(p, "NumberEdit");
    ReUntil = child<QCheckBox>(p, "ReUntil");
    Save = child<QToolButton>(p, "Save");
    AutoInsertDelayLabel = child<QLabel>(p, "AutoInsertDelayLabel");
    ReUntilLabel = child<QLabel>(p, "ReUntilLabel");
    ReUntilClickLabel = child<QLabel>(p, "ReUntilClickLabel");
    ReUntilLoose = child<QCheckBox>(p, "ReUntilLoose");
    ReUntilLooseLabel = child<QLabel>(p, "ReUntilLooseLabel");

    listWidgetKey->setFocusPolicy(Qt::NoFocus);
    listWidgetHong->setFocusPolicy(Qt::ClickFocus);
    listWidgetHong->setContextMenuPolicy(Qt::CustomContextMenu);
    listWidgetHong->setAutoScroll(true);
    for (QListWidget* list : {listWidgetKey, listWidgetHong}) {
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    ChooseEvent->setMinimumSize(40, 30);
    for (QWidget* w : std::initializer_list<QWidget*>{ChooseEvent, ReUntilClick, AutoInsertDelay, ReNumber, NewHong,
                                                      DeleteHong, Amend, DeleteKey, DefaultDelay, StartRecord,
                                                      StopRecord, ReUntil, Save})
        w->setFocusPolicy(Qt::NoFocus);
    for (QToolButton* button : {NewHong, DeleteHong, Amend, DeleteKey, Save}) {
        button->setFixedSize(116, 30);
        button->setAutoRaise(true);
    }
    StartRecord->setFixedSize(190, 32);
    for (QLabel* explanation : {AutoInsertDelayLabel, ReUntilLabel, ReUntilClickLabel, ReUntilLooseLabel}) {
        explanation->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        explanation->setWordWrap(true);
    }
    DelayTime->setRange(10, 65535);
    DelayTime->setValue(10);
    NumberEdit->setRange(1, 250);
    NumberEdit->setValue(1);
    for (QSpinBox* box : {DelayTime, NumberEdit}) {
        box->setFocusPolicy(Qt::ClickFocus);
        box->setAlignment(Qt::AlignCenter);
        box->setButtonSymbols(QAbstractSpinBox::NoButtons);
    }
    ReNumber->setChecked(true);
    for (const char* item : kChooseEventItems)
        ChooseEvent->addItem(QString::fromUtf8(item));
}

void MacroForm::setDefaultTexts()
{
    for (const WidgetRow& row : kWidgets) {
        if (row.text)
            shell::setWidgetText(child<QWidget>(MacroPage, row.name), QString::fromUtf8(row.text));
    }
    for (int i = 0; i < ChooseEvent->count() && i < int(std::size(kChooseEventItems)); ++i)
        ChooseEvent->setItemText(i, QString::fromUtf8(kChooseEventItems[i]));
}

void MacroForm::applyStyles(const QString& p)
{
    MacroPage->setStyleSheet(QStringLiteral(
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical{background: transparent;}"
        "QScrollBar::up-arrow:vertical, QScrollBar::down-arrow:vertical{background: transparent;}"
        "QScrollBar:vertical{width: 13px; background: rgb(30,30,30);}"
        "QScrollBar::handle:vertical{background: rgb(117, 117, 117); border-radius: 3px; min-height: 30px;}"));
    for (QListWidget* list : {listWidgetHong, listWidgetKey})
        list->setStyleSheet(shell::pictureSheet(listStyle(list->objectName(), p)));

    shell::styleCombo(ChooseEvent, p);
    ChooseEvent->setMaxVisibleItems(5);

    const QString k = optionColour("ButtonColor");
    m_activeButtonStyle = shell::pictureSheet(toolButtonStyle(p, k + QLatin1Char(';'), true));
    m_greyButtonStyle = shell::pictureSheet(toolButtonStyle(p, QStringLiteral("127,127,127"), false));
    const QString l = optionColour("LabelColor");
    for (QLabel* text : {label, label_2, label_3, AutoInsertDelayLabel, ReUntilLabel, ReUntilClickLabel,
                         ReUntilLooseLabel})
        text->setStyleSheet(QStringLiteral("QLabel{color: rgb(%1;);}").arg(l));
    const QString checkStyle = shell::checkBoxStyle(l, p);
    for (QCheckBox* box : {AutoInsertDelay, DefaultDelay, ReUntilLoose, ReUntilClick, ReUntil, ReNumber})
        box->setStyleSheet(checkStyle);
    for (QToolButton* button : {NewHong, DeleteHong, Amend, DeleteKey})
        button->setStyleSheet(m_activeButtonStyle);
    StopRecord->setStyleSheet(shell::pictureSheet(recordStyle(p, k, QStringLiteral("Stop"))));
    StartRecord->setStyleSheet(shell::pictureSheet(recordStyle(p, k, QStringLiteral("Record"))));
    const QString e = optionColour("LinEditColorSecond");
    for (QSpinBox* box : {DelayTime, NumberEdit})
        box->setStyleSheet(
            QStringLiteral("QSpinBox{background-color: rgb(63, 63, 63);color: rgb(%1;);border: none;}").arg(e));
}

void MacroForm::setSaveEnabled(bool enabled)
{
    Save->setStyleSheet(enabled ? m_activeButtonStyle : m_greyButtonStyle);
    Save->setEnabled(enabled);
}
