#pragma once

#include "dialogs/DialogFrame.h"

class QSpinBox;

// Asks for a macro delay in milliseconds (10 to 65535). After OK, Result is
// true and Delay holds the value; otherwise Result is false and Delay 0.
class AddDelayTime final : public dialogs::DialogFrame
{
    Q_OBJECT

public:
    explicit AddDelayTime(QWidget* parent = nullptr);

    bool Result = false;
    int Delay = 0;

public slots:
    void on_NewHong_clicked();
    void on_NewHong_2_clicked();

protected:
    void okClicked() override;
    void cancelClicked() override;

private:
    QSpinBox* m_spinBox = nullptr;
};
