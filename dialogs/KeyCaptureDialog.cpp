#include "dialogs/KeyCaptureDialog.h"

#include "dialogs/KeyHook.h"

#include <QKeyEvent>

namespace dialogs {

KeyCaptureDialog::KeyCaptureDialog(const FrameLayout& layout, QWidget* parent)
    : DialogFrame(layout, parent)
{
}

void KeyCaptureDialog::startCapture(KeyHook* hook)
{
    m_hook = hook;
    m_hook->InstallHook();
    m_hook->SetCallback(this, [this](int key, bool down, bool repeat) { UpdateCapslockTip(key, down, repeat); });
    keepButtonsOutOfFocus();
}

void KeyCaptureDialog::stopCapture()
{
    if (m_hook)
        m_hook->UnInstallHook();
}

void KeyCaptureDialog::keyPressEvent(QKeyEvent* event)
{
    // Escape and F12 are keys to capture here, not commands.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F12)
        return;
    DialogFrame::keyPressEvent(event);
}

void KeyCaptureDialog::done(int result)
{
    // However the dialog ends (also by the window system), capturing stops.
    stopCapture();
    DialogFrame::done(result);
}

void KeyCaptureDialog::okClicked()
{
    on_NewHong_clicked();
}

void KeyCaptureDialog::cancelClicked()
{
    on_NewHong_2_clicked();
}

void KeyCaptureDialog::closeClicked()
{
    on_NewHong_2_clicked();
}

} // namespace dialogs
