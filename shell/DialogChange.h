#pragma once

#include "core/DeviceAllInfo.h"
#include "dialogs/MakeMacro.h"
#include "shell/DialogChangeLogic.h"

#include <QList>
#include <QWidget>

class MyConmboBox;
class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QStackedWidget;
class QToolButton;
class mytoolButtonEnter;

// The device choice page: one tile per device the device library finds under
// the configured identifiers, three tiles per page, rebuilt on every hot-plug
// change. A click on a tile opens the device (or leads to pairing first);
// the page also holds the language choice, the window buttons and the
// repair button. Its findings live in core/ProcessState.h.
class DialogChange final : public QWidget
{
    Q_OBJECT

public:
    explicit DialogChange(QWidget* parent = nullptr);
    ~DialogChange() override;

    // The hot-plug callback handed to StartUsbChanged (any thread). It only
    // asks for a rescan on the GUI thread, of the page that shows when it runs;
    // changes that arrive while one is pending are folded into it.
    static void OnUsbChanged();

    // The rescan itself (GUI thread): device lists, tiles, repair state.
    void Rescan();
    void ScanDevices(const QString& vid, const QStringList& pids);
    bool IdentifyDevice(DeviceAllInfo& device);
    bool RefreshDeviceOnline(int index);
    bool UpdateDeviceIcon(int index);
    void BuildDeviceButtons();

    // What a click on tile `tile` does (slotButtonClicked without a sender).
    void OpenTile(int tile);

    int CurrentTilePage() const;

signals:
    // Just before a chosen device is announced on the bus: the owner makes sure that the pages
    // and the device link that take the announcement are in place.
    void deviceOpening();

public slots:
    void on_LeftButton_clicked();
    void on_RightButton_clicked();
    void on_MinButton_clicked();
    void on_CloseButton_clicked();
    void on_comboBox_activated(int index);
    void on_CloseButton_2_clicked();
    void on_NewHong_clicked();
    void on_NoApear_clicked(bool checked);
    void on_Repair_clicked();
    void SlotSameLanguageA(int index);
    void SlotUpDateButton(bool IsHide);
    void ChangeDialogLanguage(int index);
    void slotButtonClicked();
    void SlotEnterKey();

protected:
    void changeEvent(QEvent* event) override;

private:
    enum class CheckResult { GoOn, Ended };

    void setupForm();
    void setupStyles();
    void setupConnections();
    void setDefaultTexts();
    void showRepairState(bool repairNeeded);
    void clearTiles();
    void addTile(int index, const shell::TilePlace& place, QWidget* page);
    void showTilePage(int page);
    void styleTile(int index, const QString& image);
    void showDuplicateNotice();
    CheckResult checkVersions(const DeviceAllInfo& device, int group);
    void openPairing(const DeviceAllInfo& device);
    void askToPair(const DeviceAllInfo& device);
    void openDevice(const DeviceAllInfo& device);
    void placeCentred(QWidget* dialog, int dx = 0);
    // Tells that a choice of the user could not be stored, in the given language (else the
    // stored one).
    void showNotSaved(MakeMacro::Text text, int language = -1);
    shell::ReceiverPidLists pidLists() const;
    void beginBusy();
    void endBusy();

    QString m_skin;
    QString m_warnSkin;
    QFrame* m_frameChange = nullptr;
    QToolButton* m_minButton = nullptr;
    QToolButton* m_closeButton = nullptr;
    MyConmboBox* m_comboBox = nullptr;
    QLabel* m_label2 = nullptr;
    QToolButton* m_leftButton = nullptr;
    QToolButton* m_rightButton = nullptr;
    QPushButton* m_repair = nullptr;
    QStackedWidget* m_stackedWidget = nullptr;
    QFrame* m_findVer = nullptr;
    QToolButton* m_closeButton2 = nullptr;
    QToolButton* m_newHong = nullptr;
    QLabel* m_findVerLabel = nullptr;
    QCheckBox* m_noApear = nullptr;
    QLabel* m_label3 = nullptr;

    QList<mytoolButtonEnter*> m_tileButtons;
    QList<QLabel*> m_tileStatusLabels;
    QList<QLabel*> m_tileLinkBadges;
    QList<QLabel*> m_tileRateBadges;

    // A modal dialog of a click, or the duplicate notice, runs a nested event
    // loop; a rescan arriving meanwhile would delete the tile being handled,
    // so it waits until the page is idle again.
    int m_busy = 0;
    bool m_rescanDeferred = false;
    bool m_duplicateNoticeOpen = false;
};
