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

QString UpDateWarning::withNames(const QString& text, const QStringList& names) const
{
    QString shown;
    for (int at = 0; at < text.size(); ++at) {
        const int index = text.at(at) == QLatin1Char('%') && at + 1 < text.size() ? text.at(at + 1).digitValue() : -1;
        if (index < 1 || index > names.size()) {
            shown.append(text.at(at));
            continue;
        }
        // The message's punctuation against the name breaks with it (a colon before, a full stop
        // after, full-width in Chinese and Japanese).
        int from = at;
        while (from > 0 && text.at(from - 1).isPunct())
            --from;
        int to = at + 2;
        while (to < text.size() && text.at(to).isPunct())
            ++to;
        shown.append(breakableName(names.at(index - 1), text.mid(from, at - from), text.mid(at + 2, to - at - 2)));
        ++at;
    }
    return shown;
}

QString UpDateWarning::breakableName(const QString& name, const QString& before, const QString& after) const
{
    const QFontMetrics metrics = label()->fontMetrics();
    const int room = label()->contentsRect().width();
    QStringList words = name.split(QLatin1Char(' '));
    for (int i = 0; i < words.size(); ++i) {
        QString& word = words[i];
        const QString line = (i == 0 ? before : QString()) + word + (i == words.size() - 1 ? after : QString());
        if (metrics.horizontalAdvance(line) <= room)
            continue;
        // A zero-width space after each character lets the wrap fall anywhere in the word.
        QString broken;
        for (const QChar c : std::as_const(word))
            broken.append(c).append(QChar(0x200B));
        word = broken;
    }
    return words.join(QLatin1Char(' '));
}
