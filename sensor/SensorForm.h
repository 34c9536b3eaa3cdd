#pragma once

class MotionSync;
class MyConmboBox;
class QCheckBox;
class QFrame;
class QLabel;
class QToolButton;
class QWidget;
class RippeControl;
class SensorDPI;
class SensorEffect;
class SensorLOD;
class SensorRate;
class StraightLine;

// The sensor page's widgets at their fixed places. Built in code so the
// option widgets are created by their own constructors.
class Ui_Sensor
{
public:
    QFrame* SenSorPage = nullptr;
    SensorDPI* frameDpi = nullptr;
    QToolButton* TitleButton = nullptr;
    QToolButton* TitleButton_2 = nullptr;
    SensorRate* frameRate = nullptr;
    QLabel* label_5 = nullptr;
    QToolButton* TitleButton_4 = nullptr;
    RippeControl* frame = nullptr;
    QLabel* label_11 = nullptr;
    SensorLOD* frameLOD = nullptr;
    QCheckBox* Performance = nullptr;
    StraightLine* frame_4 = nullptr;
    MyConmboBox* ModelChoose = nullptr;
    MyConmboBox* PerformanceOpen = nullptr;
    MotionSync* frame_3 = nullptr;
    SensorEffect* frameEffect = nullptr;
    QToolButton* TitleButton_3 = nullptr;

    void setupUi(QWidget* page);
};
