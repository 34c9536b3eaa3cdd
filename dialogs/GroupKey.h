#pragma once

#include "dialogs/GroupKeyCapture.h"
#include "dialogs/KeyCaptureDialog.h"

#include <QElapsedTimer>

#include <functional>

class QCheckBox;
class MyLineEdit;

// Asks for a key combination of at most three keys: modifiers by check box,
// other keys pressed on the keyboard. After OK, Result is true and KeyText
// holds the combination ("Shift+Ctrl+A"); after Cancel, Close or an OK with
// nothing chosen, Result is false. The keyboard is captured from construction
// until the dialog closes or is destroyed.
class GroupKey final : public dialogs::KeyCaptureDialog
{
    Q_OBJECT

public:
    explicit GroupKey(QWidget* parent = nullptr);
    ~GroupKey() override;

    bool Result = false;
    QString KeyText;

    // Milliseconds of a monotonic clock for the capture window (tests).
    void setClock(std::function<qint64()> clock);

public slots:
    void UpdateCapslockTip(int keyCode, bool downOrUp, bool aotu) override;
    void on_NewHong_clicked() override;
    void on_NewHong_2_clicked() override;
    void on_lineEdit_textEdited(const QString& arg1);

private:
    void buildForm();
    void refuseTooManyKeys();
    void finish(bool accepted);

    GroupKeyCapture m_capture;
    QElapsedTimer m_elapsed;
    std::function<qint64()> m_clock;
    MyLineEdit* m_lineEdit = nullptr;
    QCheckBox* m_shift = nullptr;
    QCheckBox* m_ctrl = nullptr;
    QCheckBox* m_alt = nullptr;
    QCheckBox* m_win = nullptr;
};
