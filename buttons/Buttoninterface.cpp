#include "buttons/Buttoninterface.h"

#include "buttons/ButtonForm.h"
#include "buttons/ButtonLabels.h"
#include "core/AppPaths.h"
#include "core/ConfigIni.h"
#include "core/DeviceAllInfo.h"
#include "core/DeviceInfoFile.h"
#include "core/DeviceParam.h"
#include "core/DpiCodes.h"
#include "core/MacroCodec.h"
#include "core/MacroIni.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/SensorDefines.h"
#include "core/Skin.h"
#include "core/Worker.h"
#include "devicelib/HIDUsb.h"
#include "dialogs/ContainReset.h"
#include "dialogs/DialogFrame.h"
#include "dialogs/UpDataParam.h"
#include "sensor/DebounceTime.h"
#include "shell/common/LanguageFile.h"
#include "shell/common/MyConmboBox.h"

#include <QButtonGroup>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <iterator>

Q_LOGGING_CATEGORY(lcButtons, "app.buttons")

namespace {

// A pass that waits on the GUI gets this long to finish when the page goes.
constexpr int kWorkerStopBoundMs = 5000;
// The sleep byte counts in tens of seconds.
constexpr int kSleepUnitSeconds = 10;
constexpr int kResetSleepSeconds = 60;
constexpr int kResetDebounceIndex = 8;
// Menu pages of stackedWidget_2 the page itself shows.
constexpr int kDebouncePage = 4;
// The language whose two file buttons carry their text as tool tip too.
constexpr int kToolTipLanguage = 5;
// The language whose long words need the smaller function-list font.
constexpr int kSmallFontLanguage = 4;
constexpr int kDebounceTextChildren = 20;

constexpr const char* kSelectorNames[] = {"FireKey", "RightKey", "BackKey", "StartPause", "TopMusic", "BackMusic"};
constexpr const char* kFunctionNames[] = {"LeftKey_3", "RightKey_3", "MidKey", "BackKey_2", "ForWardKey", "DPI_2",
                                          "DPI_3",     "DPI_4",      "DPI_5",  "DPI_6",     "DPI_7",      "DPI_8",
                                          "DPI_9",     "DPI_10",     "DPI_11", "DPI_12",    "DPI_13"};
constexpr const char* kChoiceNames[] = {
    "Player",       "StartPause_2", "BackMusic_2",   "TopMusic_2",    "Mute",          "VolumeUp",
    "VolumeDown",   "VolumeDown_3", "VolumeDown_4",  "VolumeDown_5",  "VolumeDown_6",  "VolumeDown_7",
    "VolumeDown_8", "VolumeDown_9", "VolumeDown_10", "VolumeDown_11", "VolumeDown_12", "VolumeDown_13",
    "VolumeUp_4",   "VolumeUp_5",   "VolumeUp_6",    "VolumeUp_7",    "VolumeUp_11",   "VolumeUp_12",
    "VolumeUp_13",  "VolumeUp_15",  "VolumeUp_16",   "VolumeUp_18",   "VolumeUp_19",   "VolumeUp_20",
    "VolumeUp_21",  "VolumeUp_22",  "VolumeUp_23",   "VolumeUp_24",   "VolumeDown_2",  "VolumeUp_2",
    "VolumeUp_10",  "VolumeUp_8",   "VolumeUp_9",    "VolumeUp_14",   "VolumeDown_14"};
constexpr const char* kNumberNames[] = {"Number1", "Number2", "Number3", "Number4", "Number5", "Number6"};

// Language children shown on a widget of the page under the same name,
// except the debounce caption.
constexpr shell::TextBinding kTexts[] = {
    {"Reset", "Reset"},
    {"ImportData", "ImportData"},
    {"OutputData", "OutputData"},
    {"FireKey", "FireKey"},
    {"RightKey", "RightKey"},
    {"BackKey", "BackKey"},
    {"StartPause", "StartPause"},
    {"TopMusic", "TopMusic"},
    {"BackMusic", "BackMusic"},
    {"LeftKey_3", "LeftKey_3"},
    {"RightKey_3", "RightKey_3"},
    {"MidKey", "MidKey"},
    {"BackKey_2", "BackKey_2"},
    {"ForWardKey", "ForWardKey"},
    {"DPI_2", "DPI_2"},
    {"DPI_3", "DPI_3"},
    {"DPI_6", "DPI_6"},
    {"DPI_8", "DPI_8"},
    {"DPI_5", "DPI_5"},
    {"DPI_13", "DPI_13"},
    {"DPI_11", "DPI_11"},
    {"DPI_10", "DPI_10"},
    {"DPI_9", "DPI_9"},
    {"DPI_7", "DPI_7"},
    {"DPI_12", "DPI_12"},
    {"DPI_4", "DPI_4"},
    {"Player", "Player"},
    {"StartPause_2", "StartPause_2"},
    {"BackMusic_2", "BackMusic_2"},
    {"TopMusic_2", "TopMusic_2"},
    {"Mute", "Mute"},
    {"VolumeUp", "VolumeUp"},
    {"VolumeDown", "VolumeDown"},
    {"VolumeDown_4", "VolumeDown_4"},
    {"VolumeDown_5", "VolumeDown_5"},
    {"VolumeDown_6", "VolumeDown_6"},
    {"VolumeDown_3", "VolumeDown_3"},
    {"VolumeDown_8", "VolumeDown_8"},
    {"VolumeDown_9", "VolumeDown_9"},
    {"VolumeDown_7", "VolumeDown_7"},
    {"VolumeDown_10", "VolumeDown_10"},
    {"VolumeDown_12", "VolumeDown_12"},
    {"VolumeDown_13", "VolumeDown_13"},
    {"VolumeDown_11", "VolumeDown_11"},
    {"VolumeUp_4", "VolumeUp_4"},
    {"VolumeUp_5", "VolumeUp_5"},
    {"VolumeUp_6", "VolumeUp_6"},
    {"VolumeUp_7", "VolumeUp_7"},
    {"VolumeUp_2", "VolumeUp_2"},
    {"VolumeDown_2", "VolumeDown_2"},
    {"VolumeUp_8", "VolumeUp_8"},
    {"VolumeUp_14", "VolumeUp_14"},
    {"VolumeDown_14", "VolumeDown_14"},
    {"checkBox", "label_3"},
};

QString driveGroup()
{
    return QStringLiteral("Drive%1").arg(CurrentDeviceInfoCopy().DriveIndex + 1);
}

int configuredSlots()
{
    return buttons::slotCount(ConfigIni::GetInstance()->GetValue(driveGroup(), QStringLiteral("KeyNumber")));
}

} // namespace

