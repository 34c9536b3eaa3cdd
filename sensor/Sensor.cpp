#include "sensor/Sensor.h"

#include "core/AppPaths.h"
#include "core/ConfigIni.h"
#include "core/DeviceParam.h"
#include "core/FileIo.h"
#include "core/FileNotices.h"
#include "core/MacroIni.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/SensorDefines.h"
#include "sensor/MotionSync.h"
#include "sensor/OptionStyle.h"
#include "sensor/RippeControl.h"
#include "sensor/SensorDPI.h"
#include "sensor/SensorDpiCodes.h"
#include "sensor/SensorEffect.h"
#include "sensor/SensorForm.h"
#include "sensor/SensorLOD.h"
#include "sensor/SensorPageRules.h"
#include "sensor/SensorRate.h"
#include "sensor/StraightLine.h"
#include "shell/common/ButtonStyle.h"
#include "shell/common/LanguageFile.h"
#include "shell/common/MyConmboBox.h"
#include "shell/common/PictureCheck.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QListView>
#include <QSignalBlocker>
#include <QToolButton>

namespace {

// Every path out of a fill or the reset clears the updating flag: while it
// is set the setters stay silent about an absent mouse.
class UpdatingScope
{
public:
    explicit UpdatingScope(bool fromDevice)
        : m_fromDevice(fromDevice)
    {
        if (m_fromDevice)
            SensorPageFilled = 0;
        SensorPageUpdating = 1;
    }
    ~UpdatingScope()
    {
        SensorPageUpdating = 0;
        if (m_fromDevice)
            SensorPageFilled = 1;
    }
    UpdatingScope(const UpdatingScope&) = delete;
    UpdatingScope& operator=(const UpdatingScope&) = delete;

private:
    bool m_fromDevice;
};

constexpr shell::TextBinding kTexts[] = {
    {"label_5", "label_5"},
    {"label_11", "label_11"},
    {"ModeSelectDes", "label_11", shell::TextRole::ToolTip},
    {"Performance", "Performance"},
    {"FullPerformanceDes", "Performance", shell::TextRole::ToolTip},
    {"PerformanceOpen", "PerformanceOpen", shell::TextRole::ItemText, 0},
    {"PerformanceOpen1", "PerformanceOpen", shell::TextRole::ItemText, 1},
    {"PerformanceOpen2", "PerformanceOpen", shell::TextRole::ItemText, 2},
    {"PerformanceOpen3", "PerformanceOpen", shell::TextRole::ItemText, 3},
    {"PerformanceOpen4", "PerformanceOpen", shell::TextRole::ItemText, 4},
    {"PerformanceOpen5", "PerformanceOpen", shell::TextRole::ItemText, 5},
};

// Texts the option widgets take through their own operations.
struct WidgetText
{
    const char* child;
    void (*apply)(Ui_Sensor& ui, const QString& text);
};
const WidgetText kWidgetTexts[] = {
    {"label_2", [](Ui_Sensor& ui, const QString& t) { ui.frameDpi->SetTitleText(t); }},
    {"label_3", [](Ui_Sensor& ui, const QString& t) { ui.frameRate->SetLabelText(t); }},
    {"label_12", [](Ui_Sensor& ui, const QString& t) { ui.frameLOD->SetLabelText(t); }},
    {"LODDes", [](Ui_Sensor& ui, const QString& t) { ui.frameLOD->SetToolTipText(t); }},
    {"label_7", [](Ui_Sensor& ui, const QString& t) { ui.frame_3->SetLabelText(t); }},
    {"MotionSyncDes", [](Ui_Sensor& ui, const QString& t) { ui.frame_3->SetToolTipText(t); }},
    {"Model", [](Ui_Sensor& ui, const QString& t) { ui.frameEffect->SetItemText(0, t); }},
    {"Model1", [](Ui_Sensor& ui, const QString& t) { ui.frameEffect->SetItemText(1, t); }},
    {"Model2", [](Ui_Sensor& ui, const QString& t) { ui.frameEffect->SetItemText(2, t); }},
    {"label", [](Ui_Sensor& ui, const QString& t) { ui.frame->SetLabelText(t); }},
    {"RippleDes", [](Ui_Sensor& ui, const QString& t) { ui.frame->SetToolTipText(t); }},
    {"label_6", [](Ui_Sensor& ui, const QString& t) { ui.frame_4->SetLabelText(t); }},
    {"FixLineDes", [](Ui_Sensor& ui, const QString& t) { ui.frame_4->SetToolTipText(t); }},
    {"label_4", [](Ui_Sensor& ui, const QString& t) { ui.frameEffect->SetLabelText(t); }},
    {"label_14", [](Ui_Sensor& ui, const QString& t) { ui.frameEffect->SetLabelText2(t); }},
    {"label_15", [](Ui_Sensor& ui, const QString& t) { ui.frameEffect->SetLabelText3(t); }},
};

QString deviceGroup(const DeviceAllInfo& info)
{
    return QStringLiteral("Drive") + QString::number(info.DriveIndex + 1);
}

QString hexColour(const DpiLevelEntry& entry)
{
    QString text = QStringLiteral("#");
    for (quint8 c : entry.DpiColor)
        text += QStringLiteral("%1").arg(c, 2, 16, QLatin1Char('0'));
    return text;
}

} // namespace

