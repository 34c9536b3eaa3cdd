#pragma once

#include "shell/common/PictureParking.h"

#include <QDialog>
#include <QPoint>
#include <QSystemTrayIcon>

namespace shell {
class FileNoticeQueue;
}

class Dialog;
class DialogChange;
class QAction;
class QFrame;
class QMenu;
class QStackedWidget;

// The one top-level window: the device choice page and the configuration frame in a stack, the
// tray icon that stands in for the window while it is hidden, the device-offline notice, window
// dragging and the keys of the whole window.
class DialogMain final : public QDialog
{
    Q_OBJECT

public:
    explicit DialogMain(QWidget* parent = nullptr);
    ~DialogMain() override;

    // The configuration frame, built here if the first paint has not yet led to it.
    Dialog* frame();
    DialogChange* choicePage() const { return m_choicePage; }
    QSystemTrayIcon* trayIcon() const { return m_tray; }
    QMenu* trayMenu() const { return m_trayMenu; }

    // Test seam: 1 or 0 pretends a system tray is there or not; -1 asks the desktop.
    static void setTrayAvailableForTesting(int available);

public slots:
    void SlotChangeLanguage(int index);
    void SlotChangeMainDialog(int index);
    void SlotChangeSize(int index);
    void SlotMouseOffLine(int index);
    void SlotUpPageLight();
    void on_activatedSysTrayIcon(QSystemTrayIcon::ActivationReason reason);
    void slotActionMain();
    void slotActionExitApp();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // A close from outside (the window system's close, a session ending) runs the same quit
    // sequence as the close buttons instead of only hiding the window.
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void setupForm();
    void ensureFrame();
    void takeOverInstallerLanguage();
    void setupTray();
    bool frameShowing() const;
    void hideToTray();
    void showFromTray(bool tellDevice);
    void quitProgram();
    void placeCentred(QWidget* dialog, int dx, int dy) const;
    void openPairing(bool requested);
    void spaceOnChoicePage();
    void showStartNotices();
    void reportMissingData();

    QFrame* m_form = nullptr;
    QStackedWidget* m_stack = nullptr;
    Dialog* m_frame = nullptr;
    DialogChange* m_choicePage = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    QMenu* m_trayMenu = nullptr;
    QAction* m_showAction = nullptr;
    QAction* m_exitAction = nullptr;
    QString m_mainFormText;
    QString m_exitText;
    QString m_dataMissingText;
    // The start-up notices wait for the first paint and the frame (whose pages check their
    // pictures): the first window does not wait for them.
    bool m_firstPaintSeen = false;
    bool m_startNoticesDue = true;
    shell::FileNoticeQueue* m_fileNotices = nullptr;
    QString m_skinDir;
    shell::PictureParking m_parkedPictures; // while hidden in the tray
    QPoint m_dragOffset;
    QPoint m_pressGlobal;
    QPoint m_pressWindow;
    bool m_quitting = false;
};
