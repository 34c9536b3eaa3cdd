#pragma once

#include "core/FlashDataMap.h"

#include <QWidget>

#include <memory>

class QButtonGroup;
class QMouseEvent;
class QSpinBox;

namespace Ui {
class LampLight;
}

namespace light {
class ScreenSampler;
}

// The page of the mouse's light: mode, brightness, speed, light off while
// moving, idle light-off time and the colour. Fills and the reset show the
// mouse's values without sending; every user edit goes to the mouse through
// its setter.
class LampLight final : public QWidget
{
    Q_OBJECT

public:
    explicit LampLight(QWidget* parent = nullptr);
    ~LampLight() override;

    // Fills the preset button group so the presets act as one exclusive set.
    void InitButtonGroup();
    // The source of the colour board's pick; the screen unless a test sets one.
    void setScreenSampler(std::unique_ptr<light::ScreenSampler> sampler);

public slots:
    void SlotChangeLanguage(int index);
    void SlotFormResetLight();
    // UIA leaves brightness and speed disabled until the next UILight fill.
    void SlotUpDataLightUIA(FlashDataMap DataMap);
    void SlotUpDataLightUILight(FlashDataMap DataMap);

    void on_LightMod_currentIndexChanged(int index);
    void on_horizontalLight_valueChanged(int value);
    void on_horizontalLight_sliderMoved(int position);
    void on_horizontalSpeed_valueChanged(int value);
    void on_horizontalSpeed_sliderMoved(int position);
    void on_RippeControl_clicked(bool checked);

    void on_RSpinBox_valueChanged(int arg1);
    void on_GSpinBox_valueChanged(int arg1);
    void on_BSpinBox_valueChanged(int arg1);
    void on_AddR_clicked();
    void on_AddG_clicked();
    void on_AddB_clicked();
    void on_ReduceR_clicked();
    void on_ReduceG_clicked();
    void on_ReduceB_clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void connectSlots();
    void applyStyles();
    void showModeControls(int index);
    void fill(const FlashDataMap& image, bool slidersEnabled);
    void restylePreview(int red, int green, int blue);
    bool colourPreCheck() const;
    void stepBox(QSpinBox* box, int delta);
    void applyPreset(int index);
    void pickFromBoard();

    std::unique_ptr<Ui::LampLight> ui;
    QButtonGroup* m_colourGroup = nullptr;
    QString m_skin;
    std::unique_ptr<light::ScreenSampler> m_sampler;
};
