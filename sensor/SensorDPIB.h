#pragma once

#include <QColor>
#include <QFrame>
#include <QString>

#include <array>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QColorDialog;
class QSlider;
class QSpinBox;
class QToolButton;

namespace Ui {
class SensorDPIB;
}

// The per-stage form of the DPI editor: each of the eight stages has a row
// of its own (current-stage box, colour button, DPI slider, the DPI sent),
// and a list sets how many stages are in use. An owner fills it through the
// operations below, which never send; every user edit goes to the mouse.
class SensorDPIB final : public QFrame
{
    Q_OBJECT

public:
    static constexpr int kStages = 8;

    explicit SensorDPIB(QWidget* parent = nullptr);
    ~SensorDPIB() override;

    // Stages are 0..7; other values are ignored.
    void ClearStageCountItems();
    void InsertStageCountItem(int index, const QString& text);
    void SetTitleText(const QString& text);
    void BlockSliderSignals(bool on);
    void SetSlidersEnabled(bool on);
    void SetSlidersMinimum(int value);
    void SetSlidersMaximum(int value);
    // Shows the DPI of a stage; never sends.
    void SetStageValue(int stage, const QString& text);
    // Colour as "#rrggbb"; the button keeps its look until it is restyled.
    void SetStageColor(int stage, const QString& colour);
    void SetCurrentStage(int stage);
    void SetStageCount(int count);
    void ShowStages(int last);
    void SelectStage(int stage);
    void ApplyStageButtonStyle(int stage);
    void ApplyAllStageColours();
    void ApplyPresetButtonColours();

    int currentStage() const { return CurrentStage; }
    int stageCount() const { return StageCount; }
    QString stageColour(int stage) const;

public slots:
    void on_ChooseEvent_currentIndexChanged(int index);
    void SetColor(QColor color);

private:
    struct Row
    {
        QCheckBox* check;
        QToolButton* colour;
        QSlider* slider;
        QSpinBox* spin;
    };

    void applyStyles();
    void connectSlots();
    bool offlineGuardStops() const;
    void sliderChanged(int stage, int value);
    void stageToggled(int stage, bool checked);
    void colourClicked(int stage);
    void swapStages(int from, int to);
    void styleColourButton(int stage, const QString& colour);

    std::unique_ptr<Ui::SensorDPIB> ui;
    QColorDialog* ColourDialog = nullptr;
    QString PictureDir;
    QButtonGroup* CheckGroup = nullptr;
    int CurrentStage = 1;
    int StageCount = 1;
    std::array<QString, kStages> StageColours;
    int ColourTargetStage = 0;
    std::array<Row, kStages> m_rows{};
};
