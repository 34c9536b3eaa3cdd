#pragma once

#include "core/DongleRGB.h"

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QString>
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
    void applyLayout(bool lightRows);
    void setUpdateButtonStyle(bool waiting);
    void showNotice(const QString& text);
    QStringList advancedList() const;

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

    // Told when no desktop mouse settings tool could be started.
    QString NoMouseSettingsText;

    int m_dongleLightMode = 0;
    bool m_longRange = false;
    int m_formCount = 0;
    int m_formResetCount = 0;
    bool m_receiverOffer = false;
};
