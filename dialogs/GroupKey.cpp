#include "dialogs/GroupKey.h"

#include "core/Skin.h"
#include "dialogs/FireKeyFields.h"
#include "dialogs/GroupMaxThree.h"
#include "dialogs/KeyHook.h"
#include "shell/common/ButtonStyle.h"
#include "shell/common/MyLineEdit.h"

#include <QCheckBox>
#include <QLabel>

#include <iterator>

namespace {

const dialogs::FrameLayout kLayout = {"GroupKey",
                                  "groupKeyA",
                                  "groupKey",
                                  {"label", QRect(45, 9, 231, 51), "Please enter keystroke"},
                                  {"CloseButton", QRect(275, 5, 20, 20)},
                                  {"NewHong", QRect(50, 110, 90, 24), "确定"},
                                  {"NewHong_2", QRect(170, 110, 90, 24), "取消"},
                                  dialogs::LabelAlignLeft | dialogs::LabelAlignBottom,
                                  QSize(300, 140)};

struct BoxRow {
    const char* name;
    const char* text;
    QRect rect;
};

} // namespace

GroupKey::GroupKey(QWidget* parent)
    : KeyCaptureDialog(kLayout, parent)
{
    buildForm();
    m_elapsed.start();
    m_clock = [this] { return m_elapsed.elapsed(); };
    startCapture(new GroupKeyHook(this));
    m_lineEdit->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_lineEdit->setFocus();
    loadCurrentLanguage();
}

// The hook object is a child and removes the capture when it goes.
GroupKey::~GroupKey() = default;

void GroupKey::buildForm()
{
    m_lineEdit = new MyLineEdit(frame());
    m_lineEdit->setObjectName(QStringLiteral("lineEdit"));
    m_lineEdit->setGeometry(45, 60, 231, 20);
    m_lineEdit->setAlignment(Qt::AlignCenter);
    m_lineEdit->setFont(dialogFont(9));
    m_lineEdit->setStyleSheet(dialogs::entryFieldStyle(this, "QLineEdit"));
    connect(m_lineEdit, &QLineEdit::textEdited, this, &GroupKey::on_lineEdit_textEdited);

    const QString colour = core::optionColour("LabelColor");
    const QString boxStyle = shell::checkBoxStyle(colour, skinFolder());
    const BoxRow rows[] = {{"Shift", "Shift", QRect(45, 85, 61, 17)},
                           {"Ctrl", "Ctrl", QRect(110, 85, 51, 17)},
                           {"Alt", "Alt", QRect(170, 85, 51, 17)},
                           {"Win", "Win", QRect(225, 85, 61, 17)}};
    QCheckBox** boxes[] = {&m_shift, &m_ctrl, &m_alt, &m_win};
    for (int i = 0; i < int(std::size(rows)); ++i) {
        auto* box = new QCheckBox(QString::fromLatin1(rows[i].text), frame());
        box->setObjectName(QString::fromLatin1(rows[i].name));
        box->setGeometry(rows[i].rect);
        box->setStyleSheet(boxStyle);
        // Space must reach the capture, not tick a box.
        box->setFocusPolicy(Qt::NoFocus);
        *boxes[i] = box;
    }
}

void GroupKey::setClock(std::function<qint64()> clock)
{
    m_clock = std::move(clock);
}

void GroupKey::UpdateCapslockTip(int keyCode, bool downOrUp, bool aotu)
{
    Q_UNUSED(aotu)
    if (m_capture.onKey(keyCode, downOrUp, m_clock()))
        m_lineEdit->setText(m_capture.text());
}

void GroupKey::on_NewHong_clicked()
{
    const GroupKeyCapture::Modifiers modifiers{m_shift->isChecked(), m_ctrl->isChecked(), m_alt->isChecked(),
                                               m_win->isChecked()};
    const std::optional<QString> combination = m_capture.combination(modifiers);
    if (!combination) {
        refuseTooManyKeys();
        return;
    }
    // Nothing chosen: a record of code 0 would make the button do nothing.
    if (combination->isEmpty()) {
        finish(false);
        return;
    }
    KeyText = *combination;
    finish(true);
}

void GroupKey::on_NewHong_2_clicked()
{
    finish(false);
}

void GroupKey::on_lineEdit_textEdited(const QString& arg1)
{
    // The line shows what OK will return: key names in their own spelling
    // (upper case for letters), parts that name no key left out.
    m_capture.setText(arg1.toUpper());
    m_lineEdit->setText(m_capture.text());
}

void GroupKey::refuseTooManyKeys()
{
    GroupMaxThree notice;
    notice.move(mapToGlobal(QPoint(0, 0)));
    notice.exec();
    m_capture.clear();
    m_lineEdit->clear();
}

void GroupKey::finish(bool accepted)
{
    Result = accepted;
    stopCapture();
    close();
}
