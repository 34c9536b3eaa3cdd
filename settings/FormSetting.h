#pragma once

#include "core/DeviceAllInfo.h"
#include "core/DongleRGB.h"
#include "core/Firmware.h"
#include "dialogs/MakeMacro.h"
#include "settings/UpgradeRelay.h"

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QWidget>

class MyButton;
class MyConmboBox;
class QButtonGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QScrollArea;
class QTextEdit;
class QTimer;
class QToolButton;
class StopCloseTime;
class UpDateRepair;
class UpDateWarning;

// The fourth page of the configuration frame: language, firmware versions,
// pairing, sleep time, start with the session, the desktop's mouse settings,
// the receiver's long-range mode and light, and the driver's own lines. One
// scrolling column of rows; the advanced rows show only for devices that
// offer them.
class FormSetting final : public QWidget
{
    Q_OBJECT

public:
    explicit FormSetting(QWidget* parent = nullptr);
    ~FormSetting() override;

    // True when "/bin" holds an image of that kind, CID, MID and name whose
    // version differs from version (empty = unknown, every match counts). The
    // image found becomes the one an update writes.
    static bool FindUpdateFile(quint8 imageKind, const QString& version, const QString& imageName, quint8 cid,
                               quint8 mid);
    // The same question without keeping the image; false for an unknown version.
    static bool FindNewerFile(quint8 imageKind, const QString& version, const QString& imageName, quint8 cid,
                              quint8 mid);
    // Whether an image of that kind is to be offered for the open device and
    // receiver class (1, 2, 4, 8; any other class has no receiver image).
    static bool CheckUpdateFile(quint8 imageKind, const QString& version, int receiverClass);
    static QList<QByteArray> UpdateImageList();

    // Device data from the bus. They show what the device reports and never
    // send it back.
    void SlotRGBValue(DongleRGB* Rgb);
    void SlotLongRangeMode(bool Select);
    void SlotForm();
    void SlotFormResetForm();
    void SlotFormB();
    void SlotLabelTextB(QString TextA, QString Text);
    // 0 version report, 1/2 receiver/mouse notice done, 4 device list
    // changed or settings imported, 6 back on the choice page.
    void SetVer(int index);
    void SlotCheckUpdate();

    // The firmware update of the open device (FormSettingUpdate.cpp).
    void on_Receive_2_clicked();
    // Whether an update can start; a refusal shows its text in the dialog.
    bool ChechIsUpDate();
    void on_Start();
    void on_Receive_clicked();
    void on_Mouse_clicked();
    void onDongleCheckTimer();
    void onMouseCheckTimer();
    void SlotContinue(int index);
    void SlotLabelText(int index, QString Text);
    void SetVerText();
    // One step (0 prepare .. 4 finish) of the stage of imageKind, a tick of its timer.
    void RunUpdate(int step, int imageKind, const QString& versionText);
    void MarkDongleUpdate();
    void MarkMouseUpdate();
    // The device library's firmware events for a receiver and a mouse image.
    static void DongleUpgradeCallback(const unsigned char* event);
    static void MouseUpgradeCallback(const unsigned char* event);
    // 0 idle, 1 running, 2 succeeded, 3 failed, 4 ended without update.
    quint32 UpdateStageOf(int imageKind) const;
    // The step timers' and the silent-stage watchdog's intervals (tests).
    void setUpdateTimings(int tickMs, int watchdogMs);
    void SlotLightToFrom(int index);
    void SlotLanguageSameB(int index);
    void SlotChangeLanguage(int index);
    void SlotScroolChange(int index);

    // The user's controls.
    void on_comboBox_activated(int index);
    void on_checkBox_clicked(bool checked);
    void on_checkBox_2_toggled(bool checked);
    void on_pushButton_2_clicked();
    void on_pushButton_clicked();
    void on_pushButton_3_clicked();

    // What the device last reported and what the page shows, for the link.
    int DongleLightMode() const { return m_dongleLightMode; }
    bool LongRangeMode() const { return m_longRange; }
    int FormCount() const { return m_formCount; }
    int FormResetCount() const { return m_formResetCount; }
    QString ReceiverVersionText() const;
    QString MouseVersionText() const;
    bool ReceiverOffer() const { return m_receiverOffer; }
    // Seconds of the sleep entry shown.
    int SleepSeconds() const;
    int ContentHeight() const;
    UpDateWarning* WarningDialog() const { return UpdateWarningDialog; }

protected:
    // A press on the page's background stops here.
    void mousePressEvent(QMouseEvent* event) override;

private:
    void buildForm();
    void applyStyles();
    void connectControls();
    void lightModeToggled(int mode, bool checked);
    void setGroupVisible(const char* const* names, int count, bool visible);
    void showLongRangeRows(bool visible);
    void showLightRows(bool visible);
    // Places the links and sizes the page after the advanced rows shown.
    void applyLayout();
    bool lightReportedForOpenDevice() const;
    void setUpdateButtonStyle(bool waiting);
    void showNotice(const QString& text);
    QStringList advancedList() const;