Sensor::Sensor(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui_Sensor>())
    , m_shown(EmptyFlashDataMap())
{
    ui->setupUi(this);
    m_pictureFolder = sensor::pictureFolder("Sensor");
    m_levelFolder = UserDataDir() + QStringLiteral("/usersetting/SensorPage");

    PostMsg* bus = PostMsg::instance();
    connect(bus, &PostMsg::SigChangeLanguage, this, &Sensor::SlotChangeLanguage);
    connect(bus, &PostMsg::SigHideModel, this, &Sensor::SlotHideModel);

    QDir().mkpath(m_levelFolder);
    ReadLevel();
    applyStyles();
    core::SharedSensorDefines();
    SlotChangeLanguage(MacroIni::Instance()->LanguageIndex());
    ModeListView = qobject_cast<QListView*>(ui->ModelChoose->view());

    const auto blocking = Qt::BlockingQueuedConnection;
    connect(bus, &PostMsg::SigUpDataLightSensor, this, &Sensor::SlotUpDataSenSorUISensor, blocking);
    connect(bus, &PostMsg::SigFormReset, this, &Sensor::SlotFormReset, blocking);
    connect(bus, &PostMsg::SigUpDataReportRate, this, &Sensor::SlotUpDataReportRate, blocking);
    connect(bus, &PostMsg::SigUpDataDPI, this, &Sensor::SlotUpDataDPI, blocking);
    connect(bus, &PostMsg::SigUpDataDPILed, this, &Sensor::SlotUpDataDPILed, blocking);
    connect(bus, &PostMsg::SigUpDataSensorUIB, this, &Sensor::SlotUpDataSenSorUIB);

    connect(ui->ModelChoose, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &Sensor::on_ModelChoose_currentIndexChanged);
    connect(ui->PerformanceOpen, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &Sensor::on_PerformanceOpen_currentIndexChanged);
    connect(ui->Performance, &QCheckBox::clicked, this, &Sensor::on_Performance_clicked);
    connect(ui->Performance, &QCheckBox::toggled, this, &Sensor::on_Performance_toggled);
}

Sensor::~Sensor() = default;

void Sensor::applyStyles()
{
    const QString& p = m_pictureFolder;
    for (MyConmboBox* box : {ui->ModelChoose, ui->PerformanceOpen}) {
        shell::styleCombo(box, p, false);
        box->setStyleSheet(box->styleSheet() + QStringLiteral("QComboBox:disabled{color: black;}"));
    }
    ui->PerformanceOpen->setMaxVisibleItems(5);
    const QString label = sensor::labelStyle();
    ui->label_5->setStyleSheet(label);
    ui->label_11->setStyleSheet(label);
    ui->Performance->setStyleSheet(shell::checkBoxStyle(sensor::optionColour("LabelColor"), p, "CheckBoxChecked.png"));
    for (QToolButton* marker : {ui->TitleButton, ui->TitleButton_2, ui->TitleButton_3, ui->TitleButton_4})
        marker->setStyleSheet(shell::pictureSheet(QStringLiteral("QToolButton{border-image: url(%1Title.png);}").arg(p)));
}

