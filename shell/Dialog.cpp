#include "shell/Dialog.h"

#include "buttons/Buttoninterface.h"
#include "core/AppPaths.h"
#include "core/DeviceInfoFile.h"
#include "core/EventWait.h"
#include "core/FlashDataMap.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Skin.h"
#include "dialogs/DialogFrame.h"
#include "dialogs/UpDataParam.h"
#include "macro/Macro.h"
#include "sensor/Sensor.h"
#include "settings/FormSetting.h"
#include "shell/DialogMainStyle.h"
#include "ui_Dialog.h"
#include "shell/common/PictureCheck.h"

#include <HIDUsb.h>

#include <QButtonGroup>
#include <QFrame>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QToolButton>

#include <iterator>

namespace {
Q_LOGGING_CATEGORY(lcFrame, "app.shell.frame")
} // namespace

namespace {

// The five page buttons, in the order of the exclusive group.
constexpr const char* kPageButtons[] = {"ButtonMain", "MacroButton", "LightsButton", "SensorButton", "FormSetting"};

// Every button of the form and the handler its click runs.
struct ButtonRow {
    const char* button;
    void (Dialog::*handler)();
};
constexpr ButtonRow kButtons[] = {
    {"MinButton", &Dialog::WindowMin},
    {"ButtonMain", &Dialog::on_ButtonMain_clicked},
    {"SensorButton", &Dialog::on_SensorButton_clicked},
    {"MacroButton", &Dialog::on_MacroButton_clicked},
    {"LightsButton", &Dialog::on_LightsButton_clicked},
    {"UpArrow", &Dialog::on_UpArrow_clicked},
    {"SetButton", &Dialog::on_SetButton_clicked},
    {"CloseButton", &Dialog::on_CloseButton_clicked},
    {"FormSetting", &Dialog::on_FormSetting_clicked},
};

} // namespace

Dialog::Dialog(QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::Dialog>())
{
    m_ui->setupUi(this);
    m_ui->LightsButton->hide();
    m_skinDir = AppDir() + QStringLiteral("/Picture/Dialog/");
    setupPages();
    m_paramDialog = new UpDataParam(nullptr);
    setupStyles();
    setupButtons();
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
    setFixedSize(width(), height());
    showPage(m_buttonPage);
    setupBus();
    m_ui->label_2->hide();
}

Dialog::~Dialog()
{
    delete m_buttonPage;
    delete m_macroPage;
    delete m_sensorPage;
    delete m_settingPage;
}

void Dialog::setupPages()
{
    m_buttonPage = new Buttoninterface(this);
    m_macroPage = new Macro(this);
    m_sensorPage = new Sensor(this);
    m_settingPage = new FormSetting(this);
    for (QWidget* page : {static_cast<QWidget*>(m_buttonPage), static_cast<QWidget*>(m_sensorPage),
                          static_cast<QWidget*>(m_macroPage), static_cast<QWidget*>(m_settingPage)})
        m_ui->stackedWidgetDialog->addWidget(page);
}

void Dialog::setupStyles()
{
    m_ui->label_2->setStyleSheet(QStringLiteral("#label_2{color: rgb(%1;);}")
                                     .arg(core::optionColour("LabelColor")));
    m_ui->BatteryButtonC->setStyleSheet(
        shell::pictureSheet(QStringLiteral("#BatteryButtonC{border:0px;background-image: url(%1);background-position:center;"
                                           "background-repeat:no-repeat;}")
                                .arg(m_skinDir + "Battery.png")));
    m_ui->label->setStyleSheet(shell::borderImageStyle(QStringLiteral("label"), m_skinDir + "Charg.png"));
    // The inner frames only group widgets; the background picture draws the bar and the strip.
    for (QFrame* inner : {m_ui->frame, m_ui->frame_3, m_ui->frame_4})
        inner->setStyleSheet(QStringLiteral("#%1{border: 0px; background: transparent;}").arg(inner->objectName()));
    for (const shell::ButtonLook& look : shell::kFrameButtonLooks) {
        auto* button = findChild<QToolButton*>(QLatin1String(look.button));
        if (button)
            button->setStyleSheet(shell::buttonStyle(look, m_skinDir));
    }
    m_ui->label->hide();
    m_ui->SetButton->hide();
}

void Dialog::setupButtons()
{
    m_unusedGroup = new QButtonGroup(this);
    m_unusedGroup->setExclusive(true);
    m_pageGroup = new QButtonGroup(this);
    m_pageGroup->setExclusive(true);
    for (int row = 0; row < int(std::size(kPageButtons)); ++row)
        m_pageGroup->addButton(pageButton(row), -1);

    for (const ButtonRow& row : kButtons)
        connect(findChild<QToolButton*>(QLatin1String(row.button)), &QToolButton::clicked, this, row.handler);
    m_ui->ButtonMain->setChecked(true);
}

