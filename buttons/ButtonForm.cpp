#include "buttons/ButtonForm.h"

#include "core/Skin.h"
#include "dialogs/DialogFrame.h"
#include "sensor/DebounceTime.h"
#include "sensor/OptionStyle.h"
#include "shell/common/ButtonStyle.h"
#include "shell/common/MyConmboBox.h"
#include "shell/common/MyToolButton.h"
#include "shell/common/PictureCheck.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpacerItem>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <iterator>

namespace {

struct NumberRow {
    const char* name;
    int x, y;
    const char* text;
};
constexpr NumberRow kNumbers[] = {
    {"Number1", 140, 220, "1"}, {"Number2", 40, 150, "2"},  {"Number3", 145, 120, "3"},
    {"Number4", 247, 205, "4"}, {"Number5", 365, 115, "5"}, {"Number6", 340, 220, "6"},
};

struct SelectorRow {
    const char* label;
    const char* labelText;
    int labelY;
    const char* selector;
    int selectorY;
    const char* text;
};
constexpr SelectorRow kSelectors[] = {
    {"label_14", "1", 6, "FireKey", 5, "左键"},       {"label_9", "2", 41, "RightKey", 40, "右键"},
    {"label_15", "3", 76, "BackKey", 75, "中键"},     {"label_11", "4", 110, "StartPause", 109, "后退键"},
    {"label_12", "5", 145, "TopMusic", 144, "前进键"}, {"label_13", "6", 180, "BackMusic", 179, "下一曲"},
};

struct FunctionRow {
    const char* name;
    const char* text;  // null: the language file alone names it
    int points;
    bool pressButton;  // MyToolButton: acts on the press, tells a double click
    bool tall;         // leads to a menu page: the taller face
};
constexpr FunctionRow kFunctions[] = {
    {"LeftKey_3", "左键", 8, false, false},       {"RightKey_3", "右键", 8, false, false},
    {"MidKey", "中键", 8, false, false},          {"BackKey_2", "后退键", 8, false, false},
    {"ForWardKey", "前进键", 8, false, false},    {"DPI_2", "切换报告率", 8, false, false},
    {"DPI_3", "配置切换", 8, false, false},       {"DPI_6", nullptr, 8, true, false},
    {"DPI_8", nullptr, 8, true, false},           {"DPI_5", "待定义按键", 8, false, false},
    {"DPI_13", "鼠标上/下滚", 6, false, true},    {"DPI_11", "鼠标左/右滚", 6, false, true},
    {"DPI_4", "DPI锁定", 6, false, true},         {"DPI_9", "开关装饰灯", 6, false, true},
    {"DPI_7", "DPI切换", 6, false, true},         {"DPI_12", "多媒体功能", 7, false, true},
    {"DPI_10", "宏定义", 8, false, true},
};

// The pages of the function menu in index order. page_5 (macros) and page_9
// (debounce) are built apart.
struct MenuPageRow {
    const char* page;
    const char* scroll;
    const char* contents;
    int contentsHeight;
    const char* vbox;
    const char* grid;  // null: the scroll area sits on the page at 0,10
    bool spacer;
};
constexpr MenuPageRow kMenuPages[] = {
    {"page_3", "scrollArea_3", "scrollAreaWidgetContents_3", 500, "verticalLayout_4", "gridLayout_2", false},
    {"page_5", "scrollArea_7", "scrollAreaWidgetContents_7", 220, "verticalLayout_6", "gridLayout_5", false},
    {"page_6", "scrollArea_8", "scrollAreaWidgetContents_8", 220, "verticalLayout_10", "gridLayout_6", true},
    {"page_8", "scrollArea_10", "scrollAreaWidgetContents_10", 400, "verticalLayout_12", "gridLayout_8", false},
    {"page_9", nullptr, nullptr, 0, nullptr, nullptr, false},
    {"page_4", "scrollArea_6", "scrollAreaWidgetContents_6", 220, "verticalLayout_5", "gridLayout_4", true},
    {"page_7", "scrollArea_9", "scrollAreaWidgetContents_9", 220, "verticalLayout_11", "gridLayout_7", true},
    {"page_10", "scrollArea_12", "scrollAreaWidgetContents_12", 220, "verticalLayout_7", nullptr, true},
};

struct ChoiceRow {
    int page;  // index into kMenuPages
    const char* name;
    const char* text;
};
constexpr ChoiceRow kChoices[] = {
    {0, "Player", "播放器"},          {0, "StartPause_2", "播放/暂停"}, {0, "BackMusic_2", "下一曲"},
    {0, "TopMusic_2", "上一曲"},      {0, "Mute", "停止播放"},         {0, "VolumeUp", "静音"},
    {0, "VolumeDown", "音量加"},      {0, "VolumeDown_4", "音量减"},   {0, "VolumeDown_5", "邮件"},
    {0, "VolumeDown_6", "计算器"},    {0, "VolumeDown_3", "我的电脑"}, {0, "VolumeDown_8", "主页"},
    {0, "VolumeDown_9", "搜索"},      {0, "VolumeDown_7", "前进"},     {0, "VolumeDown_10", "后退"},
    {0, "VolumeDown_12", "停止网页"}, {0, "VolumeDown_13", "刷新"},    {0, "VolumeDown_11", "收藏夹"},
    {2, "VolumeUp_4", "开/关所有装饰灯"}, {2, "VolumeUp_5", "开/关DPI指示灯"}, {2, "VolumeUp_6", "开/关灯带"},
    {2, "VolumeUp_7", "循环切换灯带效果"},
    {3, "VolumeUp_11", "100"},  {3, "VolumeUp_12", "200"}, {3, "VolumeUp_13", "300"},  {3, "VolumeUp_16", "400"},
    {3, "VolumeUp_15", "500"},  {3, "VolumeUp_19", "600"}, {3, "VolumeUp_20", "700"},  {3, "VolumeUp_22", "800"},
    {3, "VolumeUp_18", "900"},  {3, "VolumeUp_24", "1000"}, {3, "VolumeUp_23", "1100"}, {3, "VolumeUp_21", "1200"},
    {5, "VolumeUp_2", "左滚"},  {5, "VolumeDown_2", "右滚"},
    {6, "VolumeUp_8", "DPI循环"}, {6, "VolumeUp_9", "DPI+"}, {6, "VolumeUp_10", "DPI-"},
    {7, "VolumeUp_14", "上滚"}, {7, "VolumeDown_14", "下滚"},
};

constexpr char kLabelText3[] = "按钮防抖时间";

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

QFont uiFont(int points)
{
    return dialogs::DialogFrame::dialogFont(points);
}

QToolButton* makeToolButton(QWidget* parent, const char* name, const QRect& rect, bool checkable, bool press = false)
{
    QToolButton* b = press ? new MyToolButton(parent) : new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(rect);
    b->setCheckable(checkable);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

QScrollArea* makeScrollArea(QWidget* parent, const char* name, const QSize& size)
{
    auto* area = new QScrollArea(parent);
    area->setObjectName(QString::fromLatin1(name));
    area->resize(size);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setWidgetResizable(true);
    area->setFocusPolicy(Qt::NoFocus);
    return area;
}

QWidget* makeContents(const char* name, const QSize& size)
{
    auto* contents = new QWidget;
    contents->setObjectName(QString::fromLatin1(name));
    contents->setGeometry(QRect(QPoint(0, 0), size));
    contents->setMinimumHeight(size.height());
    return contents;
}

QVBoxLayout* makeColumn(QWidget* contents, const char* name)
{
    auto* column = new QVBoxLayout(contents);
    column->setObjectName(QString::fromLatin1(name));
    ButtonForm::keepClearOfPanelEdges(column, 7);
    // The content widget takes the column's own height: the form's height is too small for the
    // longer columns, and a column laid out while the page still held the buttons that the page
    // hides later kept their room, pushing its last buttons past the content's end.
    column->setSizeConstraint(QLayout::SetFixedSize);
    return column;
}

QGridLayout* makeGrid(QWidget* page, const char* name)
{
    auto* grid = new QGridLayout(page);
    grid->setObjectName(QString::fromLatin1(name));
    grid->setSpacing(0);
    grid->setContentsMargins(0, 0, 0, 0);
    return grid;
}

const char* const kScrollBarSheet =
    "QScrollArea{background:transparent;}"
    "QScrollBar:vertical{width:10px;margin:2px 0px 2px 0px;border:0px;background:rgb(28,28,28);}"
    "QScrollBar::handle:vertical{background:rgb(63,63,63);border-radius:3px;min-height:30px;"
    "margin:0px 2px 0px 2px;}"
    "QScrollBar::handle:vertical:pressed{background:rgb(63,63,63);}"
    "QScrollBar::add-line:vertical{height:25px;background:rgb(28,28,28);subcontrol-position:bottom;}"
    "QScrollBar::sub-line:vertical{height:25px;background:rgb(28,28,28);subcontrol-position:top;}"
    "QScrollBar::add-page:vertical,QScrollBar::sub-page:vertical{background:transparent;border:0px;}"
    "QScrollBar::up-arrow:vertical,QScrollBar::down-arrow:vertical{background:transparent;border:0px;}";

const char* const kMenuScrollAreas[] = {"scrollArea_4", "scrollArea_3", "scrollArea_7", "scrollArea_8",
                                        "scrollArea_10", "scrollArea_6", "scrollArea_9", "scrollArea_12"};

} // namespace

void ButtonForm::keepClearOfPanelEdges(QVBoxLayout* column, int left)
{
    constexpr int kAbovePanel = 11, kBelowPanel = 14, kAir = 4;
    column->setContentsMargins(left, kAbovePanel + kAir, column->contentsMargins().right(), kBelowPanel + kAir);
}

void ButtonForm::setupUi(QWidget* p)
{
    m_page = p;
    if (p->objectName().isEmpty())
        p->setObjectName(QStringLiteral("Buttoninterface"));
    p->resize(883, 630);
    p->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    p->setMaximumSize(883, 660);
    p->setStyleSheet(QString());

    auto* grid9 = makeGrid(p, "gridLayout_9");
    grid9->setSpacing(-1);
    MainWindow = new QFrame(p);
    MainWindow->setObjectName(QStringLiteral("MainWindow"));
    MainWindow->setMaximumSize(883, 630);
    // The frame's background picture draws the panel; a platform outline would cut across it.
    MainWindow->setFrameShape(QFrame::NoFrame);
    MainWindow->setStyleSheet(QString::fromLatin1(kScrollBarSheet));

    label = new QLabel(MainWindow);
    label->setObjectName(QStringLiteral("label"));
    label->setGeometry(30, 30, 20, 14);

    widget = new QWidget(MainWindow);
    widget->setObjectName(QStringLiteral("widget"));
    widget->setGeometry(220, 0, 432, 356);
    QFont numberFont;
    numberFont.setPointSize(16);
    numberFont.setWeight(QFont::Normal);
    for (const NumberRow& row : kNumbers) {
        QToolButton* b = makeToolButton(widget, row.name, QRect(row.x, row.y, 38, 38), false);
        b->setFont(numberFont);
    }

    OutputData = makeToolButton(MainWindow, "OutputData", QRect(780, 350, 90, 26), false);
    ImportData = makeToolButton(MainWindow, "ImportData", QRect(680, 350, 90, 26), false);
    for (QToolButton* b : {OutputData, ImportData})
        b->setFont(uiFont(10));

    groupBox = new QGroupBox(MainWindow);
    groupBox->setObjectName(QStringLiteral("groupBox"));
    groupBox->setGeometry(7, 380, 862, 216);
    scrollArea_11 = makeScrollArea(groupBox, "scrollArea_11", QSize(480, 212));
    scrollArea_11->move(150, 2);
    scrollAreaWidgetContents_11 = makeContents("scrollAreaWidgetContents_11", QSize(510, 212));
    QFont labelFont(QStringLiteral("Microsoft YaHei UI Light"), 16);
    for (const SelectorRow& row : kSelectors) {
        auto* number = new QLabel(scrollAreaWidgetContents_11);
        number->setObjectName(QString::fromLatin1(row.label));
        number->setGeometry(0, row.labelY, 24, 24);
        number->setAlignment(Qt::AlignCenter);
        number->setFont(labelFont);
        QToolButton* b =
            makeToolButton(scrollAreaWidgetContents_11, row.selector, QRect(30, row.selectorY, 262, 26), true);
        b->setFont(uiFont(11));
        b->setChecked(false);
    }
    scrollArea_11->setWidget(scrollAreaWidgetContents_11);

    stackedWidget = new QStackedWidget(groupBox);
    stackedWidget->setObjectName(QStringLiteral("stackedWidget"));
    stackedWidget->setGeometry(445, -11, 201, 241);
    stackedWidget->setMinimumSize(192, 230);
    stackedWidget->setMaximumSize(230, 1111);
    page = new QWidget;
    page->setObjectName(QStringLiteral("page"));
    page->resize(195, 240);
    makeGrid(page, "gridLayout_3");
    stackedWidget->addWidget(page);
    page_2 = new QWidget;
    page_2->setObjectName(QStringLiteral("page_2"));
    page_2->resize(195, 240);
    QGridLayout* listGrid = makeGrid(page_2, "gridLayout");
    QScrollArea* listArea = makeScrollArea(page_2, "scrollArea_4", QSize(195, 220));
    listArea->setFrameShape(QFrame::StyledPanel);
    listArea->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QWidget* listContents = makeContents("scrollAreaWidgetContents_4", QSize(195, 420));
    QVBoxLayout* listColumn = makeColumn(listContents, "verticalLayout_9");
    for (const FunctionRow& row : kFunctions) {
        QToolButton* b = makeToolButton(listContents, row.name, QRect(0, 0, 164, 22), true, row.pressButton);
        b->setFixedSize(164, 22);
        b->setFont(uiFont(row.points));
        listColumn->addWidget(b);
    }
    listArea->setWidget(listContents);
    listGrid->addWidget(listArea, 0, 0);
    stackedWidget->addWidget(page_2);

    groupBox_4 = new QGroupBox(groupBox);
    groupBox_4->setObjectName(QStringLiteral("groupBox_4"));
    groupBox_4->setGeometry(643, -11, 211, 241);
    stackedWidget_2 = new QStackedWidget(groupBox_4);
    stackedWidget_2->setObjectName(QStringLiteral("stackedWidget_2"));
    stackedWidget_2->setGeometry(0, 0, 213, 238);
    stackedWidget_2->setMinimumSize(213, 200);
    stackedWidget_2->setMaximumSize(213, 1111111);
    QVBoxLayout* columns[std::size(kMenuPages)] = {};
    for (std::size_t i = 0; i < std::size(kMenuPages); ++i) {
        const MenuPageRow& row = kMenuPages[i];
        auto* menuPage = new QWidget;
        menuPage->setObjectName(QString::fromLatin1(row.page));
        if (row.scroll) {
            menuPage->resize(205, 240);
            QScrollArea* area = makeScrollArea(menuPage, row.scroll, QSize(205, 220));
            QWidget* contents = makeContents(row.contents, QSize(205, row.contentsHeight));
            columns[i] = makeColumn(contents, row.vbox);
            area->setWidget(contents);
            if (row.grid)
                makeGrid(menuPage, row.grid)->addWidget(area, 0, 0);
            else
                area->move(0, 10);
            if (i == 1) {
                page_5 = menuPage;
                scrollArea_7 = area;
            }
        } else {
            page_9 = menuPage;
            groupBox_2 = new QGroupBox(menuPage);
            groupBox_2->setObjectName(QStringLiteral("groupBox_2"));
            groupBox_2->setGeometry(10, 0, 200, 241);
            groupBox_2->setStyleSheet(QStringLiteral("#groupBox_2{border: 2px solid rgb(119, 119, 119);}"));
            label_3 = new QLabel(groupBox_2);
            label_3->setObjectName(QStringLiteral("label_3"));
            label_3->setGeometry(0, 20, 201, 31);
            label_3->setFont(uiFont(11));
            label_3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            label_3->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255);"));
            DebunceButton = new DebounceTime(groupBox_2);
            DebunceButton->setObjectName(QStringLiteral("DebunceButton"));
            DebunceButton->setGeometry(35, 50, 165, 37);
            DebunceButton->setFrameShape(QFrame::NoFrame);
        }
        stackedWidget_2->addWidget(menuPage);
    }
    for (const ChoiceRow& row : kChoices) {
        QVBoxLayout* column = columns[row.page];
        QToolButton* b = makeToolButton(column->parentWidget(), row.name, QRect(0, 0, 174, 22), true);
        b->setFixedSize(174, 22);
        b->setFont(uiFont(9));
        column->addWidget(b);
    }
    for (std::size_t i = 0; i < std::size(kMenuPages); ++i) {
        if (kMenuPages[i].spacer)
            columns[i]->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));
    }
    for (const char* name : kMenuScrollAreas) {
        if (auto* area = MainWindow->findChild<QScrollArea*>(QString::fromLatin1(name)))
            area->setStyleSheet(QStringLiteral("#%1{border: 2px solid rgb(119,119,119);}").arg(QLatin1String(name)));
    }

    ProjectChoose = new MyConmboBox(MainWindow);
    ProjectChoose->setObjectName(QStringLiteral("ProjectChoose"));
    ProjectChoose->setGeometry(60, 25, 128, 24);
    ProjectChoose->setFont(uiFont(11));
    ProjectChoose->setFocusPolicy(Qt::NoFocus);
    Reset = makeToolButton(MainWindow, "Reset", QRect(580, 350, 90, 26), false);
    Reset->setFont(uiFont(10));
    grid9->addWidget(MainWindow, 0, 0);

    retranslateUi();
    stackedWidget->setCurrentIndex(1);
    stackedWidget_2->setCurrentIndex(0);
}

