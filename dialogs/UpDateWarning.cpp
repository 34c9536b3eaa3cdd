#include "dialogs/UpDateWarning.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QToolButton>

namespace {
// Every caller sets its own message; the built-in one only shows if a caller
// forgets, so it names the usual case: the firmware needs the cable.
const dialogs::FrameLayout kLayout = {"UpDateWarning",
                                  "WarningFrame",
                                  "NewVer",
                                  {"label", QRect(5, 30, 291, 71),
     "The firmware does not match. Please connect the mouse with its cable and update it"},
                                  {"CloseButton", QRect(275, 5, 20, 20)},
                                  {"NewHong", QRect(100, 110, 90, 24), "确定"},
                                  {},
                                  dialogs::ReturnAnswersOk,
                                  QSize(300, 140)};
} // namespace

UpDateWarning::UpDateWarning(QWidget* parent)
    : DialogFrame(kLayout, parent)
{
    frame()->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    label()->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    okButton()->setMinimumSize(0, 0);
    okButton()->setMaximumSize(500, 500);
    loadCurrentLanguage();
}

void UpDateWarning::SetText(QString text)
{
    label()->setText(text);
}

void UpDateWarning::applyLanguage(const shell::LanguageElement& texts)
{
    QString text;
    if (texts.find(QStringLiteral("NewHong"), &text))
        okButton()->setText(text);
}

void UpDateWarning::fitStartUpNotice(bool picturesMissing)
{
    label()->setFont(dialogs::DialogFrame::dialogFont(10));
    label()->setGeometry(5, 25, 291, 80);
    // Keeps a line that fills the label (a long file name broken anywhere)
    // off the card's edge.
    label()->setContentsMargins(3, 0, 4, 0);
    if (!picturesMissing)
        return;
    const QString card = QStringLiteral("#%1{background-color: rgb(21, 23, 28); border: 1px solid rgb(52, 57, 68);}");
    frame()->setStyleSheet(card.arg(frame()->objectName()));
    okButton()->setStyleSheet(
        QStringLiteral("QToolButton{color: rgb(230, 232, 238); border: 1px solid rgb(0, 150, 204); border-radius: 3px;}"));
}

QString UpDateWarning::breakableName(const QString& name) const
{
    const int room = label()->contentsRect().width();
    QStringList words = name.split(QLatin1Char(' '));
    for (QString& word : words) {
        if (label()->fontMetrics().horizontalAdvance(word) <= room)
            continue;
        // A zero-width space after each character lets the wrap fall anywhere in the word.
        QString broken;
        for (const QChar c : std::as_const(word))
            broken.append(c).append(QChar(0x200B));
        word = broken;
    }
    return words.join(QLatin1Char(' '));
}
