#include "dialogs/AddDelayTime.h"

#include "dialogs/FireKeyFields.h"

#include <QSpinBox>

namespace {

const dialogs::FrameLayout kLayout = {"AddDelayTime",
                                  "AddDelayTimeA",
                                  "AddDelayTime",
                                  {"label", QRect(30, 25, 241, 41), "Please enter the delay time"},
                                  {"CloseButton", QRect(275, 5, 20, 20)},
                                  {"NewHong", QRect(40, 110, 90, 24), "确定"},
                                  {"NewHong_2", QRect(160, 110, 90, 24), "取消"},
                                  dialogs::LabelAlignLeft,
                                  QSize(300, 140)};

} // namespace

AddDelayTime::AddDelayTime(QWidget* parent)
    : DialogFrame(kLayout, parent)
{
    m_spinBox = dialogs::makeNumberField(this, "spinBox", QRect(30, 70, 231, 20), 14, 10, 65535, 10);
    m_spinBox->setFocus();
    loadCurrentLanguage();
}

void AddDelayTime::on_NewHong_clicked()
{
    // A value typed but not yet committed counts as shown.
    m_spinBox->interpretText();
    Result = true;
    Delay = m_spinBox->value();
    close();
}

void AddDelayTime::on_NewHong_2_clicked()
{
    Result = false;
    close();
}

void AddDelayTime::okClicked()
{
    on_NewHong_clicked();
}

void AddDelayTime::cancelClicked()
{
    on_NewHong_2_clicked();
}
