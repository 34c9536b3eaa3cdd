#include "light/LampLight.h"

#include "core/DeviceParam.h"
#include "core/MacroIni.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "devicelib/HIDUsb.h"
#include "light/LightRules.h"
#include "light/ScreenSampler.h"
#include "sensor/OptionStyle.h"
#include "shell/common/ButtonStyle.h"
#include "shell/common/LanguageFile.h"
#include "ui_LampLight.h"
#include "shell/common/PictureCheck.h"

#include <QButtonGroup>
#include <QListView>
#include <QMouseEvent>
#include <QSignalBlocker>

namespace {

constexpr shell::TextBinding kTexts[] = {
    {"label", "label"},
    {"LightMod", "LightMod", shell::TextRole::ItemText, 0},
    {"LightMod1", "LightMod", shell::TextRole::ItemText, 1},
    {"LightMod2", "LightMod", shell::TextRole::ItemText, 2},
    {"LightMod3", "LightMod", shell::TextRole::ItemText, 3},
    {"LightMod4", "LightMod", shell::TextRole::ItemText, 4},
    {"LightMod5", "LightMod", shell::TextRole::ItemText, 5},
    {"label_2", "label_2"},
    {"label_3", "label_3"},
    {"label_4", "label_4"},
    {"label_5", "label_5"},
    {"label_6", "label_6"},
    {"label_8", "label_8"},
    {"label_10", "label_10"},
    {"label_11", "label_11"},
    {"label_12", "label_12"},
    {"label_13", "label_13"},
};

// The sleep-time entries' children: "StopCloseTime", then "StopCloseTime1".."10".
QString sleepChild(int index)
{
    return index == 0 ? QStringLiteral("StopCloseTime") : QStringLiteral("StopCloseTime") + QString::number(index);
}

constexpr const char* kColourGroup[] = {"label_6",  "label_7",  "label_8", "labelPreView", "label_10", "label_11",
                                        "label_12", "RSpinBox", "GSpinBox", "BSpinBox",    "AddR",     "AddG",
                                        "AddB",     "ReduceR",  "ReduceG",  "ReduceB",     "label_13"};

// Marks LightPageUpdating for the length of a fill or reset, so no way out
// leaves it set.
class LightUpdatingScope
{
public:
    LightUpdatingScope() { LightPageUpdating = 1; }
    ~LightUpdatingScope() { LightPageUpdating = 0; }
    LightUpdatingScope(const LightUpdatingScope&) = delete;
    LightUpdatingScope& operator=(const LightUpdatingScope&) = delete;
};

QString presetButtonName(const light::PresetColour& preset)
{
    return QStringLiteral("toolButtonColor") + QLatin1Char(preset.letter);
}

} // namespace

LampLight::LampLight(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::LampLight>())
    , m_skin(sensor::pictureFolder("Light"))
    , m_sampler(light::makeScreenSampler())
{
    ui->setupUi(this);
    m_colourGroup = new QButtonGroup(this);
    m_colourGroup->setExclusive(true);
    // Building the page shows the controls of entry 0 but must not switch
    // the mouse's light off: no mode is sent from here.
    showModeControls(ui->LightMod->currentIndex());
    applyStyles();
    connectSlots();
    SlotChangeLanguage(MacroIni::Instance()->LanguageIndex());
}

LampLight::~LampLight() = default;

void LampLight::connectSlots()
{
    connect(ui->LightMod, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &LampLight::on_LightMod_currentIndexChanged);
    connect(ui->horizontalLight, &QSlider::valueChanged, this, &LampLight::on_horizontalLight_valueChanged);
    connect(ui->horizontalLight, &QSlider::sliderMoved, this, &LampLight::on_horizontalLight_sliderMoved);
    connect(ui->horizontalSpeed, &QSlider::valueChanged, this, &LampLight::on_horizontalSpeed_valueChanged);
    connect(ui->horizontalSpeed, &QSlider::sliderMoved, this, &LampLight::on_horizontalSpeed_sliderMoved);
    connect(ui->RippeControl, &QToolButton::clicked, this, &LampLight::on_RippeControl_clicked);
    connect(ui->RSpinBox, QOverload<int>::of(&QSpinBox::valueChanged), this, &LampLight::on_RSpinBox_valueChanged);
    connect(ui->GSpinBox, QOverload<int>::of(&QSpinBox::valueChanged), this, &LampLight::on_GSpinBox_valueChanged);
    connect(ui->BSpinBox, QOverload<int>::of(&QSpinBox::valueChanged), this, &LampLight::on_BSpinBox_valueChanged);
    connect(ui->AddR, &QToolButton::clicked, this, &LampLight::on_AddR_clicked);
    connect(ui->AddG, &QToolButton::clicked, this, &LampLight::on_AddG_clicked);
    connect(ui->AddB, &QToolButton::clicked, this, &LampLight::on_AddB_clicked);
    connect(ui->ReduceR, &QToolButton::clicked, this, &LampLight::on_ReduceR_clicked);
    connect(ui->ReduceG, &QToolButton::clicked, this, &LampLight::on_ReduceG_clicked);
    connect(ui->ReduceB, &QToolButton::clicked, this, &LampLight::on_ReduceB_clicked);
    for (int i = 0; i < light::kPresets; ++i) {
        auto* button = findChild<QToolButton*>(presetButtonName(light::kPresetColours[i]));
        connect(button, &QToolButton::clicked, this, [this, i] { applyPreset(i); });
    }
}

