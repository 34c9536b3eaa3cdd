#pragma once

#include "dialogs/DialogFrame.h"

class AddKeyHook;
class QLineEdit;

// Asks for one key: the last key pressed or released is shown by name (left
// and right modifiers told apart). After OK, Result is true and KeyName holds
// the name, and the dialog ends accepted; Cancel, Close or an OK before any
// named key end it rejected with Result false. The keyboard is captured from
// construction until the dialog ends or is destroyed.
class addKey final : public dialogs::DialogFrame
{
    Q_OBJECT

public:
    explicit addKey(QWidget* parent = nullptr);
    ~addKey() override;

    bool Result = false;
    QString KeyName;

public slots:
    void UpdateCapslockTip(int keyCode, bool downOrUp, bool aotu);
    void on_NewHong_clicked();
    void on_NewHong_2_clicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;
    void okClicked() override;
    void cancelClicked() override;
    void closeClicked() override;

private:
    AddKeyHook* m_hook = nullptr;
    QLineEdit* m_lineEdit = nullptr;
};
