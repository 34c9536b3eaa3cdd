#include "sensor/DpiLightEffect.h"

#include "core/DeviceParam.h"
#include "core/ProcessState.h"
#include "dialogs/DialogFrame.h"
#include "sensor/OptionCodes.h"
#include "sensor/OptionForm.h"
#include "sensor/OptionStyle.h"

#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

namespace sensor {

namespace {

QFrame* makeFlatLine(QWidget* parent, const char* name, const QRect& rect)
{
    auto* line = new QFrame(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setGeometry(rect);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setStyleSheet(QStringLiteral("background-color:  rgb(57, 57, 57);"));
    return line;
}

} // namespace

DpiLightEffect::DpiLightEffect(const EffectForm& form, QWidget* parent)
    : QFrame(parent)
    , m_folder(pictureFolder("Sensor"))
{
    buildForm(form);
    const QString caption = labelStyle();
    for (QLabel* label : {m_caption, m_speedCaption, m_lightCaption})
        label->setStyleSheet(caption);
    const QString slider = sliderStyle(m_folder);
    const QString number = numberBoxStyle("LabelColor", false);
    m_speed->setStyleSheet(slider);
    m_light->setStyleSheet(slider);
    m_speedNumber->setStyleSheet(number);
    m_lightNumber->setStyleSheet(number);
    connect(m_speed, &QSlider::sliderMoved, this, &DpiLightEffect::on_SpeedH_sliderMoved);
    connect(m_speed, &QSlider::valueChanged, this, &DpiLightEffect::on_SpeedH_valueChanged);
    connect(m_light, &QSlider::sliderMoved, this, &DpiLightEffect::on_LightH_sliderMoved);
    connect(m_light, &QSlider::valueChanged, this, &DpiLightEffect::on_LightH_valueChanged);
}

DpiLightEffect::~DpiLightEffect() = default;

void DpiLightEffect::buildForm(const EffectForm& form)
{
    setupOptionFrame(this, form.frame, form.size, false);
    m_caption = makeCaption(this, "label", form.caption, QStringLiteral("DPI灯效"));
    m_speedCaption = makeCaption(this, "label_14", form.speedCaption, QStringLiteral("速度"), Qt::AlignCenter);
    m_lightCaption = makeCaption(this, "label_15", form.lightCaption, QStringLiteral("亮度"), Qt::AlignCenter);
    m_speed = makeLevelSlider(this, "SpeedH", form.speedSlider, 1, kDpiLightSpeeds);
    m_light = makeLevelSlider(this, "LightH", form.lightSlider, 1, kBrightnessLevels);
    m_speedLine = makeFlatLine(this, "line", form.speedLine);
    m_lightLine = makeFlatLine(this, "line_2", form.lightLine);
    m_speedNumber = makeNumberBox(this, "SpeedSpinBox", form.speedNumber, 11, 1, 10);
    m_lightNumber = makeNumberBox(this, "LightSpinBox", form.lightNumber, 11, 1, 10);
}

void DpiLightEffect::SetEnabled(bool enabled)
{
    m_speed->setEnabled(enabled);
    m_light->setEnabled(enabled);
}

void DpiLightEffect::SetLabelText(const QString& text)
{
    m_caption->setText(text);
}

void DpiLightEffect::SetLabelText2(const QString& text)
{
    m_speedCaption->setText(text);
}

void DpiLightEffect::SetLabelText3(const QString& text)
{
    m_lightCaption->setText(text);
}

void DpiLightEffect::on_SpeedH_sliderMoved(int position)
{
    m_speedNumber->setValue(position);
}

void DpiLightEffect::on_SpeedH_valueChanged(int value)
{
    m_speedNumber->setValue(value);
    if (writeGateOpen())
        SetDPILightSpeed(quint8(value));
}

void DpiLightEffect::on_LightH_sliderMoved(int position)
{
    m_lightNumber->setValue(position);
}

void DpiLightEffect::on_LightH_valueChanged(int value)
{
    m_lightNumber->setValue(value);
    const int brightness = brightnessForLevel(value);
    if (writeGateOpen() && brightness >= 0)
        SetDPILightBrightness(quint8(brightness));
}

bool DpiLightEffect::writeGateOpen()
{
    return DeviceWriteReady != 0 && SensorPageUpdating == 0;
}

void DpiLightEffect::showMode(int mode)
{
    if (mode < 0 || mode >= kDpiLightModes)
        return;
    const bool speedShown = mode == 2;
    const bool lightShown = mode == 1;
    m_speed->setVisible(speedShown);
    m_speedNumber->setVisible(speedShown);
    m_speedLine->setVisible(!speedShown);
    m_light->setVisible(lightShown);
    m_lightNumber->setVisible(lightShown);
    m_lightLine->setVisible(!lightShown);
}

void DpiLightEffect::showModeQuietly(int mode)
{
    const QSignalBlocker quietSpeed(m_speed);
    const QSignalBlocker quietLight(m_light);
    showMode(mode);
}

void DpiLightEffect::sendMode(int mode)
{
    if (mode >= 0 && mode < kDpiLightModes && writeGateOpen())
        SetDPILightMode(mode);
}

} // namespace sensor