bool Buttoninterface::deviceAnswers()
{
    return UsbFinderC_GetDeviceOnLine(CurrentDevicePath().c_str());
}

Buttoninterface::Buttoninterface(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<ButtonForm>())
    , m_image(EmptyFlashDataMap())
{
    ui->setupUi(this);
    PostMsg* bus = PostMsg::instance();
    connect(bus, &PostMsg::SigChangeLanguage, this, &Buttoninterface::SlotChangeLanguage);
    connect(bus, &PostMsg::SigMouseIndex, this, &Buttoninterface::SlotMouseIndex);
    PictureDir = AppDir() + QStringLiteral("/Picture/Buttoninterface/");
    MainPageDir = UserDataDir() + QStringLiteral("/usersetting/MainPage");
    if (!QDir().mkpath(MainPageDir))
        qCWarning(lcButtons) << "cannot create" << MainPageDir;

    for (QButtonGroup** group : {&SelectorGroup, &FunctionGroup, &ChoiceGroup, &NumberGroup}) {
        *group = new QButtonGroup(this);
        (*group)->setExclusive(true);
    }
    AddMouseButtonsToGroup();
    ButtonColorText = core::optionColour("ButtonColor");
    CreateMacroButtons();
    button("DPI_3")->hide();
    button("DPI_9")->hide();
    ui->applyStyles(PictureDir);

    connect(bus, &PostMsg::SigUpDataLightUIButton, this, &Buttoninterface::SlotUpDataButtonUIButton,
            Qt::BlockingQueuedConnection);
    connect(bus, &PostMsg::SigUpDataConfigUI, this, &Buttoninterface::SlotUpDataConfigUI,
            Qt::BlockingQueuedConnection);
    connect(bus, &PostMsg::SigUpDataButtonUIC, this, &Buttoninterface::SlotUpDataButtonUIB);
    connect(bus, &PostMsg::SigAddMacroButton, this, &Buttoninterface::SlotAddMacroButton);
    connect(bus, &PostMsg::SigDeleteMacroButton, this, &Buttoninterface::SlotDeleteMacroButton);
    connect(bus, &PostMsg::SigUpDataMacro, this, &Buttoninterface::SlotUpDataMacro);
    connect(bus, &PostMsg::SigMacroRename, this, &Buttoninterface::SlotMacroRename);
    connect(bus, &PostMsg::SigFormReset, this, &Buttoninterface::SlotFormResetButton, Qt::BlockingQueuedConnection);
    // Back on the choice page: the mouse opened next starts with no button chosen.
    connect(bus, &PostMsg::SigSecondPageChange, this, &Buttoninterface::deselect);
    connect(ui->ProjectChoose, QOverload<int>::of(&QComboBox::activated), this,
            &Buttoninterface::on_ProjectChoose_activated);
    connect(ui->Reset, &QToolButton::clicked, this, &Buttoninterface::on_Reset_clicked);
    connect(ui->OutputData, &QToolButton::clicked, this, &Buttoninterface::on_OutputData_clicked);
    connect(ui->ImportData, &QToolButton::clicked, this, &Buttoninterface::on_ImportData_clicked);
    connectFunctionMenu();
    connectAssignments();

    // The worker belongs to the process, not to the page: it is ended with a
    // bound in the destructor instead of through the parent's deletion.
    if (!WorkerInstance)
        WorkerInstance = new Worker();
    ui->stackedWidget->setCurrentWidget(ui->page);
    ui->stackedWidget_2->setCurrentWidget(ui->page_9);
    LoadLanguage(1, MacroIni::Instance()->LanguageIndex());
}

