#include "settings/UpDateRepair.h"

#include "core/AppPaths.h"
#include "core/Firmware.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Skin.h"
#include "dialogs/DialogFrame.h"
#include "shell/common/ButtonStyle.h"
#include "shell/common/LanguageFile.h"
#include "shell/common/PictureCheck.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr QSize kDialogSize(460, 289);

// Children of the language element kept for the messages; "ToolText" goes
// straight into its label.
constexpr const char* kTextChildren[] = {
    "NewHong_2", "UpdateNotMove", "NoDevice", "SameDevice", "UpdateFail", "UpdateSuccess", "Cancel",
    "Confirm",   "NoRecieve",     "NoUSB",    "Error",      "Error2",     "FileError",     "MultiDongle",
    "MultiMouse", "ReadyUpdate", "NotRecorded"};

struct LabelRow {
    const char* name;
    QRect rect;
    const char* text;
};
constexpr LabelRow kLabels[] = {
    {"ToolText", {80, 20, 300, 91}, "请先确保插入接收器和有线鼠标,升级期间请勿关闭程序或者拔插设备。"},
    {"ToolText_2", {80, 130, 300, 51}, "当前没有发现可以升级的鼠标,请确认鼠标是否处于有线模式"},
};

struct ButtonRow {
    const char* name;
    QRect rect;
    const char* text;
};
constexpr ButtonRow kButtons[] = {
    {"NewHong_2", {90, 240, 120, 24}, "升级"},
    {"NewHong", {250, 240, 120, 24}, "取消"},
};

} // namespace

UpDateRepair::UpDateRepair(QWidget* parent)
    : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
    setWindowTitle(QStringLiteral("Dialog"));
    setObjectName(QStringLiteral("UpDateRepair"));
    setFixedSize(kDialogSize);
    buildWidgets();
    applyStyles();

    m_watchdog = new QTimer(this);
    m_watchdog->setSingleShot(true);
    m_watchdog->setInterval(kWatchdogMs);
    connect(m_watchdog, &QTimer::timeout, this, &UpDateRepair::failStage);

    connect(m_closeButton, &QToolButton::clicked, this, &UpDateRepair::on_CloseButton_clicked);
    connect(m_newHong, &QToolButton::clicked, this, &UpDateRepair::on_NewHong_clicked);
    connect(m_newHong2, &QToolButton::clicked, this, &UpDateRepair::on_NewHong_2_clicked);
    PostMsg* bus = PostMsg::instance();
    connect(bus, &PostMsg::SigChangeLanguage, this, &UpDateRepair::SlotChangeLanguage);
    connect(bus, &PostMsg::SigAutoRepair, this, &UpDateRepair::SlotAutoRepair);
    connect(bus, &PostMsg::SigAutoRepairProgress, this, &UpDateRepair::SlotAutoRepairProgress);
    connect(bus, &PostMsg::SigProgress, this, &UpDateRepair::SlotProgress);
    connect(bus, &PostMsg::SigRepairCheckUpdate, this, &UpDateRepair::SlotRepairCheckUpdate);

    m_newHong->hide();
    m_newHong2->hide();
    m_toolText2->hide();
    m_progress->hide();
    SlotChangeLanguage(shell::LanguageFile::currentIndex());
}

UpDateRepair::~UpDateRepair()
{
    // Gone in the middle of an update (the program quits): nothing will end it later, and the
    // process-wide flags must not say for the rest of the run that firmware is being written.
    if (m_flow.running())
        endUpdate();
    registerUpdating(false);
}

void UpDateRepair::buildWidgets()
{
    m_frame = new QFrame(this);
    m_frame->setObjectName(QStringLiteral("AutoRepair"));
    m_frame->setGeometry(QRect(QPoint(0, 0), kDialogSize));
    const QFont font = dialogs::DialogFrame::dialogFont();

    m_closeButton = new QToolButton(m_frame);
    m_closeButton->setObjectName(QStringLiteral("CloseButton"));
    m_closeButton->setGeometry(430, 5, 20, 20);
    m_closeButton->setFocusPolicy(Qt::NoFocus);

    QLabel* labels[2] = {};
    for (int i = 0; i < 2; ++i) {
        labels[i] = new QLabel(QString::fromUtf8(kLabels[i].text), m_frame);
        labels[i]->setObjectName(QLatin1String(kLabels[i].name));
        labels[i]->setGeometry(kLabels[i].rect);
        labels[i]->setWordWrap(true);
        labels[i]->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        labels[i]->setFont(font);
    }
    m_toolText = labels[0];
    m_toolText2 = labels[1];

    m_progress = new QProgressBar(m_frame);
    m_progress->setObjectName(QStringLiteral("progressBar_2"));
    m_progress->setGeometry(85, 200, 290, 26);
    m_progress->setValue(0);
    m_progress->setTextVisible(true);
    m_progress->setFormat(QStringLiteral("%p%"));

    QToolButton* buttons[2] = {};
    for (int i = 0; i < 2; ++i) {
        buttons[i] = new QToolButton(m_frame);
        buttons[i]->setObjectName(QLatin1String(kButtons[i].name));
        buttons[i]->setGeometry(kButtons[i].rect);
        buttons[i]->setText(QString::fromUtf8(kButtons[i].text));
        buttons[i]->setFont(font);
        buttons[i]->setFocusPolicy(Qt::NoFocus);
    }
    m_newHong2 = buttons[0];
    m_newHong = buttons[1];
}

