#pragma once

#include <QString>

class MyConmboBox;
class QCheckBox;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QToolButton;
class QWidget;

// The widgets of the macro page, built in code: three columns on a fixed
// 883 x 630 frame (macro list, event list, recording and repeat controls).
// The fields carry the widgets' object names. Nothing is connected here.
class MacroForm
{
public:
    void setupUi(QWidget* page);
    // The built-in texts, which stand until a language file replaces them,
    // and the nine entries of ChooseEvent.
    void setDefaultTexts();
    // The run-time look from the page's pictures and the "Option" colours.
    void applyStyles(const QString& pictureDir);
    // Save in its active look and enabled, or grey and disabled.
    void setSaveEnabled(bool enabled);

    QFrame* MacroPage = nullptr;
    QLabel* label_2 = nullptr;
    QListWidget* listWidgetKey = nullptr;
    QLabel* label = nullptr;
    QListWidget* listWidgetHong = nullptr;
    MyConmboBox* ChooseEvent = nullptr;
    QCheckBox* ReUntilClick = nullptr;
    QCheckBox* AutoInsertDelay = nullptr;
    QCheckBox* ReNumber = nullptr;
    QToolButton* NewHong = nullptr;
    QToolButton* DeleteHong = nullptr;
    QToolButton* Amend = nullptr;
    QToolButton* DeleteKey = nullptr;
    QCheckBox* DefaultDelay = nullptr;
    QPushButton* StartRecord = nullptr;
    QPushButton* StopRecord = nullptr;
    QLabel* label_3 = nullptr;
    QSpinBox* DelayTime = nullptr;
    QSpinBox* NumberEdit = nullptr;
    QCheckBox* ReUntil = nullptr;
    QToolButton* Save = nullptr;
    QLabel* AutoInsertDelayLabel = nullptr;
    QLabel* ReUntilLabel = nullptr;
    QLabel* ReUntilClickLabel = nullptr;
    QCheckBox* ReUntilLoose = nullptr;
    QLabel* ReUntilLooseLabel = nullptr;

private:
    void setupDetails();

    QWidget* m_page = nullptr;
    QString m_activeButtonStyle;
    QString m_greyButtonStyle;
};