Buttoninterface::~Buttoninterface()
{
    Worker* worker = WorkerInstance;
    if (!worker)
        return;
    worker->ResetRunFlag();
    const bool ended = worker->Shutdown(kWorkerStopBoundMs);
    StopUsbChanged();
    WorkerInstance = nullptr;
    if (ended)
        delete worker;
    else
        qCWarning(lcButtons) << "device worker did not end; left running";
}

QToolButton* Buttoninterface::button(const char* name) const
{
    return ui->button(name);
}

void Buttoninterface::AddMouseButtonsToGroup()
{
    for (const char* name : kSelectorNames)
        SelectorGroup->addButton(button(name));
    for (const char* name : kFunctionNames)
        FunctionGroup->addButton(button(name));
    for (const char* name : kChoiceNames)
        ChoiceGroup->addButton(button(name));
    for (const char* name : kNumberNames)
        NumberGroup->addButton(button(name));
}

void Buttoninterface::SetButtonTriple(int slot, int type, int param1, int param2)
{
    if (slot < 0 || slot >= ButtonType.size())
        return;
    ButtonType[slot] = type;
    ButtonParam1[slot] = param1;
    ButtonParam2[slot] = param2;
}

void Buttoninterface::UpdateButtonLabel(int slot, int type, int param1, int /*param2*/, FlashDataMap image)
{
    const char* selectorName = buttons::selectorOfSlot(slot);
    if (!selectorName)
        return;
    QToolButton* selector = button(selectorName);
    const buttons::LabelRule rule = buttons::labelRule(type, param1);
    switch (rule.kind) {
    case buttons::LabelKind::Unchanged:
        return;
    case buttons::LabelKind::Widget:
        selector->setText(button(rule.widget)->text());
        return;
    case buttons::LabelKind::Keys: {
        const KeyRecord& record = image.KeyRecords[slot];
        if (record.Events[0].EventType == 2) {
            if (const char* choice = buttons::consumerButton(quint16(record.Events[0].Code) & 0xFF))
                selector->setText(button(choice)->text());
            return;
        }
        selector->setText(buttons::comboLabel(record));
        return;
    }
    case buttons::LabelKind::Macro: {
        const QString name = QString::fromLocal8Bit(buttons::macroRecordName(image.MacroRecords[slot]));
        selector->setText(MacroText + name);
        // The macro page stores the macro as a file of that name; a name from
        // the mouse or an imported image that is no safe file name stays on
        // the label only.
        if (core::isSafeMacroName(name))
            PostMsg::instance()->EmitButtonToMacro(image, slot);
        else
            qCWarning(lcButtons) << "macro of button slot" << slot << "not stored: unsafe name" << name;
        return;
    }
    case buttons::LabelKind::DpiLock: {
        const int dpi = core::SensorCodeToDpi(core::SharedSensorDefines(), m_sensorName, param1);
        selector->setText(button("DPI_4")->text() + QLatin1Char('-') + QString::number(dpi));
        return;
    }
    }
}