void ButtonForm::retranslateUi()
{
    m_page->setWindowTitle(QStringLiteral("Form"));
    for (const NumberRow& row : kNumbers)
        button(row.name)->setText(utf8(row.text));
    for (const SelectorRow& row : kSelectors) {
        MainWindow->findChild<QLabel*>(QString::fromLatin1(row.label))->setText(utf8(row.labelText));
        button(row.selector)->setText(utf8(row.text));
    }
    for (const FunctionRow& row : kFunctions)
        button(row.name)->setText(row.text ? utf8(row.text) : QString());
    for (const ChoiceRow& row : kChoices)
        button(row.name)->setText(utf8(row.text));
    Reset->setText(utf8("重置"));
    ImportData->setText(utf8("导入"));
    OutputData->setText(utf8("导出"));
    label_3->setText(utf8(kLabelText3));
    label->setText(QString());
    for (QGroupBox* box : {groupBox, groupBox_4, groupBox_2})
        box->setTitle(QString());
}

QToolButton* ButtonForm::button(const char* name) const
{
    return MainWindow->findChild<QToolButton*>(QString::fromLatin1(name));
}

QScrollArea* ButtonForm::scrollArea(const char* name) const
{
    return MainWindow->findChild<QScrollArea*>(QString::fromLatin1(name));
}