void UpDateRepair::applyStyles()
{
    const QString folder = AppDir() + QStringLiteral("/Picture/WarningDialog/");
    const QString labelColour = core::optionColour("LabelColor");
    const QString buttonColour = core::optionColour("ButtonColor");
    m_frame->setStyleSheet(shell::pictureSheet(QStringLiteral("#AutoRepair{border:0px;background-position:center;"
                                                              "background-repeat:no-repeat;"
                                                              "border-image: url(%1BackGround.png);}")
                                                   .arg(folder)));
    m_toolText->setStyleSheet(
        QStringLiteral("#ToolText{color: rgb(%1);background-color:rgba(0,0,0,0);}").arg(labelColour));
    m_toolText2->setStyleSheet(QStringLiteral("#ToolText_2{color: rgb(255,0,0);background-color:rgba(0,0,0,0);}"));
    const QString buttonStyle = shell::pictureSheet(
        QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:no-repeat;color: "
                       "rgb(%1);border-image: url(%2ok_nr.png);}QToolButton:hover{border-image: url(%2ok_enter.png); }")
            .arg(buttonColour, folder));
    m_newHong->setStyleSheet(buttonStyle);
    m_newHong2->setStyleSheet(buttonStyle);
    m_closeButton->setStyleSheet(shell::windowButtonStyle(folder, QStringLiteral("Close")));
}

QString UpDateRepair::text(const char* child) const
{
    return m_texts.value(QLatin1String(child));
}

void UpDateRepair::SlotChangeLanguage(int index)
{
    const shell::LanguageElement texts =
        shell::LanguageFile::cachedElement(index, QStringLiteral("AutoRepair"));
    QString toolText;
    if (texts.find(QStringLiteral("ToolText"), &toolText))
        m_toolText->setText(toolText);
    // The start button keeps its role across the change: a dialog that only
    // closes still says so in the new language.
    const bool confirming = !text("Confirm").isEmpty() && m_newHong2->text() == text("Confirm");
    for (const char* child : kTextChildren) {
        QString value;
        if (texts.find(QLatin1String(child), &value))
            m_texts.insert(QLatin1String(child), value);
    }
    // Every opener shows the buttons in the user's language, whichever state
    // it sets first (the automatic repair sets none before the outcome).
    setButtonText(m_newHong, text("Cancel"));
    setButtonText(m_newHong2, text(confirming ? "Confirm" : "NewHong_2"));
}

void UpDateRepair::setButtonText(QToolButton* button, const QString& value)
{
    if (!value.isEmpty())
        button->setText(value);
}

void UpDateRepair::setShortcuts()
{
    m_newHong2->setShortcut(QKeySequence(Qt::Key_Return));
    m_newHong->setShortcut(QKeySequence(Qt::Key_Escape));
}

void UpDateRepair::SetTipText(QString text)
{
    m_toolText2->setText(text);
    // A message is there to be read: the automatic repair shows none of the
    // states that would show the line, and its outcome must not stay hidden.
    m_toolText2->show();
}

void UpDateRepair::ShowNotRecorded()
{
    // Told like an outcome: a rescan must not replace it before it is read.
    m_outcomeShown = true;
    showMessage("NotRecorded");
    ShowIdleState();
}

void UpDateRepair::showMessage(const char* child)
{
    SetTipText(text(child));
}

void UpDateRepair::ResetUi()
{
    m_outcomeShown = false;
    m_newHong2->show();
    m_newHong2->setText(text("NewHong_2"));
    m_newHong->show();
    m_newHong->setText(text("Cancel"));
    // A dialog reset after an update ended must be closable again.
    m_newHong->setEnabled(true);
    m_closeButton->show();
    m_closeButton->setEnabled(true);
    m_toolText2->clear();
    m_toolText2->show();
    m_progress->setValue(0);
    m_progress->hide();
    setShortcuts();
}

