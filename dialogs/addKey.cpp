#include "dialogs/addKey.h"

#include "core/KeyTable.h"
#include "dialogs/FireKeyFields.h"
#include "dialogs/KeyHook.h"

#include <QLineEdit>

namespace {

const dialogs::FrameLayout kLayout = {"addKey",
                                  "addKeyA",
                                  "AddKey",
                                  {"label", QRect(30, 25, 241, 41), "Please enter a button"},
                                  {"CloseButton", QRect(275, 5, 20, 20)},
                                  {"NewHong", QRect(40, 110, 90, 24), "确定"},
                                  {"NewHong_2", QRect(160, 110, 90, 24), "取消"},
                                  dialogs::LabelAlignLeft | dialogs::LabelAlignBottom,
                                  QSize(300, 140)};

constexpr int kMaxNameLength = 50;

} // namespace

addKey::addKey(QWidget* parent)
    : KeyCaptureDialog(kLayout, parent)
{
    m_lineEdit = new QLineEdit(frame());
    m_lineEdit->setObjectName(QStringLiteral("lineEdit"));
    m_lineEdit->setGeometry(30, 70, 231, 20);
    m_lineEdit->setMaxLength(kMaxNameLength);
    m_lineEdit->setFont(dialogFont(12));
    m_lineEdit->setAlignment(Qt::AlignCenter);
    m_lineEdit->setStyleSheet(dialogs::entryFieldStyle(this, "QLineEdit"));
    startCapture(new AddKeyHook(this));
    m_lineEdit->setFocus();
    loadCurrentLanguage();
}

// The hook object is a child and removes the capture when it goes.
addKey::~addKey() = default;

void addKey::UpdateCapslockTip(int keyCode, bool downOrUp, bool aotu)
{
    // Every report counts, the release too: it replaces whatever the line
    // edit typed itself between press and release.
    Q_UNUSED(downOrUp)
    Q_UNUSED(aotu)
    KeyName = core::VirtualKeyName(keyCode, core::CaptureTable::SingleKey);
    m_lineEdit->setText(KeyName);
}

void addKey::on_NewHong_clicked()
{
    // No key yet: an empty name would become a key event of code 0.
    if (KeyName.isEmpty()) {
        on_NewHong_2_clicked();
        return;
    }
    Result = true;
    stopCapture();
    accept();
}

void addKey::on_NewHong_2_clicked()
{
    Result = false;
    stopCapture();
    reject();
}