void Buttoninterface::fillVectors(const FlashDataMap& image, int count)
{
    ButtonType.clear();
    ButtonParam1.clear();
    ButtonParam2.clear();
    for (int i = 0; i < count; ++i) {
        ButtonType.append(image.ButtonFunction[i].Type);
        ButtonParam1.append(image.ButtonFunction[i].Param1);
        ButtonParam2.append(image.ButtonFunction[i].Param2);
    }
}

void Buttoninterface::rebuildLabels(const FlashDataMap& image)
{
    for (int i = 0; i < ButtonType.size(); ++i)
        UpdateButtonLabel(i, ButtonType[i], ButtonParam1[i], ButtonParam2[i], image);
}

void Buttoninterface::refill(const FlashDataMap& image, bool sensorFirst)
{
    m_image = image;
    ++m_refills;
    if (!sensorFirst)
        PostMsg::instance()->EmitLightToFrom(kSleepUnitSeconds * image.SleepTime);
    m_sensorName = ConfigIni::GetInstance()->GetValue(driveGroup(), QStringLiteral("Sensor"));
    if (sensorFirst)
        PostMsg::instance()->EmitLightToFrom(kSleepUnitSeconds * image.SleepTime);
    fillVectors(image, configuredSlots());
    rebuildLabels(image);
    ui->DebunceButton->SetCurrentIndex(image.DebounceTime);
}

void Buttoninterface::SlotUpDataButtonUIButton(FlashDataMap DataMap)
{
    ButtonPageFilled = 0;
    ButtonPageUpdating = 1;
    refill(DataMap, false);
    ButtonPageFilled = 1;
    ButtonPageUpdating = 0;
}

void Buttoninterface::SlotUpDataButtonUIB(FlashDataMap DataMap)
{
    ButtonPageUpdating = 1;
    refill(DataMap, true);
    ButtonPageUpdating = 0;
}

void Buttoninterface::SlotFormResetButton()
{
    ButtonPageUpdating = 1;
    m_image = EmptyFlashDataMap();
    ++m_resets;
    SlotMouseIndex(0);
    PostMsg::instance()->EmitMouseIndex(0);
    ui->stackedWidget->setCurrentWidget(ui->page);
    ui->stackedWidget_2->setCurrentWidget(ui->page_9);
    ButtonType.clear();
    ButtonParam1.clear();
    ButtonParam2.clear();
    for (const ButtonFunctionCode& code : buttons::kDefaultButtons) {
        ButtonType.append(code.Type);
        ButtonParam1.append(code.Param1);
        ButtonParam2.append(code.Param2);
    }
    ui->DebunceButton->SetCurrentIndex(kResetDebounceIndex);
    PostMsg::instance()->EmitLightToFrom(kResetSleepSeconds);
    ButtonPageUpdating = 0;
}