void Sensor::ReadLevel()
{
    ui->frameDpi->SetStageCount(sensor::stageCountFromLevelFile(m_levelFolder + QStringLiteral("/Level.ini")));
}

bool Sensor::WriteLevel(int n)
{
    const QString path = m_levelFolder + QStringLiteral("/Level.ini");
    if (core::writeFileAtomically(path, QByteArray::number(n)))
        return true;
    core::noteUnsavedWrite(path);
    return false;
}

void Sensor::SlotChangeLanguage(int index)
{
    const shell::LanguageElement texts = shell::LanguageFile::cachedElement(index, QStringLiteral("Sensor"));
    if (texts.isEmpty())
        return;
    shell::applyTexts(this, texts, kTexts);
    QString text;
    for (const WidgetText& row : kWidgetTexts) {
        if (texts.find(QLatin1String(row.child), &text))
            row.apply(*ui, text);
    }
}

bool Sensor::modelHasModeChoice() const
{
    return core::SharedSensorDefines().hasFeature(core::SensorFeature::SensorModeSel, sensor::CurrentSensorModel());
}

void Sensor::applyModeChoice(const sensor::ModeState& state, int storedMode)
{
    MyConmboBox* box = ui->ModelChoose;
    const QSignalBlocker quiet(box);
    switch (state.choice) {
    case sensor::ModeChoice::Keep:
        return;
    case sensor::ModeChoice::Off:
        box->setEnabled(false);
        return;
    case sensor::ModeChoice::Locked:
        if (state.showCorded && ModeListView)
            ModeListView->setRowHidden(2, false);
        box->setCurrentIndex(2);
        box->setEnabled(false);
        return;
    case sensor::ModeChoice::Free:
        box->setEnabled(true);
        // A mode the choice does not offer keeps what is shown.
        if (sensor::isSendableSensorMode(storedMode))
            box->setCurrentIndex(storedMode);
        if (ModeListView)
            ModeListView->setRowHidden(2, true);
        return;
    }
}

void Sensor::showDpiLight(const FlashDataMap& image)
{
    const int mode = sensor::dpiLightModeFor(image.DpiLedOn, image.DpiLedMode);
    if (mode >= 0)
        ui->frameEffect->SetModel(mode);
    ui->frameEffect->SetSliderA(image.DpiLedSpeed);
    ui->frameEffect->SetSliderB(sensor::brightnessLevelFor(image.DpiLedBrightness));
}

