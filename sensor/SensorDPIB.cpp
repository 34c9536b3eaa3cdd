#include "sensor/SensorDPIB.h"

#include "core/DeviceParam.h"
#include "core/FlashDataMap.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "devicelib/HIDUsb.h"
#include "sensor/OptionStyle.h"
#include "sensor/SensorDpiCodes.h"
#include "shell/common/ButtonStyle.h"
#include "ui_SensorDPIB.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QListView>
#include <QSignalBlocker>

namespace {

struct StageRowNames
{
    const char* check;
    const char* colour;
    const char* slider;
    const char* spin;
    const char* defaultColour;
    const char* presetColour;  // the fixed look of ApplyPresetButtonColours
};

constexpr StageRowNames kRows[SensorDPIB::kStages] = {
    {"MA", "BlueButtonA", "horizontalSliderA", "spinBoxA", "#ff0000", "#ff0000"},
    {"MB", "BrightRedButtonA", "horizontalSliderB", "spinBoxB", "#ffff00", "#00ffff"},
    {"MC", "RedButtonA", "horizontalSliderC", "spinBoxC", "#ffaa00", "#00ff00"},
    {"MD", "YellowButtonA", "horizontalSliderD", "spinBoxD", "#00ff00", "#ffffff"},
    {"ME", "GreenButtonA", "horizontalSliderE", "spinBoxE", "#aaffff", "#00ffff"},
    {"MF", "PurpleButtonA", "horizontalSliderF", "spinBoxF", "#aa55ff", "#ff557d"},
    {"MG", "LightBlueButtonA", "horizontalSliderG", "spinBoxG", "#9f0000", "#ff00ff"},
    {"MH", "LightYellowButtonA", "horizontalSliderH", "spinBoxH", "#00d4d4", "#00ffff"},
};

bool validStage(int stage)
{
    return stage >= 0 && stage < SensorDPIB::kStages;
}

QString colourButtonStyle(const QString& colour)
{
    return QStringLiteral("QToolButton{border:0px;border-radius:3px;background-position:center;background-repeat:"
                          "no-repeat;background-color:")
           + colour + QStringLiteral(";}");
}

} // namespace

SensorDPIB::SensorDPIB(QWidget* parent)
    : QFrame(parent)
    , ui(std::make_unique<Ui::SensorDPIB>())
    , PictureDir(sensor::pictureFolder("Sensor"))
{
    ui->setupUi(this);
    for (int k = 0; k < kStages; ++k) {
        m_rows[size_t(k)] = {findChild<QCheckBox*>(QLatin1String(kRows[k].check)),
                             findChild<QToolButton*>(QLatin1String(kRows[k].colour)),
                             findChild<QSlider*>(QLatin1String(kRows[k].slider)),
                             findChild<QSpinBox*>(QLatin1String(kRows[k].spin))};
        StageColours[size_t(k)] = QLatin1String(kRows[k].defaultColour);
    }
    CheckGroup = new QButtonGroup(this);
    CheckGroup->setExclusive(true);
    ColourDialog = new QColorDialog(this);
    applyStyles();
    for (const Row& row : m_rows)
        CheckGroup->addButton(row.check);
    connectSlots();
}

SensorDPIB::~SensorDPIB() = default;

void SensorDPIB::applyStyles()
{
    ui->label->setStyleSheet(sensor::labelStyle());
    shell::styleCombo(ui->ChooseEvent, PictureDir, false);
    ui->ChooseEvent->setMaxVisibleItems(5);
    const QString slider = sensor::sliderStyle(PictureDir);
    const QString spin = sensor::numberBoxStyle("LinEditColorSecond", true);
    const QString check = sensor::choiceBoxStyle(PictureDir);
    for (int k = 0; k < kStages; ++k) {
        const Row& row = m_rows[size_t(k)];
        row.slider->setStyleSheet(slider);
        row.spin->setStyleSheet(spin);
        row.check->setStyleSheet(check);
        row.colour->setStyleSheet(QLatin1Char('#') + QLatin1String(kRows[k].colour)
                                  + QStringLiteral("{border:0px;border-radius:3px;background-position:center;"
                                                   "background-repeat:no-repeat;background-color: rgb(255, 0, 0);}"));
    }
}