void Buttoninterface::SlotUpDataConfigUI(int ToTalItem, int SelectIndex, bool ItemEnable)
{
    m_configItems = ToTalItem;
    MyConmboBox* box = ui->ProjectChoose;
    box->clear();
    {
        const QSignalBlocker blocker(box);
        if (ToTalItem > 0) {
            for (int i = 0; i < ToTalItem; ++i)
                box->addItem(ConfigText + QString::number(i + 1));
        } else if (ToTalItem == 0) {
            box->addItem(ConfigText + QString::number(1));
        }
    }
    box->setEnabled(ItemEnable);
    if (ToTalItem > 0)
        box->setCurrentIndex(SelectIndex);
}

int Buttoninterface::ConfigIndex() const
{
    return ui->ProjectChoose->currentIndex();
}

bool Buttoninterface::ConfigEnabled() const
{
    return ui->ProjectChoose->isEnabled();
}

void Buttoninterface::SlotMouseIndex(int /*index*/)
{
    // Every model shares the one picture.
    ui->showMousePicture(PictureDir);
}

void Buttoninterface::on_ProjectChoose_activated(int index)
{
    if (!deviceAnswers() && ButtonPageUpdating == 0) {
        ui->ProjectChoose->setCurrentIndex(ui->ProjectChoose->indexAtPress());
        PostMsg::instance()->EmitMouseOffLineo(0);
        return;
    }
    UsbServer_SetCurrentConfig(quint8(index & 0xFF));
}

void Buttoninterface::on_OutputData_clicked()
{
    UpDataParam::RunExport(this);
}

void Buttoninterface::on_ImportData_clicked()
{
    // The dialog applies the file and refills the pages through the bus.
    UpDataParam::RunImport(this);
}

void Buttoninterface::on_Reset_clicked()
{
    if (!deviceAnswers()) {
        PostMsg::instance()->EmitMouseOffLineo(0);
        return;
    }
    ContainReset confirm;
    confirm.placeOver(this, -75, -65);
    confirm.exec();
    if (!confirm.isConfirmed())
        return;
    // The open menu would show the functions the reset takes away.
    deselect();
    ParamProgressSuppressed = 1;
    QTimer* check = WorkerInstance ? WorkerInstance->OnlineCheckTimer() : nullptr;
    const int interval = check ? check->interval() : 0;
    if (check)
        check->stop();
    core::sendCurrentImage();
    UsbServer_SetClearSetting();
    UpDataParam progress;
    progress.setReload();
    progress.StartTimer();
    if (WorkerInstance)
        WorkerInstance->StartPass();
    progress.placeOver(this, -75, -65);
    progress.exec();
    ParamProgressSuppressed = 0;
    if (check)
        check->start(interval);
}

void Buttoninterface::SlotChangeLanguage(int index)
{
    LoadLanguage(0, index);
}

void Buttoninterface::LoadLanguage(int mode, int index)
{
    const QFont font = dialogs::DialogFrame::dialogFont(index == kSmallFontLanguage ? 7 : 9);
    for (const char* name : kFunctionNames)
        button(name)->setFont(font);
    const shell::LanguageElement texts = shell::LanguageFile::cachedElement(index, QStringLiteral("Buttoninterface"));
    if (texts.isEmpty())
        return;
    shell::applyTexts(this, texts, kTexts);
    const bool withTips = MacroIni::Instance()->LanguageIndex() == kToolTipLanguage;
    for (QToolButton* b : {ui->ImportData, ui->OutputData}) {
        if (texts.contains(b->objectName()))
            b->setToolTip(withTips ? b->text() : QString());
    }
    texts.find(QStringLiteral("Macro_"), &MacroText);
    texts.find(QStringLiteral("Config"), &ConfigText);
    QString text;
    for (int k = 1; k <= kDebounceTextChildren; ++k) {
        if (!texts.find(QStringLiteral("S%1").arg(k), &text))
            continue;
        ui->DebunceButton->SetItemTexts(k - 1, text);
        // The last child names the last two entries.
        if (k == kDebounceTextChildren)
            ui->DebunceButton->SetItemTexts(k, text);
    }
    FlashDataMap image = EmptyFlashDataMap();
    if (mode == 0 && !ButtonType.isEmpty() && filledImage(&image)) {
        fillVectors(image, qMin(configuredSlots(), int(ButtonType.size())));
        rebuildLabels(image);
    }
    // The configuration items take the new names only while the device's cache file reads; with
    // none they keep the names they have.
    FlashDataMap cached = EmptyFlashDataMap();
    if (ReadDeviceInfoFile(CacheFileName(), &cached))
        rebuildConfigItems();
}

