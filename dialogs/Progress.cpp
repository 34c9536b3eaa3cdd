#include "dialogs/Progress.h"

#include "core/PostMsg.h"
#include "core/ProcessState.h"

#include <QLabel>
#include <QProgressBar>
#include <QShortcut>
#include <QToolButton>

namespace {
const dialogs::FrameLayout kLayout = {"Progress",
                                  "AddDelayTimeA",
                                  "Progress",
                                  {"label", QRect(10, 15, 281, 51), ""},
                                  {"CloseButton", QRect(275, 5, 20, 20)},
                                  {"NewHong", QRect(110, 110, 90, 24), "确定"},
                                  {},
                                  dialogs::LabelAlignBottom,
                                  QSize(300, 140)};

const char* const kBarStyle = "QProgressBar{border:2px solid grey;border-radius:5px;background:transparent;"
                              "color: rgb(255, 255, 255);text-align:center;}"
                              "QProgressBar::chunk{background-color: rgb(80, 240, 0);width:20px;}";
} // namespace

Progress::Progress(QWidget* parent)
    : DialogFrame(kLayout, parent)
{
    closeButton()->setFocusPolicy(Qt::NoFocus);
    okButton()->setFocusPolicy(Qt::NoFocus);
    okButton()->setMinimumSize(0, 0);
    okButton()->setMaximumSize(500, 500);

    m_bar = new QProgressBar(frame());
    m_bar->setObjectName(QStringLiteral("progressBar_2"));
    m_bar->setGeometry(30, 70, 241, 26);
    m_bar->setFont(dialogFont());
    m_bar->setValue(0);
    m_bar->setInvertedAppearance(false);
    m_bar->setFormat(QString());
    m_bar->setStyleSheet(QString::fromLatin1(kBarStyle));

    // The OK keys exist only while an end state shows its OK button; a hidden
    // button must not be reachable by Return.
    m_returnKey = new QShortcut(QKeySequence(Qt::Key_Return), this);
    m_enterKey = new QShortcut(QKeySequence(Qt::Key_Enter), this);
    for (QShortcut* key : {m_returnKey, m_enterKey})
        connect(key, &QShortcut::activated, okButton(), &QToolButton::click);
    setOkKeysEnabled(false);

    connect(PostMsg::instance(), &PostMsg::SigCloseProgress, this, &Progress::SlotCloseProgress);
    loadCurrentLanguage();
    okButton()->hide();
    label()->setText(progressLine(1));
}

QString Progress::progressLine(int percent) const
{
    return m_progressText + QStringLiteral(": ") + QString::number(percent) + QLatin1Char('%');
}

void Progress::SlotProgress(int schedue, int Discrib)
{
    m_bar->setValue(schedue);
    switch (Discrib) {
    case Running:
        label()->setText(progressLine(schedue));
        break;
    case Failed:
        showEnd(m_failText);
        break;
    case Succeeded:
        showEnd(m_successText);
        m_bar->setValue(100);
        break;
    case HideOk:
        okButton()->hide();
        setOkKeysEnabled(false);
        break;
    case Reset:
        okButton()->hide();
        setOkKeysEnabled(false);
        label()->setText(progressLine(0));
        m_bar->setValue(0);
        break;
    default:
        break;
    }
}

void Progress::SlotCloseProgress()
{
    if (UpdateCheckRunning)
        return;
    close();
    label()->setText(progressLine(0));
    m_bar->setValue(0);
}

void Progress::on_NewHong_clicked()
{
    okClicked();
}

void Progress::okClicked()
{
    // After a failure the main window goes back to the device list; any
    // other end lets the settings page go on with its next step.
    if (label()->text() == m_failText) {
        PostMsg::instance()->EmitChangeMainDialog(0);
        close();
        return;
    }
    resetToStart();
    PostMsg::instance()->EmitContinue(0);
}

void Progress::closeClicked()
{
    if (UpdateCheckRunning)
        return;
    okClicked();
}

void Progress::applyLanguage(const shell::LanguageElement& texts)
{
    QString text;
    if (texts.find(QStringLiteral("Confirm"), &text))
        okButton()->setText(text);
    m_progressText = texts.text(QStringLiteral("UpdateNotMove"), m_progressText);
    m_failText = texts.text(QStringLiteral("UpDateFail"), m_failText);
    m_successText = texts.text(QStringLiteral("UpDateSuccess"), m_successText);
}

void Progress::showEnd(const QString& text)
{
    setOkKeysEnabled(true);
    label()->setText(text);
    okButton()->show();
}

void Progress::resetToStart()
{
    close();
    label()->setText(progressLine(0));
    m_bar->setValue(0);
}

void Progress::setOkKeysEnabled(bool enabled)
{
    m_returnKey->setEnabled(enabled);
    m_enterKey->setEnabled(enabled);
}
