#include "settings/FormSetting.h"

#include "core/AppPaths.h"
#include "core/ConfigIni.h"
#include "core/DeviceAllInfo.h"
#include "core/DeviceReport.h"
#include "core/Firmware.h"
#include "core/MacroIni.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Skin.h"
#include "core/Worker.h"
#include "devicelib/HIDUsb.h"
#include "dialogs/DialogFrame.h"
#include "dialogs/LanguageChoice.h"
#include "dialogs/MakeMacro.h"
#include "dialogs/UpDateWarning.h"
#include "sensor/OptionCodes.h"
#include "sensor/OptionStyle.h"
#include "sensor/StopCloseTime.h"
#include "settings/SettingLogic.h"
#include "settings/UpDateRepair.h"
#include "shell/common/ButtonStyle.h"
#include "shell/common/LanguageFile.h"
#include "shell/common/LanguageNames.h"
#include "shell/common/MyButton.h"
#include "shell/common/MyConmboBox.h"
#include "shell/pairing/Match.h"
#include "shell/common/PictureCheck.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QListView>
#include <QLoggingCategory>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <iterator>

namespace {

Q_LOGGING_CATEGORY(lcSettingsPage, "app.settings.page")

template <typename T>
T* place(QWidget* parent, const char* name, const QRect& rect)
{
    auto* widget = new T(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(rect);
    return widget;
}

QFont pageFont(int points)
{
    return dialogs::DialogFrame::dialogFont(points);
}

// The rows' captions: object name, place, built-in text, font size.
struct LabelRow
{
    const char* name;
    QRect rect;
    const char* text;
    int points;
};
const LabelRow kLabels[] = {
    {"label_2", {70, 13, 300, 25}, "语言", 11},
    {"label_3", {70, 113, 300, 25}, "设备信息", 11},
    {"label_4", {40, 155, 180, 20}, "接收器固件版本: ", 9},
    {"label_5", {230, 155, 200, 20}, "", 11},
    {"label_6", {40, 185, 180, 20}, "鼠标固件版本:", 9},
    {"label_7", {230, 185, 200, 20}, "", 11},
    {"label_8", {70, 253, 300, 25}, "配对工具", 11},
    {"label_12", {70, 328, 300, 25}, "休眠模式", 11},
    {"label_13", {70, 370, 161, 61}, "静止关灯时间", 11},
    {"label_9", {70, 423, 300, 25}, "其他", 11},
    {"label_10", {70, 460, 500, 20}, "开机自动启动", 11},
    {"label_11", {70, 553, 300, 25}, "高级设置", 11},
    {"label_14", {70, 633, 700, 25}, "选择接收器上的LED指示灯所传达的信息", 11},
    {"label", {600, 20, 239, 20}, "驱动版本: v1.0.0.1", 11},
};

// The list keeps 2 px inside the panel's left edge and its scroll bar 4 px inside the right one;
// its rows are as wide as the part of it beside the bar, so nothing lies out of reach.
constexpr QRect kListPlace(8, 38, 858, 554);
constexpr int kBarWidth = 13; // as shell::scrollBarStyle() draws it
constexpr int kRowsWidth = kListPlace.width() - kBarWidth;

// Section markers: name, y.
const struct { const char* name; int y; } kMarkers[] = {
    {"TitleButton_2", 20}, {"TitleButton_3", 120}, {"TitleButton_4", 260}, {"TitleButton_5", 430},
    {"TitleButton_6", 560}, {"TitleButton_7", 640}, {"TitleButton_8", 335},
};

const struct { const char* name; int y; } kLines[] = {
    {"line", 95}, {"line_2", 250}, {"line_3", 325}, {"line_4", 413}, {"line_5", 543},
};

const char kDescription[] =
    "远距离模式（远距离模式下，距离会更远抗干扰能力更强，相应工作电流会加大，使用时间减少）";

// The text edits: name, place.
const struct { const char* name; QRect rect; } kDescriptions[] = {
    {"textEdit", {65, 585, 701, 51}},
    {"textEdit_2", {90, 660, 731, 41}},
    {"textEdit_3", {90, 700, 731, 41}},
    {"textEdit_4", {90, 740, 731, 41}},
};

// Rows below the sleep row at their base place; the offset of the sleep row
// is added when the page is built.
const struct { const char* name; QPoint base; } kBelowSleep[] = {
    {"TitleButton_5", {40, 350}}, {"checkBox", {40, 380}},   {"label_10", {70, 380}},
    {"label_9", {70, 343}},       {"toolButton", {40, 420}}, {"pushButton", {60, 420}},
    {"TitleButton_6", {40, 480}}, {"label_11", {70, 473}},   {"checkBox_2", {40, 510}},
    {"TitleButton_7", {40, 560}}, {"label_14", {70, 553}},   {"ReUntil", {70, 580}},
    {"ReUntil_2", {70, 620}},     {"ReUntil_3", {70, 660}},  {"textEdit", {65, 505}},
    {"textEdit_2", {90, 580}},    {"textEdit_3", {90, 620}}, {"textEdit_4", {90, 660}},
};

const char* const kLongRangeRows[] = {"TitleButton_6", "label_11", "checkBox_2", "textEdit", "line_5"};
const char* const kLightRows[] = {"TitleButton_7", "label_14", "ReUntil",   "ReUntil_2",
                                  "ReUntil_3",     "textEdit_2", "textEdit_3", "textEdit_4"};
const char* const kLightBoxes[] = {"ReUntil", "ReUntil_2", "ReUntil_3"};

// Language children shown as widget texts.
const shell::TextBinding kTexts[] = {
    {"label", "label"},       {"label_2", "label_2"},   {"label_3", "label_3"},   {"label_4", "label_4"},
    {"label_6", "label_6"},   {"label_8", "label_8"},   {"label_9", "label_9"},   {"label_10", "label_10"},
    {"label_11", "label_11"}, {"label_12", "label_12"}, {"label_13", "label_13"}, {"label_14", "label_14"},
    {"pushButton_2", "pushButton_2"}, {"pushButton", "pushButton"},
};
const char* const kTextEdits[] = {"textEdit", "textEdit_2", "textEdit_3", "textEdit_4", "NewLabel"};

bool deviceOnline()
{
    const std::string path = CurrentDevicePath();
    return UsbFinderC_GetDeviceOnLine(path.c_str());
}

} // namespace

FormSetting::FormSetting(QWidget* parent)
    : QWidget(parent)
{
    buildForm();
    SleepRowOffset = settings::kSleepRowOffset;
    Receive_2->hide();
    NewLabel->hide();
    for (const auto& row : kBelowSleep) {
        if (QWidget* widget = scrollAreaWidgetContents->findChild<QWidget*>(QString::fromLatin1(row.name)))
            widget->move(row.base + QPoint(0, SleepRowOffset));
    }

    PostMsg* bus = PostMsg::instance();
    connect(bus, &PostMsg::SigChangeLanguage, this, &FormSetting::SlotChangeLanguage);
    connect(bus, &PostMsg::SigLanguageSameB, this, &FormSetting::SlotLanguageSameB);
    connect(bus, &PostMsg::SigLightToFrom, this, &FormSetting::SlotLightToFrom);
    connect(bus, &PostMsg::SigRGBValue, this, &FormSetting::SlotRGBValue, Qt::BlockingQueuedConnection);
    connect(bus, &PostMsg::SigLongRangeMode, this, &FormSetting::SlotLongRangeMode, Qt::BlockingQueuedConnection);
    connect(bus, &PostMsg::SigForm, this, &FormSetting::SlotForm, Qt::BlockingQueuedConnection);
    connect(bus, &PostMsg::SigFormB, this, &FormSetting::SlotFormB);
    connect(bus, &PostMsg::SigSetver, this, &FormSetting::SetVer);
    connect(bus, &PostMsg::SigCheckUpdate, this, &FormSetting::SlotCheckUpdate);
    connect(bus, &PostMsg::SigLabelTextB, this, &FormSetting::SlotLabelTextB);
    connect(bus, &PostMsg::SigFormReset, this, &FormSetting::SlotFormResetForm, Qt::BlockingQueuedConnection);
    connect(scrollArea->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { SlotScroolChange(value); });

    PicturePath = AppDir() + QStringLiteral("/Picture/FormSetting/");
    if (!UpdateRepairDialog) {
        UpdateRepairDialog = new UpDateRepair(nullptr);
        UpdateRepairDialog->hide();
    }
    UpdateWarningDialog = new UpDateWarning(nullptr);
    LightModeGroup = new QButtonGroup(this);
    LightModeGroup->setExclusive(true);

    TransitionValue = ConfigIni::GetInstance()->GetValue(QStringLiteral("Option"), QStringLiteral("Transition")).toInt();
    ButtonColorText = core::optionColour("ButtonColor");
    applyStyles();

    toolButton_2->hide();
    toolButton_3->hide();
    m_receiverNoticeCode = 0;

    DongleCheckTimer = new QTimer(this);
    DongleCheckTimer->setInterval(1000);
    MouseCheckTimer = new QTimer(this);
    MouseCheckTimer->setInterval(1000);
    connectUpdate();

    const int language = MacroIni::Instance()->GetValue(QStringLiteral("Language"), QStringLiteral("Language")).toInt();
    {
        const QSignalBlocker quiet(comboBox);
        comboBox->setCurrentIndex(language < comboBox->count() ? language : -1);
    }
    VersionLabelOrigin = label->pos();
    SlotChangeLanguage(language);

    // The box says "on" only when the session really starts the program.
    checkBox->setChecked(MacroIni::Instance()->GetValue(QStringLiteral("AutoStart"), QStringLiteral("Enable")).toInt()
                             == 1
                         && settings::autostartEntryExists());

    showLongRangeRows(false);
    showLightRows(false);
    applyLayout();
    for (QCheckBox* box : ReUntil)
        LightModeGroup->addButton(box);

    connectControls();
}

FormSetting::~FormSetting()
{
    // Gone in the middle of an update (the program quits): the device watch must not stay off.
    if (m_flow.running()) {
        UpdateCheckRunning = 0;
        FirmwareIdle = 1;
    }
    stopUpdateEvents();
    delete UpdateWarningDialog;
    if (UpdateRepairDialog) {
        delete UpdateRepairDialog;
        UpdateRepairDialog = nullptr;
    }
}

void FormSetting::buildForm()
{
    setObjectName(QStringLiteral("FormSetting"));
    resize(883, 630);
    FrameSetting = place<QFrame>(this, "FrameSetting", QRect(0, 0, 883, 630));
    // The frame shows the top 605 px of a page, reaching 30 px over the top
    // bar, and its panel spans 30 to 600 and 6 to 870: the area keeps 8 px inside
    // the panel's top and bottom edges, so rows scroll out of view before they
    // reach the panel's border.
    scrollArea = place<QScrollArea>(FrameSetting, "scrollArea", kListPlace);
    scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setWidgetResizable(true);
    scrollAreaWidgetContents = new QWidget;
    scrollAreaWidgetContents->setObjectName(QStringLiteral("scrollAreaWidgetContents"));
    scrollAreaWidgetContents->setGeometry(0, 0, kRowsWidth, 710);
    scrollArea->setWidget(scrollAreaWidgetContents);
    QWidget* page = scrollAreaWidgetContents;

    for (const auto& marker : kMarkers) {
        auto* button = place<QToolButton>(page, marker.name, QRect(40, marker.y, 16, 10));
        button->setEnabled(false);
    }
    for (const auto& line : kLines) {
        auto* frame = place<QFrame>(page, line.name, QRect(40, line.y, 781, 1));
        frame->setFrameShape(QFrame::NoFrame);
        frame->setStyleSheet(QStringLiteral("background-color: rgb(53, 53, 53);"));
    }
    for (const LabelRow& row : kLabels) {
        auto* caption = place<QLabel>(page, row.name, row.rect);
        caption->setText(QString::fromUtf8(row.text));
        caption->setFont(pageFont(row.points));
    }
    label = page->findChild<QLabel*>(QStringLiteral("label"));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label_5 = page->findChild<QLabel*>(QStringLiteral("label_5"));
    label_7 = page->findChild<QLabel*>(QStringLiteral("label_7"));
    // The caption's box reaches far below the sleep-time choice beside it: its text starts at the
    // top, so a one-line caption sits level with the choice's middle.
    auto* sleepCaption = page->findChild<QLabel*>(QStringLiteral("label_13"));
    sleepCaption->setWordWrap(true);
    sleepCaption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    sleepCaption->setContentsMargins(0, 2, 0, 0);

    comboBox = place<MyConmboBox>(page, "comboBox", QRect(40, 50, 142, 30));
    comboBox->setFont(pageFont(10));
    comboBox->setFocusPolicy(Qt::NoFocus);

    Receive_2 = place<QToolButton>(page, "Receive_2", QRect(230, 170, 128, 26));
    Receive_2->setText(QStringLiteral("up-to-date"));
    Receive_2->setFont(pageFont(10));
    toolButton_2 = place<QToolButton>(page, "toolButton_2", QRect(460, 160, 14, 14));
    toolButton_3 = place<QToolButton>(page, "toolButton_3", QRect(460, 190, 14, 14));
    toolButton_2->setEnabled(false);
    toolButton_3->setEnabled(false);
    NewLabel = place<QTextEdit>(page, "NewLabel", QRect(37, 213, kRowsWidth - 37, 37));

    pushButton_2 = place<QPushButton>(page, "pushButton_2", QRect(40, 290, 112, 26));
    pushButton_2->setText(QStringLiteral("配对"));
    pushButton_2->setFont(pageFont(10));
    frameClose = new StopCloseTime(page);
    frameClose->setObjectName(QStringLiteral("frameClose"));
    frameClose->setGeometry(250, 365, 145, 35);

    checkBox = place<QCheckBox>(page, "checkBox", QRect(40, 460, 20, 20));
    auto* mouseIcon = place<QToolButton>(page, "toolButton", QRect(40, 500, 14, 20));
    mouseIcon->setEnabled(false);
    pushButton = place<MyButton>(page, "pushButton", QRect(60, 500, 291, 21));
    pushButton->setText(QStringLiteral("Windows鼠标属性"));
    QFont underlined = pageFont(11);
    underlined.setUnderline(true);
    pushButton->setFont(underlined);

    checkBox_2 = place<QCheckBox>(page, "checkBox_2", QRect(40, 590, 20, 20));
    for (const auto& row : kDescriptions) {
        auto* edit = place<QTextEdit>(page, row.name, row.rect);
        edit->setReadOnly(true);
        edit->setEnabled(false);
        edit->setFont(pageFont(9));
        edit->setHtml(QString::fromUtf8(kDescription));
    }
    NewLabel->setReadOnly(true);
    NewLabel->setEnabled(false);
    NewLabel->setFont(pageFont(9));
    NewLabel->setHtml(QString::fromUtf8(kDescription));
    for (int i = 0; i < 3; ++i) {
        ReUntil[i] = place<QCheckBox>(page, kLightBoxes[i], QRect(70, 660 + 40 * i, 16, 31));
        ReUntil[i]->setFont(pageFont(9));
        ReUntil[i]->setTristate(false);
    }

    pushButton_3 = place<MyButton>(page, "pushButton_3", QRect(610, 620, kRowsWidth - 610, 23));
    QFont italic = pageFont(11);
    italic.setItalic(true);
    pushButton_3->setFont(italic);
    pushButton_3->setText(QStringLiteral("https://www.example.com"));
    pushButton_4 = place<QPushButton>(page, "pushButton_4", QRect(490, 640, kRowsWidth - 490, 23));
    pushButton_4->setFont(pageFont(11));
    pushButton_4->setText(QStringLiteral("TALVO R430K mouse"));
    for (QPushButton* button : {static_cast<QPushButton*>(pushButton), pushButton_2,
                                static_cast<QPushButton*>(pushButton_3), pushButton_4})
        button->setFocusPolicy(Qt::NoFocus);
}

void FormSetting::applyStyles()
{
    const QString text = sensor::optionColour("LabelColor");
    const QString labelStyle = QStringLiteral("color: rgb(%1);").arg(text);
    // The sleep row's heading and caption too: without a colour of their own
    // they would be dark on the dark page.
    for (QLabel* caption : scrollAreaWidgetContents->findChildren<QLabel*>())
        caption->setStyleSheet(labelStyle);
    pushButton->setStyleSheet(QStringLiteral("text-align:left;border:none;background:transparent;color: rgb(%1);")
                                  .arg(text));
    // The right-aligned lines end where the driver version above them ends.
    const QString right =
        QStringLiteral("text-align:right;border:none;background:transparent;padding-right:6px;color: rgb(%1);")
            .arg(text);
    pushButton_3->setStyleSheet(right);
    pushButton_4->setStyleSheet(right);
    for (const char* name : kTextEdits)
        scrollAreaWidgetContents->findChild<QTextEdit*>(QString::fromLatin1(name))
            ->setStyleSheet(QStringLiteral("QTextEdit{background:transparent;border:none;color: rgb(%1);}").arg(text));
    NewLabel->setStyleSheet(QStringLiteral("QTextEdit{background:transparent;border:none;color: rgb(255, 106, 0);}"));
    pushButton_2->setStyleSheet(shell::pictureSheet(
        QStringLiteral("QPushButton{border:none;color: rgb(%1);border-image: url(%2PariButton.png);}")
            .arg(ButtonColorText, PicturePath)));
    shell::styleCombo(comboBox, PicturePath, true);
    comboBox->setMaxVisibleItems(5);

    const QString check = shell::checkBoxStyle(QStringLiteral("255,255,255"), PicturePath, "CheckBoxChecked.png");
    checkBox->setStyleSheet(check);
    checkBox_2->setStyleSheet(check);
    const QString light = shell::checkBoxStyle(text, PicturePath, "CheckBoxCheck.png", "CheckBox2.png");
    for (QCheckBox* box : ReUntil)
        box->setStyleSheet(light);
    for (const auto& marker : kMarkers)
        scrollAreaWidgetContents->findChild<QToolButton*>(QString::fromLatin1(marker.name))
            ->setStyleSheet(shell::pictureSheet(QStringLiteral("border:none;border-image: url(%1Title.png);").arg(PicturePath)));
    scrollAreaWidgetContents->findChild<QToolButton*>(QStringLiteral("toolButton"))
        ->setStyleSheet(shell::pictureSheet(QStringLiteral("border:none;border-image: url(%1Mouse.png);").arg(PicturePath)));
    const QString marker = shell::pictureSheet(
        QStringLiteral("border:none;background-image: url(%1Picture.png);color: rgb(255,106,0);").arg(PicturePath));
    toolButton_2->setStyleSheet(marker);
    toolButton_3->setStyleSheet(marker);
    scrollArea->verticalScrollBar()->setStyleSheet(shell::scrollBarStyle());
    scrollAreaWidgetContents->setStyleSheet(QStringLiteral("#scrollAreaWidgetContents{background-color:transparent;border:none;}"));
    scrollArea->setStyleSheet(QStringLiteral("QScrollArea{background:transparent;}"));
    scrollArea->viewport()->setAutoFillBackground(false);
    // Last: each style sheet set above around a filled list would lay it out again.
    shell::fillLanguageList(comboBox);
}

void FormSetting::connectControls()
{
    connect(comboBox, QOverload<int>::of(&QComboBox::activated), this, &FormSetting::on_comboBox_activated);
    connect(checkBox, &QCheckBox::clicked, this, &FormSetting::on_checkBox_clicked);
    connect(checkBox_2, &QCheckBox::toggled, this, &FormSetting::on_checkBox_2_toggled);
    for (int i = 0; i < 3; ++i)
        connect(ReUntil[i], &QCheckBox::toggled, this, [this, i](bool checked) { lightModeToggled(i + 1, checked); });
    connect(pushButton_2, &QPushButton::clicked, this, &FormSetting::on_pushButton_2_clicked);
    connect(pushButton, &QPushButton::clicked, this, &FormSetting::on_pushButton_clicked);
    connect(pushButton_3, &QPushButton::clicked, this, &FormSetting::on_pushButton_3_clicked);
}

bool FormSetting::FindUpdateFile(quint8 imageKind, const QString& version, const QString& imageName, quint8 cid,
                                 quint8 mid)
{
    return core::findUpdateFile(core::ImageUse::Update, imageKind, version, imageName, cid, mid);
}

bool FormSetting::FindNewerFile(quint8 imageKind, const QString& version, const QString& imageName, quint8 cid,
                                quint8 mid)
{
    return core::findNewerFile(imageKind, version, imageName, cid, mid);
}

bool FormSetting::CheckUpdateFile(quint8 imageKind, const QString& version, int receiverClass)
{
    return core::checkUpdateFile(imageKind, version, receiverClass);
}

QList<QByteArray> FormSetting::UpdateImageList()
{
    return core::imageList(core::ImageUse::Update);
}

QStringList FormSetting::advancedList() const
{
    const int group = CurrentDeviceInfoCopy().DriveIndex + 1;
    return ConfigIni::GetInstance()->GetValueList(QStringLiteral("Drive%1").arg(group), QStringLiteral("Adveanced"));
}

void FormSetting::setGroupVisible(const char* const* names, int count, bool visible)
{
    for (int i = 0; i < count; ++i) {
        if (QWidget* widget = scrollAreaWidgetContents->findChild<QWidget*>(QString::fromLatin1(names[i])))
            widget->setVisible(visible);
    }
}

void FormSetting::showLongRangeRows(bool visible)
{
    setGroupVisible(kLongRangeRows, int(std::size(kLongRangeRows)), visible);
}

void FormSetting::showLightRows(bool visible)
{
    setGroupVisible(kLightRows, int(std::size(kLightRows)), visible);
}

void FormSetting::applyLayout()
{
    QWidget* page = scrollAreaWidgetContents;
    const auto shown = [page](const char* name) {
        return page->findChild<QWidget*>(QString::fromLatin1(name))->isVisibleTo(page);
    };
    const settings::PageLayout layout = settings::pageLayout(shown("label_14"), shown("label_11"));
    scrollAreaWidgetContents->setMinimumSize(kRowsWidth, layout.contentHeight);
    scrollAreaWidgetContents->setMaximumSize(kRowsWidth, layout.contentHeight);
    pushButton_3->move(layout.webLink);
    pushButton_4->move(layout.companyLine);
}

int FormSetting::ContentHeight() const
{
    return scrollAreaWidgetContents->maximumHeight();
}

void FormSetting::SlotRGBValue(DongleRGB* Rgb)
{
    m_dongleLightMode = Rgb ? Rgb->Mode : 0;
    const DeviceAllInfo info = CurrentDeviceInfoCopy();
    if (!Rgb || !settings::receiverLightOffered(advancedList(), info.DeviceKind, info.RestrictedKind))
        return;
    m_lightReported = true;
    m_lightReportedOn = core::linkGeneration();
    showLightRows(true);
    const int mode = Rgb->Mode;
    if (mode >= 1 && mode <= 3) {
        // What the receiver reports is shown, not sent back to it.
        const QSignalBlocker quiet(ReUntil[mode - 1]);
        ReUntil[mode - 1]->setChecked(true);
    }
    applyLayout();
}

void FormSetting::SlotLongRangeMode(bool Select)
{
    m_longRange = Select;
    if (settings::advancedFeatureMissing(advancedList(), 0))
        return;
    showLongRangeRows(true);
    applyLayout();
    // A change of the box sends the reported mode back to the receiver once (under the write
    // gate): the receiver then holds what the page shows, whichever side switched it.
    checkBox_2->setChecked(Select);
}

// The receiver reports its light while the mouse is being read, before the
// whole configuration reaches the pages; the layout that follows keeps the
// light rows of the receiver that reported, or they could never be reached.
bool FormSetting::lightReportedForOpenDevice() const
{
    const DeviceAllInfo info = CurrentDeviceInfoCopy();
    return m_lightReported && m_lightReportedOn == core::linkGeneration()
           && settings::receiverLightOffered(advancedList(), info.DeviceKind, info.RestrictedKind);
}

void FormSetting::SlotForm()
{
    ++m_formCount;
    const QStringList advanced = advancedList();
    const bool light = lightReportedForOpenDevice();
    showLightRows(light);
    showLongRangeRows(!settings::advancedFeatureMissing(advanced, 0));
    if (CurrentDeviceInfoCopy().RestrictedKind)
        showLongRangeRows(false);
    applyLayout();
}

void FormSetting::SlotFormB()
{
    if (settings::advancedFeatureMissing(advancedList(), 0))
        showLongRangeRows(false);
    const bool light = lightReportedForOpenDevice();
    showLightRows(light);
    if (CurrentDeviceInfoCopy().RestrictedKind)
        showLongRangeRows(false);
    applyLayout();
}

void FormSetting::SlotFormResetForm()
{
    ++m_formResetCount;
    m_lightReported = false;
    showLongRangeRows(false);
    showLightRows(false);
    // Unchecking sends "off" under the write gate; a device that does not answer gets nothing,
    // and the user is told it is offline.
    checkBox_2->setChecked(false);
    applyLayout();
}

void FormSetting::SlotLabelTextB(QString TextA, QString Text)
{
    label_5->setText(TextA);
    m_receiverOffer = Text == QLatin1String("true");
    setUpdateButtonStyle(m_receiverOffer);
}

void FormSetting::setUpdateButtonStyle(bool waiting)
{
    const QString head = QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:no-repeat;"
                                        "color: rgb(")
                         + ButtonColorText;
    if (waiting)
        Receive_2->setStyleSheet(shell::pictureSheet(head + QStringLiteral(";);background-image: url(") + PicturePath
                                                     + QStringLiteral("WaitUpdate.png);}QToolButton::hover{background-image: url(")
                                                     + PicturePath + QStringLiteral("WaitUpdateHover.png);}")));
    else
        Receive_2->setStyleSheet(shell::pictureSheet(head + QStringLiteral(";);border-image: url(") + PicturePath
                                                     + QStringLiteral("Confirm.png);}")));
}