// The labels follow a language change only from an image that holds the
// device's buttons: the open mouse's own configuration once it has arrived,
// else the device's cache file, which is what the page shows of a mouse that
// sleeps. With neither (a sleeping mouse never read, after a reset) the image
// in memory was never filled, and relabelling from it would make every button
// "no function" and leave the mouse without a left click.
bool Buttoninterface::filledImage(FlashDataMap* image) const
{
    if (core::imageFromOpenDevice()) {
        *image = CurrentFlashDataCopy();
        return true;
    }
    return ReadDeviceInfoFile(CacheFileName(), image);
}

void Buttoninterface::rebuildConfigItems()
{
    MyConmboBox* box = ui->ProjectChoose;
    const int count = box->count();
    const int current = box->currentIndex();
    const QSignalBlocker blocker(box);
    box->clear();
    for (int i = 0; i < count; ++i)
        box->addItem(ConfigText + QString::number(i + 1));
    box->setCurrentIndex(current);
}

void Buttoninterface::closeMenu()
{
    ui->stackedWidget->setCurrentWidget(ui->page);
    ui->scrollArea_11->verticalScrollBar()->setStyleSheet(QStringLiteral("QScrollBar {width:10px;}"));
    ui->stackedWidget_2->setCurrentWidget(ui->page_9);
}

void Buttoninterface::deselect()
{
    SelectorGroup->setExclusive(false);
    for (const char* name : kSelectorNames)
        button(name)->setChecked(false);
    SelectorGroup->setExclusive(true);
    closeMenu();
}

void Buttoninterface::mousePressEvent(QMouseEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress)
        return;
    const QPoint p = event->pos();
    const QPoint q(p.x(), p.y() - 340);
    const auto in = [](const QWidget* w, const QPoint& point) { return w->geometry().contains(point); };
    const bool left = event->button() == Qt::LeftButton;
    int s1 = ui->stackedWidget->currentIndex();
    int s2 = ui->stackedWidget_2->currentIndex();
    if (s1 != 0) {
        const bool keep = s2 != kDebouncePage ? in(ui->groupBox, p)
                                              : in(ui->scrollArea_11, p) || in(ui->stackedWidget, q);
        if (!keep) {
            if (!left)
                return;
            closeMenu();
        }
    }
    if (!left)
        return;
    s1 = ui->stackedWidget->currentIndex();
    s2 = ui->stackedWidget_2->currentIndex();
    if (s1 == 0 && s2 == kDebouncePage) {
        if (!(in(ui->scrollArea_11, p) && !in(ui->stackedWidget, q)))
            deselect();
    } else if (s1 != 0 && s2 == kDebouncePage) {
        if (!in(ui->groupBox, p))
            deselect();
    } else if (s1 != 0) {
        if (!in(ui->scrollArea_11, p) && !in(ui->stackedWidget, p) && !in(ui->stackedWidget_2, p))
            deselect();
    }
    NumberGroup->setExclusive(false);
    for (const char* name : kNumberNames)
        button(name)->setChecked(false);
    NumberGroup->setExclusive(true);
    if (in(ui->widget, p))
        deselect();
}

void Buttoninterface::changeEvent(QEvent* event)
{
    if (event->type() != QEvent::LanguageChange) {
        QWidget::changeEvent(event);
        return;
    }
    const int index = ui->ProjectChoose->currentIndex();
    const QSignalBlocker blocker(ui->ProjectChoose);
    ui->retranslateUi();
    ui->ProjectChoose->setCurrentIndex(index);
}
