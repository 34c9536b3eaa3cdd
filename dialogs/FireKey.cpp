#include "dialogs/FireKey.h"

#include "dialogs/FireKeyFields.h"
#include "shell/common/PictureCheck.h"

#include <QFrame>
#include <QLabel>
#include <QSpinBox>

namespace {

// The captions sit right above their fields. The fallback fonts of the six
// languages need a taller line than the forms' Windows font, so the boxes
// reach up from the fields' top and never clip their text. The buttons have
// the family's 90 pixels (same centres as the form's 81), which the longest
// Cancel caption needs and the button face is drawn for.
constexpr int kCaptionHeight = 24;

const dialogs::FrameLayout kLayout = {"FireKey",
                                  "FireKeyA",
                                  "FireKey",
                                  {"label", QRect(60, 25, 101, kCaptionHeight), "次数 (0-3)"},
                                  {"CloseButton", QRect(380, 5, 20, 20)},
                                  {"NewHong", QRect(55, 137, 90, 24), "确认"},
                                  {"NewHong_2", QRect(255, 137, 90, 24), "取消"},
                                  dialogs::LabelAlignLeft,
                                  QSize(406, 170)};

} // namespace

FireKey::FireKey(QWidget* parent)
    : DialogFrame(kLayout, parent)
{
    buildForm();
    loadCurrentLanguage();
}

void FireKey::buildForm()
{
    setFixedSize(406, 170);
    // The card is wider than the picture, so it is stretched, not centred.
    frame()->setStyleSheet(shell::pictureSheet(QStringLiteral("#FireKeyA{border:0px;background-position:center;"
                                                              "background-repeat:no-repeat;"
                                                              "border-image: url(%1BackGround.png);}")
                                                   .arg(skinFolder())));
    m_timeCaption = dialogs::makeCaption(this, "label_2", QRect(250, 25, 121, kCaptionHeight), "间隔 (10-255)");
    m_count = dialogs::makeNumberField(this, "Count", QRect(60, 50, 71, 27), 12, 0, 3, 3);
    m_time = dialogs::makeNumberField(this, "Time", QRect(255, 50, 81, 27), 12, 10, 255, 10);
    m_note = dialogs::makeCaption(this, "label_3", QRect(0, 79, 401, 61),
                                  "次数设置为0时, 按下按键一直发, 松开按键结束");
    m_note->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_note->setWordWrap(true);
}

void FireKey::SetInterval(int interval)
{
    m_time->setValue(interval);
}

void FireKey::SetCount(int count)
{
    m_count->setValue(count);
}

void FireKey::on_NewHong_clicked()
{
    // A value typed but not yet committed counts as shown.
    m_time->interpretText();
    m_count->interpretText();
    Result = true;
    Interval = m_time->value();
    Count = m_count->value();
    close();
}

void FireKey::on_NewHong_2_clicked()
{
    Result = false;
    close();
}

void FireKey::applyLanguage(const shell::LanguageElement& texts)
{
    DialogFrame::applyLanguage(texts);
    m_timeCaption->setText(texts.text(QStringLiteral("label_2"), m_timeCaption->text()));
    m_note->setText(texts.text(QStringLiteral("label_3"), m_note->text()));
}

void FireKey::okClicked()
{
    on_NewHong_clicked();
}

void FireKey::cancelClicked()
{
    on_NewHong_2_clicked();
}