void LampLight::applyStyles()
{
    // The page's lists scroll with the skin's dark bar, their own background showing at its ends.
    ui->LightPage->setStyleSheet(shell::scrollBarStyle(shell::ScrollBarEnds::Transparent));
    shell::styleCombo(ui->LightMod, m_skin, false);
    ui->LightMod->setMaxVisibleItems(5);
    const QString caption = sensor::labelStyle();
    for (QLabel* label : {ui->label, ui->label_2, ui->label_3, ui->label_4, ui->label_5, ui->label_6, ui->label_8,
                          ui->label_13})
        label->setStyleSheet(caption);
    const QString number = sensor::numberBoxStyle("LabelColor", false);
    ui->LightSpinBox_2->setStyleSheet(number);
    ui->SpeedSpinBox_2->setStyleSheet(number);
    const QString edit = sensor::optionColour("LinEditColorSecond");
    const QString box = QStringLiteral("QSpinBox{background-color: rgb(0,0,0);color: rgb(") + edit
                        + QStringLiteral(";);border: 1px  solid gray;}QSpinBox:hover{background-color: "
                                         "transparent;color: rgb(")
                        + edit + QStringLiteral(";);border: 1px  solid gray;}");
    for (QSpinBox* spin : {ui->RSpinBox, ui->GSpinBox, ui->BSpinBox})
        spin->setStyleSheet(box);
    const QString slider = sensor::sliderStyle(m_skin);
    ui->horizontalLight->setStyleSheet(slider);
    ui->horizontalSpeed->setStyleSheet(slider);
    ui->RippeControl->setStyleSheet(sensor::switchStyle(QStringLiteral("RippeControl"), m_skin));

    ui->label_7->setStyleSheet(shell::pictureSheet(QStringLiteral("#label_7{border:0px;background-position:center;"
                                                                  "background-repeat:no-repeat;background-image: url(")
                                                   + m_skin + QStringLiteral("ColorBoard.png);}")));
    for (QToolButton* b : {ui->ReduceR, ui->ReduceG, ui->ReduceB})
        b->setStyleSheet(sensor::pictureButtonStyle(b->objectName(), m_skin, "Reduce.png"));
    for (QToolButton* b : {ui->AddR, ui->AddG, ui->AddB})
        b->setStyleSheet(sensor::pictureButtonStyle(b->objectName(), m_skin, "Add.png"));
    ui->labelPreView->setStyleSheet(sensor::pictureButtonStyle(QStringLiteral("labelPreView"), m_skin,
                                                               "PreviewColor.png"));
    for (const light::PresetColour& preset : light::kPresetColours) {
        const QString name = presetButtonName(preset);
        findChild<QToolButton*>(name)->setStyleSheet(shell::pictureSheet(
            QLatin1Char('#') + name
            + QStringLiteral("{border:0px;background-position:center;background-repeat:no-repeat;background-image: "
                             "url(")
            + m_skin + QStringLiteral("Color") + QLatin1Char(preset.letter) + QStringLiteral(".png);}")));
    }
}

void LampLight::InitButtonGroup()
{
    for (const light::PresetColour& preset : light::kPresetColours)
        m_colourGroup->addButton(findChild<QToolButton*>(presetButtonName(preset)));
}

void LampLight::setScreenSampler(std::unique_ptr<light::ScreenSampler> sampler)
{
    m_sampler = std::move(sampler);
}

