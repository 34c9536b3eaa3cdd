#include "dialogs/DialogFrame.h"

#include "core/AppPaths.h"
#include "core/PostMsg.h"
#include "core/Skin.h"
#include "shell/common/ButtonStyle.h"
#include "shell/common/PictureCheck.h"

#include <QFrame>
#include <QLabel>
#include <QShortcut>
#include <QToolButton>

namespace dialogs {

namespace {

using core::optionColour;

} // namespace

DialogFrame::DialogFrame(const FrameLayout& layout, QWidget* parent)
    : QDialog(parent)
    , m_layout(layout)
{
    buildWidgets();
    connectButtons();
    connect(PostMsg::instance(), &PostMsg::SigChangeLanguage, this, &DialogFrame::SlotChangeLanguage);
    m_skinFolder = AppDir() + QStringLiteral("/Picture/") + QString::fromLatin1(m_layout.skin) + QLatin1Char('/');
    setWindowFlags(Qt::WindowFlags(kWindowFlags));
    applyStyles();
}

DialogFrame::~DialogFrame() = default;

QFont DialogFrame::dialogFont(int points)
{
    QFont font(QStringLiteral("微软雅黑"), points);
    // Where the Windows face is absent, faces whose line box is close to its own: the
    // forms' captions are barely taller than one line, and a taller box (as the usual
    // CJK face has) pushes descenders and the foot of CJK glyphs out of them.
    font.setFamilies({QStringLiteral("微软雅黑"), QStringLiteral("DejaVu Sans Condensed"),
                      QStringLiteral("Droid Sans Fallback"), QStringLiteral("NanumGothic"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("DejaVu Sans")});
    return font;
}

void DialogFrame::buildWidgets()
{
    setObjectName(QString::fromLatin1(m_layout.dialog));
    setWindowTitle(QStringLiteral("Dialog"));
    resize(m_layout.size);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    if (m_layout.options & LockDialogSize) {
        setMinimumSize(m_layout.size);
        setMaximumSize(m_layout.size);
    }

    m_frame = new QFrame(this);
    m_frame->setObjectName(QString::fromLatin1(m_layout.frame));
    m_frame->setGeometry(QRect(QPoint(0, 0), m_layout.size));
    m_frame->setMinimumSize(m_layout.size);
    m_frame->setMaximumSize(m_layout.size);
    m_frame->setFrameShape(QFrame::StyledPanel);
    m_frame->setFrameShadow(QFrame::Raised);

    m_label = new QLabel(m_frame);
    m_label->setObjectName(QString::fromLatin1(m_layout.label.name ? m_layout.label.name : "label"));
    m_label->setGeometry(m_layout.label.rect);
    m_label->setFont(dialogFont());
    Qt::Alignment align = (m_layout.options & LabelAlignLeft) ? Qt::AlignLeft : Qt::AlignHCenter;
    align |= (m_layout.options & LabelAlignBottom) ? Qt::AlignBottom : Qt::AlignVCenter;
    m_label->setAlignment(align);
    m_label->setWordWrap(true);
    m_label->setText(QString::fromUtf8(m_layout.label.text));

    m_close = new QToolButton(m_frame);
    m_close->setObjectName(QStringLiteral("CloseButton"));
    m_close->setGeometry(m_layout.close.rect);
    m_close->setMaximumSize(20, 20);
    m_close->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_close->setIconSize(QSize(30, 30));
    m_close->setAutoRaise(true);

    m_ok = makeButton(m_layout.ok);
    m_cancel = makeButton(m_layout.cancel);
}

QToolButton* DialogFrame::makeButton(const FrameWidget& layout)
{
    if (!layout.name)
        return nullptr;
    auto* button = new QToolButton(m_frame);
    button->setObjectName(QString::fromLatin1(layout.name));
    button->setGeometry(layout.rect);
    button->setFont(dialogFont());
    button->setAutoRaise(true);
    button->setText(QString::fromUtf8(layout.text));
    return button;
}

void DialogFrame::connectButtons()
{
    connect(m_close, &QToolButton::clicked, this, &DialogFrame::on_CloseButton_clicked);
    if (m_ok)
        connect(m_ok, &QToolButton::clicked, this, &DialogFrame::okClicked);
    if (m_cancel)
        connect(m_cancel, &QToolButton::clicked, this, &DialogFrame::cancelClicked);
    if (m_ok && (m_layout.options & ReturnAnswersOk)) {
        for (int key : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
            auto* shortcut = new QShortcut(QKeySequence(key), this);
            connect(shortcut, &QShortcut::activated, m_ok, &QToolButton::click);
        }
    }
}

QString DialogFrame::buttonStyle(bool capitalF) const
{
    const QString face = capitalF ? QStringLiteral("ConFirm") : QStringLiteral("Confirm");
    return shell::pictureSheet(QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:no-repeat;"
                                              "color: rgb(%1;);border-image: url(%2%3.png);}"
                                              "QToolButton:pressed{border-image: url(%2%3Click.png); }")
                                   .arg(optionColour("ButtonColor"), m_skinFolder, face));
}

QString DialogFrame::lineEditStyle(const char* widgetClass) const
{
    // The field gets the card's dark ground: the light entry colour would
    // vanish on the system's white field.
    return QStringLiteral("%1{color: rgb(%2;);background-color: rgb(21,23,28);border:1px solid rgb(52,57,68);"
                          "border-radius:3px;}%1:focus{border:1px solid rgb(0,194,255);}")
        .arg(QString::fromLatin1(widgetClass), optionColour("LinEditColor"));
}

void DialogFrame::applyStyles()
{
    m_label->setStyleSheet(
        QStringLiteral("QLabel{color: rgb(%1;);}").arg(optionColour("LabelColor")));
    m_frame->setStyleSheet(shell::pictureSheet(QStringLiteral("#%1{border:0px;background-position:center;"
                                                              "background-repeat:no-repeat;"
                                                              "background-image: url(%2BackGround.png);}")
                                                   .arg(QString::fromLatin1(m_layout.frame), m_skinFolder)));
    m_close->setStyleSheet(shell::windowButtonStyle(m_skinFolder, QStringLiteral("Close")));
    if (m_layout.options & PlainOkButton)
        return;
    const QString style = buttonStyle(m_layout.options & CapitalFButtons);
    for (QToolButton* button : {m_ok, m_cancel}) {
        if (button)
            button->setStyleSheet(style);
    }
}

QPoint DialogFrame::placement(const QPoint& refTopLeft, const QSize& refSize, const QSize& box, int dx, int dy)
{
    // C++ integer division truncates toward zero, as the placement requires
    // for a reference smaller than the box.
    return QPoint(refTopLeft.x() + (refSize.width() - box.width()) / 2 + dx,
                  refTopLeft.y() + (refSize.height() - box.height()) / 2 + dy);
}

void DialogFrame::placeOver(const QWidget* reference, int dx, int dy)
{
    placeOver(reference, size(), dx, dy);
}

void DialogFrame::placeOver(const QWidget* reference, const QSize& box, int dx, int dy)
{
    if (!reference)
        return;
    move(placement(reference->mapToGlobal(QPoint(0, 0)), reference->size(), box, dx, dy));
}

void DialogFrame::SlotChangeLanguage(int index)
{
    const shell::LanguageElement texts =
        shell::LanguageFile::cachedElement(index, QString::fromLatin1(m_layout.element));
    if (!texts.isEmpty())
        applyLanguage(texts);
}

void DialogFrame::loadCurrentLanguage()
{
    SlotChangeLanguage(shell::LanguageFile::currentIndex());
}

void DialogFrame::applyLanguage(const shell::LanguageElement& texts)
{
    QString text;
    if (texts.find(m_label->objectName(), &text))
        m_label->setText(text);
    for (QToolButton* button : {m_ok, m_cancel}) {
        if (button && texts.find(button->objectName(), &text))
            button->setText(text);
    }
}

void DialogFrame::keepButtonsOutOfFocus()
{
    for (QToolButton* button : {m_close, m_ok, m_cancel}) {
        if (button)
            button->setFocusPolicy(Qt::NoFocus);
    }
}

void DialogFrame::on_CloseButton_clicked()
{
    closeClicked();
}

void DialogFrame::okClicked()
{
    m_confirmed = true;
    close();
}

void DialogFrame::cancelClicked()
{
    m_confirmed = false;
    close();
}

void DialogFrame::closeClicked()
{
    m_confirmed = false;
    close();
}

} // namespace dialogs
