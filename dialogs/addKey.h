#pragma once

#include "dialogs/KeyCaptureDialog.h"

class QLineEdit;

// Asks for one key: the last key pressed or released is shown by name (left
// and right modifiers told apart). After OK, Result is true and KeyName holds
// the name, and the dialog ends accepted; Cancel, Close or an OK before any
// named key end it rejected with Result false. The keyboard is captured from
// construction until the dialog ends or is destroyed.
class addKey final : public dialogs::KeyCaptureDialog
{
    Q_OBJECT

public:
    explicit addKey(QWidget* parent = nullptr);
    ~addKey() override;

    bool Result = false;
    QString KeyName;

public slots:
    void UpdateCapslockTip(int keyCode, bool downOrUp, bool aotu) override;
    void on_NewHong_clicked() override;
    void on_NewHong_2_clicked() override;

private:
    QLineEdit* m_lineEdit = nullptr;
};
