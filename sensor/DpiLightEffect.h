#pragma once

#include <QFrame>
#include <QRect>

class QLabel;
class QSlider;
class QSpinBox;

namespace sensor {

// Where the two light-effect forms place their shared controls.
struct EffectForm
{
    const char* frame;
    QSize size;
    QRect caption;
    QRect speedCaption, lightCaption;
    QRect speedSlider, lightSlider;
    QRect speedLine, lightLine;
    QRect speedNumber, lightNumber;
};

// The DPI light effect: a mode (off, steady, breathing), the breathing speed
// 1..5 and the steady brightness level 1..10, each slider with its number.
// The forms differ only in how the mode is chosen.
//
// Every handler writes only while the device is ready and the sensor page is
// not filling itself; otherwise only the display follows.
class DpiLightEffect : public QFrame
{
    Q_OBJECT

public:
    ~DpiLightEffect() override;

    void SetEnabled(bool enabled);
    void SetLabelText(const QString& text);
    void SetLabelText2(const QString& text);
    void SetLabelText3(const QString& text);

public slots:
    void on_SpeedH_sliderMoved(int position);
    void on_SpeedH_valueChanged(int value);
    void on_LightH_sliderMoved(int position);
    void on_LightH_valueChanged(int value);

protected:
    DpiLightEffect(const EffectForm& form, QWidget* parent);

    static bool writeGateOpen();
    // Shows the controls of mode 0..2 (the other row shows a flat line);
    // other modes change nothing.
    void showMode(int mode);
    // The same, with the sliders silent, for modes shown from code.
    void showModeQuietly(int mode);
    // Sends mode 0..2 under the write gate; anything else is no mode.
    static void sendMode(int mode);

    QSlider* speedSlider() const { return m_speed; }
    QSlider* lightSlider() const { return m_light; }
    const QString& folder() const { return m_folder; }

private:
    void buildForm(const EffectForm& form);

    QLabel* m_caption = nullptr;
    QLabel* m_speedCaption = nullptr;
    QLabel* m_lightCaption = nullptr;
    QSlider* m_speed = nullptr;
    QSlider* m_light = nullptr;
    QFrame* m_speedLine = nullptr;
    QFrame* m_lightLine = nullptr;
    QSpinBox* m_speedNumber = nullptr;
    QSpinBox* m_lightNumber = nullptr;
    QString m_folder;
};

} // namespace sensor