void FormSetting::SetVer(int index)
{
    switch (index) {
    case 0: {
        const QList<DeviceAllInfo> found = WorkerInstance ? WorkerInstance->DeviceList() : QList<DeviceAllInfo>();
        const settings::VersionTexts texts = settings::composeVersions(CurrentDeviceInfoCopy(), found);
        if (QDir(AppDir() + QStringLiteral("/bin")).exists()) {
            MouseUpdateAvailable = CheckUpdateFile(core::kMouseImage, texts.mouse, texts.receiverClass) ? 1 : 0;
            ReceiverUpdateAvailable = CheckUpdateFile(core::kReceiverImage, texts.receiver, texts.receiverClass) ? 1 : 0;
            setUpdateButtonStyle(MouseUpdateAvailable || ReceiverUpdateAvailable);
        }
        label_5->setText(texts.receiver);
        label_7->setText(texts.mouse);
        break;
    }
    case 1:
        m_receiverNoticeCode = 0;
        toolButton_2->hide();
        break;
    case 2:
        m_mouseNoticeCode = 0;
        toolButton_3->hide();
        break;
    case 4:
        Receive_2->setText(ReceiveText);
        m_receiverNoticeCode = 0;
        m_mouseNoticeCode = 0;
        toolButton_2->hide();
        toolButton_3->hide();
        m_receiverRefused = m_mouseRefused = false;
        m_receiverTimerRunning = m_mouseTimerRunning = false;
        break;
    case 6:
        label_5->clear();
        label_7->clear();
        break;
    default:
        break;
    }
}