void Dialog::setupBus()
{
    PostMsg* bus = PostMsg::instance();
    connect(bus, &PostMsg::SigSecondPageChange, this, &Dialog::SlotSecondDialog);
    connect(bus, &PostMsg::SigUpDataParam, this, &Dialog::SlotUpDataParam);
    connect(bus, &PostMsg::SigStartRecord, this, &Dialog::SlotStartRecord);
    connect(bus, &PostMsg::SigMouseIndex, this, &Dialog::SlotMouseIndex);
    // Battery reports come from the library's report thread, which waits until the gauge shows them.
    connect(bus, &PostMsg::SigBattery, this, &Dialog::SlotBattery, Qt::BlockingQueuedConnection);
}

QToolButton* Dialog::pageButton(int row) const
{
    return findChild<QToolButton*>(QLatin1String(kPageButtons[row]));
}

void Dialog::showPage(QWidget* page)
{
    m_ui->stackedWidgetDialog->setCurrentWidget(page);
}

void Dialog::WindowClosed()
{
    on_CloseButton_clicked();
}

void Dialog::WindowMin()
{
    PostMsg::instance()->EmitChangeSize(0);
}

void Dialog::on_ButtonMain_clicked()
{
    showPage(m_buttonPage);
    PostMsg::instance()->EmitAddMacroButton();
}

void Dialog::on_SensorButton_clicked()
{
    showPage(m_sensorPage);
}

void Dialog::on_MacroButton_clicked()
{
    showPage(m_macroPage);
}

void Dialog::on_FormSetting_clicked()
{
    showPage(m_settingPage);
}

void Dialog::on_LightsButton_clicked() {}
void Dialog::on_SetButton_clicked() {}
void Dialog::on_MouseB_clicked() {}
void Dialog::on_MouseC_clicked() {}
void Dialog::SlotMouseIndex(int) {}

void Dialog::saveDeviceCache()
{
    // Until the open mouse has sent its whole configuration, the image in memory is not its own:
    // writing it would replace the mouse's good cache with defaults or another mouse's settings.
    if (!core::imageFromOpenDevice()) {
        qCInfo(lcFrame) << "no configuration of the open mouse yet; cache left as it is";
        return;
    }
    QString error;
    if (!WriteDeviceInfoFile(DumpCacheFileName(), CurrentFlashDataCopy(), &error))
        qCWarning(lcFrame) << "device cache not written:" << DumpCacheFileName() << error;
}

void Dialog::on_CloseButton_clicked()
{
    saveDeviceCache();
    PostMsg::instance()->EmitChangeSize(1);
}

void Dialog::on_UpArrow_clicked()
{
    UsbServer_SetPCDriverStatus(0);
    saveDeviceCache();
    m_ui->ButtonMain->setChecked(true);
    WaitProcessingEvents(100);
    UsbServer_Exit();
    PostMsg::instance()->EmitChangeMainDialog(0);
    PostMsg::instance()->EmitSetMacroPage();
}

void Dialog::SlotSecondDialog()
{
    m_ui->ButtonMain->setChecked(true);
    showPage(m_buttonPage);
}

void Dialog::parkPictures()
{
    if (isVisible())
        return;
    m_parkedPictures.park(this);
    m_parkedPictures.park(m_paramDialog);
}

void Dialog::SlotUpDataParam(int index)
{
    m_parkedPictures.restore();
    m_paramDialog->StartTimer();
    if (index == 1)
        m_paramDialog->setReload();
    // A request while the notice is up joins it: its timer runs the job after the current one.
    if (m_paramDialog->isVisible())
        return;
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    m_paramDialog->move(origin.x() + (width() - m_paramDialog->width()) / 2,
                        origin.y() + (height() - m_paramDialog->height()) / 2 - 20);
    m_paramDialog->exec();
}

void Dialog::SlotStartRecord(int index)
{
    if (index != 0 && index != 1)
        return;
    for (int row = 0; row < int(std::size(kPageButtons)); ++row)
        pageButton(row)->setEnabled(index == 1);
}

void Dialog::SlotBattery(bool IsCharg, int Number, bool IsText)
{
    m_ui->label->setVisible(IsCharg);
    m_ui->progressBar->setValue(Number); // values outside 0..100 are ignored by the gauge
    m_ui->label_2->setText(QString::number(Number) + (IsText ? QStringLiteral("%") : QString()));
    m_ui->progressBar->setStyleSheet(shell::batteryGaugeStyle(Number));
}

void Dialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F12)
        return;
    QWidget::keyPressEvent(event);
}

void Dialog::showEvent(QShowEvent* event)
{
    // The full-window background (2.8 MB decoded) is taken up when the frame first shows, not
    // when it is built behind the choice page.
    if (m_ui->frame_2->styleSheet().isEmpty())
        m_ui->frame_2->setStyleSheet(shell::borderImageStyle(QStringLiteral("frame_2"), m_skinDir + "BackGround.png"));
    m_parkedPictures.restore();
    QWidget::showEvent(event);
}

void Dialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateFixedTexts();
}

void Dialog::retranslateFixedTexts()
{
    // The frame has no language element: its few texts are fixed, the pages translate themselves.
    m_ui->retranslateUi(this);
}