void SensorDPIB::connectSlots()
{
    connect(ColourDialog, &QColorDialog::colorSelected, this, &SensorDPIB::SetColor);
    connect(ui->ChooseEvent, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SensorDPIB::on_ChooseEvent_currentIndexChanged);
    for (int k = 0; k < kStages; ++k) {
        const Row& row = m_rows[size_t(k)];
        connect(row.check, &QCheckBox::toggled, this, [this, k](bool on) { stageToggled(k, on); });
        connect(row.colour, &QToolButton::clicked, this, [this, k] { colourClicked(k); });
        connect(row.slider, &QSlider::valueChanged, this, [this, k](int value) { sliderChanged(k, value); });
    }
}

void SensorDPIB::ClearStageCountItems()
{
    const QSignalBlocker quiet(ui->ChooseEvent);
    ui->ChooseEvent->clear();
}

void SensorDPIB::InsertStageCountItem(int index, const QString& text)
{
    ui->ChooseEvent->insertItem(index, text);
}

void SensorDPIB::SetTitleText(const QString& text)
{
    ui->label->setText(text);
}

void SensorDPIB::BlockSliderSignals(bool on)
{
    for (const Row& row : m_rows)
        row.slider->blockSignals(on);
}

void SensorDPIB::SetSlidersEnabled(bool on)
{
    for (const Row& row : m_rows)
        row.slider->setEnabled(on);
}

void SensorDPIB::SetSlidersMinimum(int value)
{
    for (const Row& row : m_rows) {
        const QSignalBlocker quiet(row.slider);
        row.slider->setMinimum(value);
    }
}

void SensorDPIB::SetSlidersMaximum(int value)
{
    for (const Row& row : m_rows) {
        const QSignalBlocker quiet(row.slider);
        row.slider->setMaximum(value);
    }
}

void SensorDPIB::SetStageValue(int stage, const QString& text)
{
    if (!validStage(stage))
        return;
    // A value the owner shows is the mouse's already: it is never sent back.
    const int value = text.toInt();
    const Row& row = m_rows[size_t(stage)];
    {
        const QSignalBlocker quiet(row.slider);
        row.slider->setValue(value);
    }
    row.spin->setValue(value);
}

void SensorDPIB::SetStageColor(int stage, const QString& colour)
{
    if (validStage(stage))
        StageColours[size_t(stage)] = colour;
}

QString SensorDPIB::stageColour(int stage) const
{
    return validStage(stage) ? StageColours[size_t(stage)] : QString();
}

void SensorDPIB::SetCurrentStage(int stage)
{
    CurrentStage = stage;
}

void SensorDPIB::SetStageCount(int count)
{
    StageCount = count;
}

void SensorDPIB::ShowStages(int last)
{
    if (!validStage(last))
        return;
    for (int k = 0; k < kStages; ++k) {
        const Row& row = m_rows[size_t(k)];
        const bool shown = k <= last;
        for (QWidget* w : {static_cast<QWidget*>(row.check), static_cast<QWidget*>(row.colour),
                           static_cast<QWidget*>(row.slider), static_cast<QWidget*>(row.spin)})
            w->setVisible(shown);
    }
}

bool SensorDPIB::offlineGuardStops() const
{
    if (DeviceWriteReady == 0 || UsbFinderC_GetDeviceOnLine(CurrentDevicePath().c_str()))
        return false;
    if (SensorPageUpdating != 0)
        return false;
    PostMsg::instance()->EmitMouseOffLineo(0);
    return true;
}