QString FormSetting::ReceiverVersionText() const
{
    return label_5->text();
}

QString FormSetting::MouseVersionText() const
{
    return label_7->text();
}

void FormSetting::SlotCheckUpdate()
{
    // The worker asks after every rescan of the open device's bus; the check
    // is only wanted while the repair dialog shows and is not already busy.
    if (!UpdateRepairDialog || !UpdateRepairDialog->WaitsForCheck())
        return;
    // The dialog may be repairing for the choice page: its state is not ours to change.
    if (RepairUpgrading || MainPageIndex != 1)
        return;
    if (ChechIsUpDate())
        UpdateRepairDialog->ShowReadyState();
}

void FormSetting::SlotLightToFrom(int index)
{
    const int entry = settings::sleepIndexForSeconds(index);
    if (entry >= 0)
        frameClose->SetCurrentIndex(entry);
}

int FormSetting::SleepSeconds() const
{
    const auto* list = frameClose->findChild<QComboBox*>(QStringLiteral("StopClose"));
    const int entry = list ? list->currentIndex() : -1;
    return (entry >= 0 && entry < sensor::kSleepTimes) ? sensor::SleepTimeTable[entry] * 10 : 0;
}

void FormSetting::SlotLanguageSameB(int index)
{
    const QSignalBlocker quiet(comboBox);
    comboBox->setCurrentIndex(index >= 0 && index < comboBox->count() ? index : -1);
}