    // The firmware update (FormSettingUpdate.cpp).
    void connectUpdate();
    void stopUpdateEvents();
    QList<DeviceAllInfo> foundDevices() const;
    int receiverClassOfOpenDevice() const;
    bool refuseUpdate(const QString& text);
    void placeOverPage(QWidget* dialog) const;
    // Tells that a choice of the user could not be stored, in the given language (else the
    // stored one).
    void showNotSaved(MakeMacro::Text text, int language = -1);
    void armReceiverUpdate();
    void armMouseUpdate();
    void readPageIds();
    quint32& stageOf(int imageKind);
    void markStage(int imageKind);
    void endWithoutUpdate(int imageKind);
    void startStage(int imageKind);
    void notRecorded(int imageKind);
    void finishStep(int imageKind);
    void handleUpgradeEvent(const settings::UpgradeEvent& event);
    void succeedStage();
    void failUpdateStage();

    QFrame* FrameSetting = nullptr;
    QScrollArea* scrollArea = nullptr;
    QWidget* scrollAreaWidgetContents = nullptr;
    MyConmboBox* comboBox = nullptr;
    QLabel* label = nullptr;
    QLabel* label_5 = nullptr;
    QLabel* label_7 = nullptr;
    QToolButton* Receive_2 = nullptr;
    QToolButton* toolButton_2 = nullptr;
    QToolButton* toolButton_3 = nullptr;
    QTextEdit* NewLabel = nullptr;
    QPushButton* pushButton_2 = nullptr;
    StopCloseTime* frameClose = nullptr;
    QCheckBox* checkBox = nullptr;
    MyButton* pushButton = nullptr;
    QCheckBox* checkBox_2 = nullptr;
    QCheckBox* ReUntil[3] = {};
    MyButton* pushButton_3 = nullptr;
    QPushButton* pushButton_4 = nullptr;

    QString PicturePath;
    QString ButtonColorText;
    int SleepRowOffset = 80;
    QPoint VersionLabelOrigin;
    QButtonGroup* LightModeGroup = nullptr;
    UpDateWarning* UpdateWarningDialog = nullptr;
    int TransitionValue = 0;

    // Driven by the firmware update.
    QTimer* DongleCheckTimer = nullptr;
    QTimer* MouseCheckTimer = nullptr;
    QString ReceiveText;
    QString VerNewText;
    QString NoDeviceText;
    QString SameDeviceText;
    QString NoRecieveText;
    QString NoUSBText;
    QString ErrorText;
    QString MultiDongleText;
    QString MultiMouseText;
    int m_receiverNoticeCode = 0;
    int m_mouseNoticeCode = 0;
    bool m_receiverRefused = false;
    bool m_mouseRefused = false;
    bool m_receiverTimerRunning = false;
    bool m_mouseTimerRunning = false;
    int UpdateStep = 0;
    bool m_noticeFlag = false;
    bool m_outcomeShown = false;       // the dialog shows how the update ended
    int m_bootCounts[4] = {};          // receiver classes 1, 2, 4, 8
    int m_recordedMouseRepair = 0;
    QString m_updateGroup;
    QString m_mouseImageName;
    QString m_firstReceiverImageName;  // of the recorded class
    QString m_secondReceiverImageName; // of the attached receiver's class
    QStringList m_receiverPaths;
    quint32 m_receiverStage = 0;
    quint32 m_mouseStage = 0;
    int m_stageCount = 1;
    quint32 m_pageCid = 0;
    quint32 m_pageMid = 0;
    core::FirmwareStage m_runningStage;  // the stage started last
    core::UpdateFlow m_flow;
    quint32 m_receiverClass = 0;
    QByteArray m_updateImage;           // the image the library is writing
    QTimer* m_updateWatchdog = nullptr;

    // Told when no desktop mouse settings tool could be started.
    QString NoMouseSettingsText;

    int m_dongleLightMode = 0;
    // The connection (link generation) on which the receiver last reported
    // its light; the light rows stay shown while it is the open one.
    bool m_lightReported = false;
    quint64 m_lightReportedOn = 0;
    bool m_longRange = false;
    int m_formCount = 0;
    int m_formResetCount = 0;
    bool m_receiverOffer = false;
};