void Sensor::fill(const FlashDataMap& image)
{
    SensorDPI* dpi = ui->frameDpi;
    const DeviceAllInfo device = CurrentDeviceInfoCopy();
    const QString group = deviceGroup(device);
    ConfigIni* config = ConfigIni::GetInstance();
    const sensor::StageView stages =
        sensor::stageViewFor(image.DpiLevelCount, image.CurrentDpiLevel, config->GetInt(group, QStringLiteral("DPIMaxGrade")));

    dpi->SetStageCount(stages.count);
    dpi->SetCurrentStage(stages.current);

    const int rate = sensor::rateIndexForCode(image.ReportRate);
    if (rate >= 0)
        ui->frameRate->SetRate(rate);
    if (device.RestrictedKind != 0 && (image.ReportRate == 16 || image.ReportRate == 32))
        ui->frameRate->SetRate(3);

    sensor::LoadCurrentSensorModel();
    const QString model = sensor::CurrentSensorModel();
    if (sensor::isSensorModel(model, "3950"))
        ui->frameLOD->AddLowLOD();
    else
        ui->frameLOD->RemoveLowLOD();
    applyModeChoice(sensor::fillModeChoice(modelHasModeChoice(), device.DeviceKind, device.RestrictedKind,
                                           image.ReportRate),
                    image.SensorMode);
    ui->frameLOD->SetLOD(image.LiftOffDistance - 1);

    ui->Performance->setChecked(image.Performance != 0);
    ui->PerformanceOpen->setEnabled(image.Performance != 0);
    const int performance = sensor::performanceIndexForCode(image.PerformanceTime);
    if (performance >= 0)
        ui->PerformanceOpen->setCurrentIndex(performance);

    ui->frame->SetChecked(image.RippleControl != 0);
    ui->frame_4->SetChecked(image.StraightLine != 0);
    ui->frame_3->SetChecked(image.MotionSync != 0);
    showDpiLight(image);

    dpi->BlockComboSignals(true);
    for (int i = 0; i < stages.grades; ++i) {
        dpi->SetStageColor(i, hexColour(image.DpiLevel[i]));
        dpi->InsertStageCountItem(i, QString::number(i + 1));
    }
    dpi->BlockComboSignals(false);
    dpi->HighlightStageBar(stages.current);

    const int xIn1 = config->GetInt(group, QStringLiteral("XIn1"));
    sensor::LoadDpiRanges();
    dpi->SetSliderMaximum(sensor::CurrentDpiRanges().SliderMaximumText.toInt());
    dpi->SetSliderMinimum(sensor::CurrentDpiRanges().SliderMinimumText.toInt());
    for (int i = 0; i < stages.grades; ++i) {
        const DpiLevelEntry& entry = image.DpiLevel[i];
        const int value = sensor::StageCodeToDpi(entry.DpiValue[0], entry.DpiValue[2]);
        dpi->SetStageText(i, QString::number(value));
        if (i == stages.current) {
            dpi->SetSliderValue(value);
            dpi->SetSpinValue(value);
        }
    }
    dpi->ShowStages(stages.count - 1);
    dpi->SetStageCountIndex(stages.count - 1);
    dpi->MoveLevelMarker(stages.current + 1);
    dpi->CheckStageButton(stages.current);

    const int rateClass = sensor::rateClassForKind(device.DeviceKind);
    if (rateClass >= 0)
        ui->frameRate->SetButtonsShown(rateClass);
    ui->frameLOD->SetEnabled(core::SharedSensorDefines().hasFeature(core::SensorFeature::LodCal, model));

    const bool sectionShown = xIn1 != 2;
    for (QWidget* w : std::initializer_list<QWidget*>{ui->TitleButton_4, ui->label_5, ui->label_11, ui->ModelChoose,
                                                      ui->frameLOD, ui->Performance, ui->PerformanceOpen, ui->frame,
                                                      ui->frame_4, ui->frame_3})
        w->setVisible(sectionShown);
    ui->frameEffect->move(80, sectionShown ? 456 : 316);
    ui->TitleButton_3->move(40, sectionShown ? 463 : 323);

    m_shown = image;
    ++m_refills;
}

void Sensor::SlotUpDataSenSorUISensor(FlashDataMap DataMap)
{
    ui->frameDpi->ClearStageCountItems();
    ui->frameDpi->BlockSliderSignals(true);
    ui->frameDpi->SetSliderEnabled(true);
    ui->frameEffect->SetEnabled(true);
    {
        const UpdatingScope scope(true);
        fill(DataMap);
        ui->frameDpi->BlockSliderSignals(false);
    }
}

void Sensor::SlotUpDataSenSorUIB(FlashDataMap DataMap)
{
    ui->frameDpi->ClearStageCountItems();
    ui->frameDpi->BlockSliderSignals(true);
    ui->frameDpi->SetSliderEnabled(true);
    ui->frameEffect->SetEnabled(true);
    {
        const UpdatingScope scope(false);
        fill(DataMap);
        ui->frameDpi->BlockSliderSignals(false);
    }
}