void FormSetting::SlotScroolChange(int index)
{
    label->move(VersionLabelOrigin.x(), VersionLabelOrigin.y() + 10 + index);
}

void FormSetting::SlotChangeLanguage(int index)
{
    Receive_2->setFont(pageFont(10));
    const settings::LanguagePlacement place = settings::languagePlacement(index);
    if (!place.moveUpdateButton)
        Receive_2->setFont(pageFont(place.updatePoints));
    label_5->move(place.valueX, 155);
    label_7->move(place.valueX, 185);
    if (place.moveUpdateButton)
        Receive_2->move(place.updateButton);
    toolButton_2->move(460, 160);
    toolButton_3->move(460, 190);

    const int file = (index >= 0 && index < shell::kLanguageCount) ? index : 0;
    if (!QFile::exists(shell::LanguageFile::path(file)))
        return;
    const shell::LanguageElement texts = shell::LanguageFile::cachedElement(file, QStringLiteral("FormSetting"));
    shell::applyTexts(scrollAreaWidgetContents, texts, kTexts);
    for (const char* name : kTextEdits) {
        QString text;
        if (texts.find(QString::fromLatin1(name), &text))
            scrollAreaWidgetContents->findChild<QTextEdit*>(QString::fromLatin1(name))->setText(text);
    }
    for (int item = 0; item < sensor::kSleepTimes; ++item) {
        const QString child = item == 0 ? QStringLiteral("StopCloseTime") : QStringLiteral("StopCloseTime%1").arg(item);
        QString text;
        if (texts.find(child, &text))
            frameClose->SetItemText(item, text);
    }
    if (texts.find(QStringLiteral("Receive"), &ReceiveText))
        Receive_2->setText(ReceiveText);
    const struct { const char* child; QString* target; } messages[] = {
        {"NoRecieve", &NoRecieveText},   {"NoUSB", &NoUSBText},           {"Error", &ErrorText},
        {"MultiMouse", &MultiMouseText}, {"MultiDongle", &MultiDongleText}, {"NoDevice", &NoDeviceText},
        {"SameDevice", &SameDeviceText}, {"VerNew", &VerNewText},         {"WiredMode", &WiredModeText},
        {"NoMouseSettings", &NoMouseSettingsText},
    };
    for (const auto& message : messages)
        texts.find(QString::fromLatin1(message.child), message.target);

    // The web profile follows the stored language, which every language list
    // writes before it announces the change.
    settings::NetTexts net;
    const int stored = MacroIni::Instance()->GetValue(QStringLiteral("Language"), QStringLiteral("Language")).toInt();
    const QString netPath = AppDir() + QStringLiteral("/Language/Net.xml");
    QString why;
    if (!settings::readNetProfile(netPath, stored, &net, &why)) {
        // Read at every language change; a damaged profile is worth one line, not one per change.
        static bool told = false;
        if (!told && QFileInfo::exists(netPath)) {
            qCWarning(lcSettingsPage) << "web profile not read:" << why;
            told = true;
        }
        return;
    }
    if (net.hasCompany)
        pushButton_4->setText(net.company);
    if (net.hasWeb)
        pushButton_3->setText(net.web);
}