void UpDateRepair::ShowReadyState()
{
    m_newHong2->show();
    m_newHong2->setText(text("NewHong_2"));
    m_newHong->show();
    m_newHong->setEnabled(true);
    m_newHong->setText(text("Cancel"));
    m_closeButton->show();
    m_closeButton->setEnabled(true);
    showMessage("ReadyUpdate");
    m_toolText2->show();
    m_progress->hide();
    setShortcuts();
}

void UpDateRepair::ShowIdleState()
{
    m_newHong2->show();
    m_newHong2->setText(text("Confirm"));
    m_newHong->show();
    m_newHong->setEnabled(true);
    m_closeButton->show();
    m_closeButton->setEnabled(true);
    m_toolText2->show();
    m_progress->hide();
    setShortcuts();
}

void UpDateRepair::ShowUpdatingState()
{
    m_newHong2->hide();
    m_newHong->hide();
    m_newHong->setEnabled(false);
    m_closeButton->show();
    m_closeButton->setEnabled(false);
    showMessage("UpdateNotMove");
    m_progress->show();
    setShortcuts();
}

void UpDateRepair::SlotAutoRepairProgress(int index)
{
    m_progress->setValue(index);
}

void UpDateRepair::SlotAutoRepair(int index)
{
    m_outcomeShown = true;
    showMessage(index != 0 ? "UpdateFail" : "UpdateSuccess");
    m_newHong2->setText(text("Confirm"));
    setShortcuts();
    m_newHong->show();
}

void UpDateRepair::SlotProgress(int schedue, int Discrib)
{
    const auto endWith = [this](const char* message) {
        m_outcomeShown = true;
        showMessage(message);
        m_newHong->show();
        m_closeButton->setEnabled(true);
        m_newHong->setEnabled(true);
    };
    switch (Discrib) {
    case 0:
        m_progress->setValue(schedue);
        break;
    case 1:
    case 2:
    case 5:
        m_newHong2->setText(text("Confirm"));
        m_newHong2->show();
        endWith(Discrib == 2 ? "UpdateSuccess" : "UpdateFail");
        if (Discrib != 1)
            m_progress->setValue(Discrib == 2 ? 100 : 50);
        break;
    case 3:
    case 4:
        m_newHong->hide();
        if (Discrib == 4)
            m_progress->setValue(0);
        break;
    case 6:
        endWith("UpdateFail");
        break;
    default:
        break;
    }
    setShortcuts();
}

void UpDateRepair::closeIfIdle()
{
    if (UpgradeProgressSeen)
        return;
    if (!m_progress->isHidden()) {
        if (m_progress->value() == 100) {
            PostMsg::instance()->EmitSetNewVer();
        } else if (MainPageIndex == 1) {
            PostMsg::instance()->EmitChangeMainDialog(0);
        }
    }
    // Not close(): that comes back through reject().
    QDialog::reject();
}

void UpDateRepair::on_CloseButton_clicked()
{
    closeIfIdle();
}

void UpDateRepair::on_NewHong_clicked()
{
    closeIfIdle();
}

void UpDateRepair::on_NewHong_2_clicked()
{
    if (!UpgradeProgressSeen && !m_progress->isHidden()) {
        closeIfIdle();
    } else if (m_newHong2->text() == text("Confirm")) {
        QDialog::reject();
    } else if (MainPageIndex == 1) {
        PostMsg::instance()->EmitUpdateStart();
    } else {
        StartUpgrade();
    }
}

void UpDateRepair::reject()
{
    // Between the start and the end of an update nothing closes the dialog.
    if (RepairUpgrading || UpgradeProgressSeen)
        return;
    closeIfIdle();
}

bool UpDateRepair::WaitsForCheck() const
{
    return isVisible() && UpdateCheckRunning == 0 && !m_outcomeShown;
}

void UpDateRepair::setWatchdogInterval(int ms)
{
    m_watchdog->setInterval(ms);
}

bool UpDateRepair::FindFirmwareFile(quint8 imageKind, const QString& version, const QString& imageName, quint8 cid,
                                    quint8 mid)
{
    return core::findUpdateFile(core::ImageUse::Repair, imageKind, version, imageName, cid, mid);
}

QList<QByteArray> UpDateRepair::RepairImageList()
{
    return core::imageList(core::ImageUse::Repair);
}