QWidget* ButtonForm::menuPage(const char* name) const
{
    return stackedWidget_2->findChild<QWidget*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

void ButtonForm::showMousePicture(const QString& dir)
{
    widget->setStyleSheet(shell::pictureSheet(QStringLiteral("#widget{border:0px;background-position:center;"
                                                             "background-repeat:no-repeat;background-image: url(")
                                              + dir + QStringLiteral("mouse0.png);}")));
}

void ButtonForm::applyStyles(const QString& dir)
{
    const QString buttonColour = core::optionColour("ButtonColor");
    const QString labelColour = core::optionColour("LabelColor");
    showMousePicture(dir);

    const QString choiceSheet =
        shell::pictureSheet(QStringLiteral("QToolButton{color: rgb(%1); border-image: url(%2CMenuTitle.png);}"
                                           "QToolButton:checked{color: rgb(%1); "
                                           "border-image: url(%2CMenuTitleChecked.png);}")
                                .arg(buttonColour, dir));
    for (const char* name : {"page_3", "page_9", "page_4", "page_6", "page_7", "page_10", "page_8"})
        stackedWidget_2->findChild<QWidget*>(QString::fromLatin1(name))->setStyleSheet(choiceSheet);
    for (const char* name :
         {"scrollAreaWidgetContents_3", "scrollAreaWidgetContents_4", "scrollAreaWidgetContents_6",
          "scrollAreaWidgetContents_8", "scrollAreaWidgetContents_9", "scrollAreaWidgetContents_10",
          "scrollAreaWidgetContents_12"}) {
        MainWindow->findChild<QWidget*>(QString::fromLatin1(name))
            ->setStyleSheet(QStringLiteral("#%1{background: transparent; border: 0px;}").arg(QLatin1String(name)));
    }
    scrollAreaWidgetContents_11->setStyleSheet(shell::pictureSheet(
        QStringLiteral("#scrollAreaWidgetContents_11{background: transparent; border: 0px;}"
                       "QToolButton{border: 0px; color: rgb(%1); background-image: url(%2AMenuTitle.png);}"
                       "QToolButton:checked{background-image: url(%2AMenuTitleChecked.png);}"
                       "QToolButton:unchecked{background-image: url(%2AMenuTitle.png);}"
                       "QLabel{color: rgb(0, 0, 0); border: 0px; background-image: url(%2LabelNumber.png);}")
            .arg(buttonColour, dir)));
    shell::styleCombo(ProjectChoose, dir, true);
    label_3->setStyleSheet(QStringLiteral("QLabel{color: rgb(%1);}").arg(labelColour));

    const QString actionSheet =
        shell::pictureSheet(QStringLiteral("QToolButton{border: 0px; color: rgb(%1); border-image: url(%2Reset.png);}"
                                           "QToolButton:hover{border-image: url(%2ResetHover.png);}"
                                           "QToolButton:pressed{border-image: url(%2ResetClick.png);}")
                                .arg(buttonColour, dir));
    for (QToolButton* b : {Reset, ImportData, OutputData})
        b->setStyleSheet(actionSheet);
    const QString numberSheet = shell::pictureSheet(QStringLiteral("QToolButton{border: 0px; color: rgb(0, 0, 0); "
                                                                   "background-image: url(%1NumberOrigin.png);}"
                                                                   "QToolButton:hover{background-image: url(%1NumberHover.png);}"
                                                                   "QToolButton:pressed{background-image: url(%1NumberClick.png); "
                                                                   "padding-left: 0px;}")
                                                        .arg(dir));
    for (const NumberRow& row : kNumbers)
        button(row.name)->setStyleSheet(numberSheet);
    for (const FunctionRow& row : kFunctions) {
        const QString face = row.tall ? QStringLiteral("BMenuTitleB") : QStringLiteral("BMenuTitle");
        const QString checked = row.tall ? QStringLiteral("BMenuTitleCheckedB") : QStringLiteral("BMenuTitleChecked");
        button(row.name)->setStyleSheet(shell::pictureSheet(
            QStringLiteral("QToolButton{border: 0px; color: rgb(255, 255, 255); background-image: url(%1%2.png);}"
                           "QToolButton:checked{color: rgb(255, 255, 255); background-image: url(%1%3.png);}")
                .arg(dir, face, checked)));
    }
    label->setStyleSheet(shell::pictureSheet(
        QStringLiteral("#label{border: 0px; color: rgb(255, 255, 255); background-image: url(%1Config.png);}").arg(dir)));
    groupBox->setStyleSheet(
        shell::pictureSheet(QStringLiteral("#groupBox {border: 0;background-image: url(%1TiltleBack.png);}").arg(dir)));
    groupBox_4->setStyleSheet(QStringLiteral("#groupBox_4 {border: 0;}"));
    groupBox_2->setStyleSheet(QStringLiteral("#groupBox_2 {border: 0;}"));
    for (const char* name : kMenuScrollAreas) {
        MainWindow->findChild<QScrollArea*>(QString::fromLatin1(name))
            ->setStyleSheet(QStringLiteral("#%1{border: 0;}").arg(QLatin1String(name)));
    }
}