void FormSetting::on_comboBox_activated(int index)
{
    dialogs::chooseLanguage(index, &PostMsg::EmitLanguageSameA, [this](QWidget* notice) { placeOverPage(notice); });
}

void FormSetting::showNotSaved(MakeMacro::Text text, int language)
{
    dialogs::showNotSaved(text, language, [this](QWidget* notice) { placeOverPage(notice); });
}

void FormSetting::on_checkBox_clicked(bool checked)
{
    QString error;
    const QString program = QCoreApplication::applicationFilePath();
    bool kept = settings::setAutostartEntry(checked, program, &error);
    // The box is shown from both the entry and the stored choice: without the choice, the
    // entry is taken back so that the session does what the box will show next time.
    if (kept && !MacroIni::Instance()->SetValue(QStringLiteral("AutoStart"), QStringLiteral("Enable"),
                                                checked ? QStringLiteral("1") : QStringLiteral("0"))) {
        error = QStringLiteral("choice not stored");
        settings::setAutostartEntry(!checked, program);
        // The store holds what it was given for the run: it takes back the choice the box shows.
        MacroIni::Instance()->SetValue(QStringLiteral("AutoStart"), QStringLiteral("Enable"),
                                       checked ? QStringLiteral("0") : QStringLiteral("1"));
        kept = false;
    }
    if (kept)
        return;
    // The box shows what the session will really do.
    qWarning("start with the session not changed: %s", qPrintable(error));
    {
        const QSignalBlocker quiet(checkBox);
        checkBox->setChecked(!checked);
    }
    showNotSaved(MakeMacro::Text::StartUpNotSaved);
}

