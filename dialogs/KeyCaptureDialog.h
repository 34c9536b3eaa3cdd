#pragma once

#include "dialogs/DialogFrame.h"

class KeyHook;

namespace dialogs {

// What the two key-capture dialogs share: the keyboard is captured from
// startCapture() until the dialog ends or is destroyed, Escape and F12 are keys
// to capture rather than commands, and OK, Cancel and Close go to the dialog's
// given handlers.
class KeyCaptureDialog : public DialogFrame
{
    Q_OBJECT

public slots:
    // One report of the keyboard capture.
    virtual void UpdateCapslockTip(int keyCode, bool downOrUp, bool aotu) = 0;
    // OK, and Cancel or Close.
    virtual void on_NewHong_clicked() = 0;
    virtual void on_NewHong_2_clicked() = 0;

protected:
    KeyCaptureDialog(const FrameLayout& layout, QWidget* parent);

    // Installs hook (a child of this dialog) and sends its reports to
    // UpdateCapslockTip; the frame's buttons stay out of the keyboard focus.
    void startCapture(KeyHook* hook);
    void stopCapture();

    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;
    void okClicked() override;
    void cancelClicked() override;
    void closeClicked() override;

private:
    KeyHook* m_hook = nullptr;
};

} // namespace dialogs