void LampLight::SlotChangeLanguage(int index)
{
    const shell::LanguageElement texts = shell::LanguageFile::cachedElement(index, QStringLiteral("Light"));
    if (texts.isEmpty())
        return;
    shell::applyTexts(this, texts, kTexts);
    QString text;
    for (int i = 0; i <= 10; ++i) {
        if (texts.find(sleepChild(i), &text))
            ui->frameClose->SetItemText(i, text);
    }
}

void LampLight::showModeControls(int index)
{
    light::ModeControls shown{};
    if (!light::modeControls(index, &shown))
        return;
    ui->line->setVisible(shown.line);
    ui->line_2->setVisible(shown.line2);
    for (const char* name : kColourGroup)
        findChild<QWidget*>(QLatin1String(name))->setVisible(shown.colour);
    for (const light::PresetColour& preset : light::kPresetColours)
        findChild<QWidget*>(presetButtonName(preset))->setVisible(shown.colour);
    ui->horizontalLight->setVisible(shown.brightness);
    ui->LightSpinBox_2->setVisible(shown.brightness);
    ui->horizontalSpeed->setVisible(shown.speed);
    ui->SpeedSpinBox_2->setVisible(shown.speedBox);
}

void LampLight::on_LightMod_currentIndexChanged(int index)
{
    if (DeviceWriteReady != 0 && LightPageUpdating == 0)
        SetLightMode(index);
    showModeControls(index);
}

void LampLight::on_horizontalLight_valueChanged(int value)
{
    ui->LightSpinBox_2->setValue(value);
    if (DeviceWriteReady != 0 && LightPageUpdating == 0)
        SetLightBrightness(quint8(value - 1));
}

void LampLight::on_horizontalLight_sliderMoved(int position)
{
    ui->LightSpinBox_2->setValue(position);
}

void LampLight::on_horizontalSpeed_valueChanged(int value)
{
    ui->SpeedSpinBox_2->setValue(value);
    if (DeviceWriteReady != 0 && LightPageUpdating == 0)
        SetLightSpeed(quint8(value - 1));
}

void LampLight::on_horizontalSpeed_sliderMoved(int position)
{
    ui->SpeedSpinBox_2->setValue(position);
}

void LampLight::on_RippeControl_clicked(bool checked)
{
    if (DeviceWriteReady != 0 && LightPageUpdating == 0)
        SetLightRippleControl(checked ? 1 : 0);
}

void LampLight::SlotUpDataLightUIA(FlashDataMap DataMap)
{
    fill(DataMap, false);
}

void LampLight::SlotUpDataLightUILight(FlashDataMap DataMap)
{
    fill(DataMap, true);
}

void LampLight::fill(const FlashDataMap& image, bool slidersEnabled)
{
    ui->horizontalLight->setEnabled(slidersEnabled);
    ui->horizontalSpeed->setEnabled(slidersEnabled);
    const LightUpdatingScope updating;
    const int brightness = image.LightBrightness;
    const int speed = image.LightSpeed;
    const int red = image.LightColor[0];
    const int green = image.LightColor[1];
    const int blue = image.LightColor[2];
    {
        const QSignalBlocker b1(ui->horizontalLight), b2(ui->horizontalSpeed), b3(ui->RSpinBox),
            b4(ui->GSpinBox), b5(ui->BSpinBox);
        ui->horizontalLight->setValue(brightness + 1);
        ui->horizontalSpeed->setValue(speed + 1);
        ui->LightSpinBox_2->setValue(brightness + 1);
        ui->SpeedSpinBox_2->setValue(speed + 1);
        ui->RSpinBox->setValue(red);
        ui->GSpinBox->setValue(green);
        ui->BSpinBox->setValue(blue);
        restylePreview(red, green, blue);
    }
    ui->LightMod->setCurrentIndex(image.LightOn != 0 ? int(image.LightMode) : 0);
    ui->RippeControl->setChecked(image.LightRippleControl != 0);
    const int entry = light::sleepIndexForSeconds(int(image.SleepTime) * 10);
    if (entry >= 0)
        ui->frameClose->SetCurrentIndex(entry);
}

void LampLight::SlotFormResetLight()
{
    const LightUpdatingScope updating;
    ui->LightMod->setCurrentIndex(1);
    ui->horizontalLight->setValue(10);
    ui->horizontalSpeed->setValue(8);
    ui->LightSpinBox_2->setValue(10);
    ui->SpeedSpinBox_2->setValue(8);
    ui->RippeControl->setChecked(true);
    ui->frameClose->SetCurrentIndex(2);
}