void Sensor::SlotFormReset()
{
    const UpdatingScope scope(false);
    SensorDPI* dpi = ui->frameDpi;
    dpi->SetSliderMaximum(26000);
    dpi->SetSliderMinimum(100);
    dpi->LoadStageSettings();
    dpi->ClearStageCountItems();
    for (int i = 0; i < 6; ++i)
        dpi->InsertStageCountItem(i, QString::number(i + 1));
    dpi->BlockComboSignals(false);
    dpi->ShowStages(5);
    dpi->SetStageCountIndex(5);
    dpi->MoveLevelMarker(2);
    dpi->CheckStageButton(1);

    ui->frameLOD->SetLOD(0);
    ui->Performance->setEnabled(true);
    dpi->SetSliderValue(1200);
    dpi->SetSpinValue(1200);

    const DeviceAllInfo device = CurrentDeviceInfoCopy();
    {
        const QSignalBlocker quiet(ui->ModelChoose);
        const sensor::ResetRate reset = sensor::resetRateFor(device.DeviceKind);
        if (reset.apply) {
            ui->frameRate->SetButtonsShown(reset.rateClass);
            ui->frameRate->SetRate(reset.rateIndex);
            ui->ModelChoose->setCurrentIndex(reset.modeIndex);
        }
        if (device.RestrictedKind != 0)
            ui->ModelChoose->setCurrentIndex(2);
    }
    {
        const QSignalBlocker quiet(ui->PerformanceOpen);
        ui->PerformanceOpen->setCurrentIndex(1);
    }
    ui->frameLOD->SetLOD(0);
    ui->frameEffect->SetModel(0);
    ui->frameEffect->SetSliderA(3);
    ui->frameEffect->SetSliderB(5);
    ui->Performance->setChecked(false);
    ui->PerformanceOpen->setEnabled(false);
    ui->frame_3->SetChecked(true);
    ui->frame_4->SetChecked(false);
    ui->frame->SetChecked(false);
    ++m_resets;
}

void Sensor::SlotUpDataReportRate(int code)
{
    const int rate = sensor::rateIndexForCode(code);
    if (rate < 0)
        return;
    ui->frameRate->SetRate(rate);
    applyModeChoice(sensor::reportedRateModeChoice(modelHasModeChoice(), CurrentDeviceInfoCopy().RestrictedKind, code),
                    CurrentFlashDataCopy().SensorMode);
}

void Sensor::SlotUpDataDPI(int level)
{
    DeviceWriteReady = 0;
    if (level >= 0 && level < SensorDPI::kStages) {
        ui->frameDpi->MoveLevelMarker(level + 1);
        ui->frameDpi->CheckStageButton(level);
        ui->frameDpi->SetCurrentStage(level);
    }
    DeviceWriteReady = 1;
}

void Sensor::SlotUpDataDPILed(FlashDataMap DataMap)
{
    // The mouse told us its light; showing it must not write it back.
    const UpdatingScope scope(false);
    showDpiLight(DataMap);
}

void Sensor::SlotHideModel(int n)
{
    const DeviceAllInfo device = CurrentDeviceInfoCopy();
    applyModeChoice(sensor::hideModelChoice(modelHasModeChoice(), device.DeviceKind, device.RestrictedKind, n),
                    CurrentFlashDataCopy().SensorMode);
}

void Sensor::on_ModelChoose_currentIndexChanged(int index)
{
    if (DeviceWriteReady && !SensorPageUpdating && sensor::isSendableSensorMode(index))
        SetSensorMode(quint8(index));
}

void Sensor::on_PerformanceOpen_currentIndexChanged(int index)
{
    const int code = sensor::performanceCodeAt(index);
    if (DeviceWriteReady && !SensorPageUpdating && code >= 0)
        SetPerformanceLevel(quint8(code));
}

void Sensor::on_Performance_clicked(bool checked)
{
    if (DeviceWriteReady)
        SetPerformance(checked ? 1 : 0);
}

void Sensor::on_Performance_toggled(bool checked)
{
    ui->PerformanceOpen->setEnabled(checked);
}

void Sensor::changeEvent(QEvent* event)
{
    if (ui && ui->Performance)
        ui->PerformanceOpen->setEnabled(ui->Performance->isChecked());
    QWidget::changeEvent(event);
}
