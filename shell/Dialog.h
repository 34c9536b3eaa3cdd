#pragma once

#include "shell/common/PictureParking.h"

#include <QWidget>

#include <memory>

namespace Ui {
class Dialog;
}
class Buttoninterface;
class FormSetting;
class Macro;
class QButtonGroup;
class QToolButton;
class Sensor;
class UpDataParam;

// The configuration frame: the top bar with the page buttons, battery gauge, minimise and
// close, the back arrow, and the four configuration pages of the open mouse.
class Dialog final : public QWidget
{
    Q_OBJECT

public:
    explicit Dialog(QWidget* parent = nullptr);
    ~Dialog() override;

    // Writes the open mouse's image to its cache file; skipped (with a log line) until the mouse has
    // sent its own configuration in this session. Close, back and the tray's Exit call it.
    void saveDeviceCache();

    // While the frame waits unseen behind the choice page, its pages and its parameter-read dialog
    // hold no decoded pictures; they come back when the frame shows or the dialog opens.
    void parkPictures();

    // The frame's own parameter-read dialog (kept for the life of the process).
    UpDataParam* paramDialog() const { return m_paramDialog; }

public slots:
    // Form buttons, connected in code through one table (the form itself connects nothing by name).
    void WindowClosed();
    void WindowMin();
    void on_ButtonMain_clicked();
    void on_SensorButton_clicked();
    void on_MacroButton_clicked();
    void on_LightsButton_clicked();
    void on_UpArrow_clicked();
    void on_SetButton_clicked();
    void on_MouseB_clicked();
    void on_MouseC_clicked();
    void on_CloseButton_clicked();
    void on_FormSetting_clicked();

    void SlotSecondDialog();
    void SlotUpDataParam(int index);
    void SlotStartRecord(int index);
    void SlotBattery(bool IsCharg, int Number, bool IsText);
    void SlotMouseIndex(int index);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void setupPages();
    void setupStyles();
    void setupButtons();
    void setupBus();
    void retranslateFixedTexts();
    void showPage(QWidget* page);
    QToolButton* pageButton(int row) const;

    std::unique_ptr<Ui::Dialog> m_ui;
    QButtonGroup* m_unusedGroup = nullptr;
    QButtonGroup* m_pageGroup = nullptr;
    Buttoninterface* m_buttonPage = nullptr;
    Macro* m_macroPage = nullptr;
    Sensor* m_sensorPage = nullptr;
    FormSetting* m_settingPage = nullptr;
    UpDataParam* m_paramDialog = nullptr; // never deleted: the process-long notice
    QString m_skinDir;
    shell::PictureParking m_parkedPictures;
};
