#pragma once

#include <QColor>
#include <QFrame>
#include <QPoint>
#include <QRect>
#include <QStringList>

#include <array>
#include <memory>

class QButtonGroup;
class QColorDialog;
class QToolButton;

namespace Ui {
class SensorDPI;
}

// The DPI stage editor of the sensor page: up to eight stages, each a button
// showing its DPI with a colour bar under it, the stage count, one slider for
// the DPI of the selected stage, and a marker under the current stage that
// can be dragged to another one. The page fills it through the operations
// below, which never send; the user's edits go to the mouse through the
// setters.
class SensorDPI final : public QFrame
{
    Q_OBJECT

public:
    static constexpr int kStages = 8;

    explicit SensorDPI(QWidget* parent = nullptr);
    ~SensorDPI() override;

    // Stages are 0..7 unless a name says "number"; other values are ignored.
    void SetTitleText(const QString& text);
    void BlockComboSignals(bool on);
    void ClearStageCountItems();
    void InsertStageCountItem(int index, const QString& text);
    void SetStageCountIndex(int index);
    void BlockSliderSignals(bool on);
    void SetSliderEnabled(bool enabled);
    void SetSliderMinimum(int value);
    void SetSliderMaximum(int value);
    void SetSliderValue(int value);
    void SetSpinValue(int value);
    void SetStageText(int stage, const QString& text);
    // Colour as "#rrggbb"; the bar keeps its look until it is restyled.
    void SetStageColor(int stage, const QString& colour);
    void SetCurrentStage(int stage);
    void SetStageCount(int count);
    void CheckStageButton(int stage);
    void MoveLevelMarker(int stageNumber);
    void ShowStages(int lastIndex);
    void HighlightStageBar(int stage);
    // Stage colours ("DPIColor") and stage texts ("DPIGrade") of the open
    // device's group in Config.ini.
    void LoadStageSettings();
    void BlockValueSignals(bool on);
    void BlockAllSignals(bool on);

public slots:
    // The stage count became index + 1; a current stage beyond it trades
    // places with the last kept stage, on screen and in the mouse.
    void on_ChooseEvent_currentIndexChanged(int index);
    // Only the user moves the slider with its signals on: every value that
    // arrives here is snapped, shown and sent for the checked stage.
    void on_horizontalSliderC_valueChanged(int value);
    void on_horizontalSliderC_sliderMoved(int position);
    void on_ReduceLevelA_clicked();
    void on_AddLevelA_clicked();
    void SetColor(QColor color);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void setupStyles();
    void setupGroups();
    void connectSlots();

    QToolButton* stageButton(int stage) const { return m_stageButtons[size_t(stage)]; }
    QToolButton* stageBar(int stage) const { return m_stageBars[size_t(stage)]; }
    int checkedStage() const;
    // The slider, the stage buttons and the bars.
    QList<QWidget*> valueWidgets() const;
    int checkedBar() const;

    // The selection chain: a checked stage button checks its bar and makes
    // its stage current; a checked bar shows the stage's DPI.
    void stageToggled(int stage, bool checked);
    void barToggled(int stage, bool checked);

    QString stageStyle(const char* image) const;
    QString barStyle(int stage, const char* image) const;
    void setStageLook(int stage, bool large);
    void setBarLook(int stage, bool large);
    void ApplyStageBarStyle(int stage);

    // Puts the stage's DPI on the slider without sending it.
    void showStageDpi(int stage);
    // Snaps a value to the device's ranges, taking the range's page step.
    int snapped(int value);
    // Snaps, then shows the value on the checked stage and in the spin box.
    int showDpi(int value);
    void stepDpi(bool add);

    void swapStages(int from, int to);
    void moveMarkerTo(int stage);
    void dropMarker(const QPoint& at);
    void SelectStage(int stage);

    std::unique_ptr<Ui::SensorDPI> ui;
    std::array<QToolButton*, kStages> m_stageButtons{};
    std::array<QToolButton*, kStages> m_stageBars{};

    QString PictureDir;
    QButtonGroup* StageButtonGroup = nullptr;
    QButtonGroup* StageBarGroup = nullptr;
    QColorDialog* ColourDialog = nullptr;
    QString ButtonColorText;
    std::array<QRect, 2 * kStages> StageHomeRects{};  // stage buttons, then bars
    std::array<QPoint, kStages> StageSnapPoints{};
    QRect DragArea;
    bool m_dragging = false;
    QPoint m_dragOffset;
    int CurrentStage = 1;
    int StageCount = 1;
    QStringList StageColours;
    int StageAtCountChange = 0;
};