void SensorDPIB::SelectStage(int stage)
{
    if (offlineGuardStops() || !validStage(stage))
        return;
    m_rows[size_t(stage)].check->setChecked(true);
}

void SensorDPIB::styleColourButton(int stage, const QString& colour)
{
    m_rows[size_t(stage)].colour->setStyleSheet(colourButtonStyle(colour));
}

void SensorDPIB::ApplyStageButtonStyle(int stage)
{
    if (validStage(stage))
        styleColourButton(stage, StageColours[size_t(stage)]);
}

void SensorDPIB::ApplyAllStageColours()
{
    for (int k = 0; k < kStages; ++k)
        ApplyStageButtonStyle(k);
}

void SensorDPIB::ApplyPresetButtonColours()
{
    for (int k = 0; k < kStages; ++k)
        styleColourButton(k, QLatin1String(kRows[k].presetColour));
}

void SensorDPIB::sliderChanged(int stage, int value)
{
    const Row& row = m_rows[size_t(stage)];
    if (offlineGuardStops()) {
        row.spin->setValue(value);
        return;
    }
    const sensor::DpiSnap snap = sensor::snapDpi(sensor::CurrentDpiRanges(), value);
    if (snap.pageStep > 0)
        row.slider->setPageStep(snap.pageStep);
    row.spin->setValue(snap.value);
    // The owner's own values arrive with the sliders blocked, so every
    // change that reaches here is the user's.
    if (ParamProgressSuppressed != 0)
        return;
    sensor::DPIToSensorCode(stage, snap.value);
}

void SensorDPIB::stageToggled(int stage, bool checked)
{
    if (!checked || DeviceWriteReady == 0 || SensorPageUpdating != 0)
        return;
    CurrentStage = stage;
    SetCurrentDPILevel(quint8(stage));
}

void SensorDPIB::colourClicked(int stage)
{
    ColourTargetStage = stage;
    ColourDialog->show();
}

void SensorDPIB::SetColor(QColor color)
{
    const int stage = ColourTargetStage;
    if (!validStage(stage) || !color.isValid())
        return;
    const QString text = QColor(color.red(), color.green(), color.blue()).name();  // "#rrggbb", lower case
    StageColours[size_t(stage)] = text;
    if (DeviceWriteReady != 0 && SensorPageUpdating == 0)
        SetDPILevelColor(stage, quint8(color.red()), quint8(color.green()), quint8(color.blue()));
    styleColourButton(stage, text);
}

void SensorDPIB::swapStages(int from, int to)
{
    BlockSliderSignals(true);
    const QString fromColour = StageColours[size_t(from)];
    const int fromValue = m_rows[size_t(from)].spin->value();
    const QString toColour = StageColours[size_t(to)];
    const int toValue = m_rows[size_t(to)].spin->value();
    StageColours[size_t(from)] = toColour;
    styleColourButton(from, toColour);
    m_rows[size_t(from)].slider->setValue(toValue);
    m_rows[size_t(from)].spin->setValue(toValue);
    StageColours[size_t(to)] = fromColour;
    styleColourButton(to, fromColour);
    m_rows[size_t(to)].slider->setValue(fromValue);
    m_rows[size_t(to)].spin->setValue(fromValue);
    m_rows[size_t(to)].check->setChecked(true);
    StageCount = to + 1;
    CurrentStage = to;
    if (DeviceWriteReady != 0) {
        const FlashDataMap image = CurrentFlashDataCopy();
        SetDPILevels(image.DpiLevel[to], image.DpiLevel[from], to, from, quint8(to));
    }
    BlockSliderSignals(false);
}

void SensorDPIB::on_ChooseEvent_currentIndexChanged(int index)
{
    if (SensorPageUpdating != 0 || !validStage(index))
        return;
    if (validStage(CurrentStage) && CurrentStage > index)
        swapStages(CurrentStage, index);
    ShowStages(index);
    if (DeviceWriteReady != 0)
        SetDPILevelCount(quint8(index + 1));
}
