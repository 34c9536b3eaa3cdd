#pragma once

#include "core/Firmware.h"

#include <QByteArray>
#include <QDialog>
#include <QHash>
#include <QList>
#include <QString>

#include <array>

class DeviceAllInfo;
class QFrame;
class QLabel;
class QProgressBar;
class QTimer;
class QToolButton;

// The firmware update and repair dialog: checks that the devices a failed
// update left behind are attached, writes the receiver image and then the
// mouse image, and shows progress and outcome. The settings page keeps one
// for the program's life (shown without a local event loop); the main window
// runs short-lived ones with exec() for an automatic repair.
class UpDateRepair final : public QDialog
{
    Q_OBJECT

public:
    explicit UpDateRepair(QWidget* parent = nullptr);
    ~UpDateRepair() override;

    // True when "/bin" holds an image of that kind, CID, MID and name whose
    // version differs from version (empty = unknown: every match counts). The
    // last such file in name order becomes the image a repair writes.
    static bool FindFirmwareFile(quint8 imageKind, const QString& version, const QString& imageName, quint8 cid,
                                 quint8 mid);
    static QList<QByteArray> RepairImageList();

    // The UpgradeEventCallback handed to the device library; runs on its
    // thread. Copies the event and posts it to the dialog that is updating;
    // an event for a dialog already gone is dropped.
    static void UpgradeCallback(const quint8* event);

    void ResetUi();
    void ShowReadyState();
    void ShowIdleState();
    void ShowUpdatingState();
    void SetTipText(QString text);
    // The update did not start: its record could not be written.
    void ShowNotRecorded();

    // Whether exactly the devices and the image a recorded failed update
    // needs are present; a refusal shows its text in the idle state.
    bool CheckUpdateDevices();
    // Writes the receiver image, then the mouse image; only after a check
    // (or StartAutoRepair) found what it needs.
    void StartUpgrade();
    // Repairs the device of choice-page tile `index` without a check: its
    // model, class and CID come from the device itself.
    void StartAutoRepair(int index);

    // Whether a rescan of the open device's bus should make the settings page
    // check again: only while the dialog shows, no update check runs and no
    // outcome waits to be read.
    bool WaitsForCheck() const;

    int AutoRepairIndex() const { return m_autoRepairIndex; }

    // A running stage that reports nothing for this long has failed.
    static constexpr int kWatchdogMs = 15000;
    void setWatchdogInterval(int ms);

    void SlotChangeLanguage(int index);
    void SlotAutoRepair(int index);
    void SlotAutoRepairProgress(int index);
    void SlotProgress(int schedue, int Discrib);
    void SlotRepairCheckUpdate();
    void on_CloseButton_clicked();
    void on_NewHong_clicked();
    void on_NewHong_2_clicked();

protected:
    // Escape with no button to take it: the same as the close button, so it
    // cannot close the dialog while a stage is written.
    void reject() override;

private:
    using UpgradeEvent = std::array<quint8, 3>;

    void buildWidgets();
    void applyStyles();
    void setShortcuts();
    QString text(const char* child) const;
    void showMessage(const char* child);
    static void setButtonText(QToolButton* button, const QString& value);
    void refuse(const char* child);
    void closeIfIdle();

    // The repair flow (UpDateRepairFlow.cpp).
    bool loadRecordedModel(int recordedKind, const DeviceAllInfo& first);
    int receiverCount(int recordedKind) const;
    static bool namedMouseAnswers(const DeviceAllInfo& first, int recordedMid);
    bool startStage();
    void handleUpgradeEvent(const UpgradeEvent& event);
    void finishStage(bool success);
    void failStage();
    void notStarted();
    void endUpdate();
    void registerUpdating(bool on);

    QFrame* m_frame = nullptr;
    QToolButton* m_closeButton = nullptr;
    QLabel* m_toolText = nullptr;
    QLabel* m_toolText2 = nullptr;
    QProgressBar* m_progress = nullptr;
    QToolButton* m_newHong2 = nullptr;
    QToolButton* m_newHong = nullptr;
    QTimer* m_watchdog = nullptr;

    QHash<QString, QString> m_texts;
    bool m_autoRepair = false;
    int m_autoRepairIndex = -1;
    bool m_ready = false;
    bool m_outcomeShown = false;  // an update ended here since the last reset
    int m_recordedKind = 0;
    QString m_group;
    QString m_receiverImageName;
    // The version of the receiver a repair writes through, empty when it waits in its boot
    // loader: its image goes on only where it differs.
    QString m_receiverVersion;
    QByteArray m_image;  // the image being written
    core::FirmwareStage m_stage;  // the stage started last
    core::UpdateFlow m_flow;
};