void LampLight::restylePreview(int red, int green, int blue)
{
    ui->labelPreView->setStyleSheet(QStringLiteral("QLabel{background-color: rgb(%1,%2,%3);border: 2px solid  "
                                                   "rgb(220,220,220);}")
                                        .arg(red)
                                        .arg(green)
                                        .arg(blue));
}

bool LampLight::colourPreCheck() const
{
    if (DeviceWriteReady == 0)
        return true;
    if (UsbFinderC_GetDeviceOnLine(CurrentDevicePath().c_str()))
        return true;
    if (LightPageUpdating != 0)
        return true;
    PostMsg::instance()->EmitMouseOffLineo(0);
    return false;
}

void LampLight::on_RSpinBox_valueChanged(int arg1)
{
    restylePreview(ui->RSpinBox->value(), ui->GSpinBox->value(), ui->BSpinBox->value());
    if (DeviceWriteReady != 0)
        SetLightColor(quint8(arg1), quint8(ui->GSpinBox->value()), quint8(ui->BSpinBox->value()));
}

void LampLight::on_GSpinBox_valueChanged(int arg1)
{
    restylePreview(ui->RSpinBox->value(), ui->GSpinBox->value(), ui->BSpinBox->value());
    if (DeviceWriteReady != 0)
        SetLightColor(quint8(ui->RSpinBox->value()), quint8(arg1), quint8(ui->BSpinBox->value()));
}

void LampLight::on_BSpinBox_valueChanged(int arg1)
{
    restylePreview(ui->RSpinBox->value(), ui->GSpinBox->value(), ui->BSpinBox->value());
    if (DeviceWriteReady != 0)
        SetLightColor(quint8(ui->RSpinBox->value()), quint8(ui->GSpinBox->value()), quint8(arg1));
}

void LampLight::stepBox(QSpinBox* box, int delta)
{
    if (!colourPreCheck())
        return;
    // The box holds 0..255: at a bound the value stays and nothing is sent.
    box->setValue(box->value() + delta);
}

void LampLight::on_AddR_clicked() { stepBox(ui->RSpinBox, 1); }
void LampLight::on_AddG_clicked() { stepBox(ui->GSpinBox, 1); }
void LampLight::on_AddB_clicked() { stepBox(ui->BSpinBox, 1); }
void LampLight::on_ReduceR_clicked() { stepBox(ui->RSpinBox, -1); }
void LampLight::on_ReduceG_clicked() { stepBox(ui->GSpinBox, -1); }
void LampLight::on_ReduceB_clicked() { stepBox(ui->BSpinBox, -1); }

void LampLight::applyPreset(int index)
{
    if (index < 0 || index >= light::kPresets || !colourPreCheck())
        return;
    const light::PresetColour& preset = light::kPresetColours[index];
    ui->RSpinBox->setValue(preset.red);
    ui->GSpinBox->setValue(preset.green);
    ui->BSpinBox->setValue(preset.blue);
}

void LampLight::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    if (event->type() != QEvent::MouseButtonPress)
        return;
    // Child geometries are in LightPage's coordinates, which the grid places
    // at the page's origin without margins.
    const QPoint p = ui->LightPage->mapFrom(this, event->pos());
    if (!ui->RSpinBox->geometry().contains(p) && !ui->GSpinBox->geometry().contains(p)
        && !ui->BSpinBox->geometry().contains(p)) {
        for (QSpinBox* box : {ui->RSpinBox, ui->GSpinBox, ui->BSpinBox})
            box->clearFocus();
        setFocus(Qt::OtherFocusReason);
    }
    for (QSpinBox* box : {ui->LightSpinBox_2, ui->SpeedSpinBox_2}) {
        if (!box->geometry().contains(p)) {
            box->clearFocus();
            setFocus(Qt::OtherFocusReason);
        }
    }
    // A hidden board keeps its rectangle; only the board the user sees picks.
    if (ui->label_7->isVisibleTo(this) && ui->label_7->geometry().contains(p))
        pickFromBoard();
}

void LampLight::pickFromBoard()
{
    if (!colourPreCheck() || !m_sampler)
        return;
    const QPoint point = light::samplePoint(m_sampler->cursorPos(), m_sampler->scale());
    const std::optional<QColor> colour = m_sampler->sampleAt(point);
    // No colour from the screen: the boxes keep theirs and nothing is sent.
    if (!colour)
        return;
    ui->RSpinBox->setValue(colour->red());
    ui->GSpinBox->setValue(colour->green());
    ui->BSpinBox->setValue(colour->blue());
    restylePreview(colour->red(), colour->green(), colour->blue());
}