void FormSetting::on_checkBox_2_toggled(bool checked)
{
    if (DeviceWriteReady == 0)
        return;
    if (!deviceOnline()) {
        PostMsg::instance()->EmitMouseOffLineo(0);
        return;
    }
    const std::string path = CurrentDevicePath();
    UsbFinderC_SetLongRangeMode(path.c_str(), checked);
}

void FormSetting::lightModeToggled(int mode, bool checked)
{
    if (DeviceWriteReady == 0)
        return;
    if (!deviceOnline()) {
        PostMsg::instance()->EmitMouseOffLineo(0);
        return;
    }
    if (!checked)
        return;
    DongleRGB* buffer = DongleRGBBuffer();
    buffer->Mode = quint8(mode);
    const std::string path = CurrentDevicePath();
    UsbFinderC_Set4KDongleRGB(path.c_str(), buffer);
}

void FormSetting::on_pushButton_2_clicked()
{
    Match pairing(nullptr);
    pairing.InitPairInfo();
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    pairing.move(origin.x() + (width() - pairing.width()) / 2 - 70,
                 (height() - pairing.height()) / 2 + (origin.y() - 30));
    pairing.exec();
    StartUsbChanged(&Worker::OnUsbChanged, 600);
}

void FormSetting::showNotice(const QString& text)
{
    const QPoint centre = mapToGlobal(QPoint(width() / 2, height() / 2));
    UpdateWarningDialog->move(centre - QPoint(75, 65));
    UpdateWarningDialog->setWindowModality(Qt::ApplicationModal);
    UpdateWarningDialog->SetText(text);
    UpdateWarningDialog->show();
}

void FormSetting::on_pushButton_clicked()
{
    if (!settings::openMouseSettings())
        showNotice(NoMouseSettingsText);
}

void FormSetting::on_pushButton_3_clicked()
{
    QDesktopServices::openUrl(QUrl::fromUserInput(pushButton_3->text()));
}

void FormSetting::mousePressEvent(QMouseEvent*)
{
}
