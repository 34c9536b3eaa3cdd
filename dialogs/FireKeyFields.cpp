#include "dialogs/FireKeyFields.h"

#include "core/Skin.h"
#include "dialogs/DialogFrame.h"

#include <QFrame>
#include <QLabel>
#include <QSpinBox>

namespace dialogs {

QSpinBox* makeNumberField(DialogFrame* dialog, const char* name, const QRect& rect, int points, int minimum,
                          int maximum, int value)
{
    auto* box = new QSpinBox(dialog->frame());
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(rect);
    box->setFont(QFont(QStringLiteral("Arial"), points));
    box->setAlignment(Qt::AlignCenter);
    box->setButtonSymbols(QAbstractSpinBox::NoButtons);
    box->setRange(minimum, maximum);
    box->setValue(value);
    box->setStyleSheet(entryFieldStyle(dialog, "QSpinBox"));
    return box;
}

QLabel* makeCaption(DialogFrame* dialog, const char* name, const QRect& rect, const char* text)
{
    auto* label = new QLabel(QString::fromUtf8(text), dialog->frame());
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(rect);
    label->setFont(DialogFrame::dialogFont(11));
    label->setStyleSheet(
        QStringLiteral("QLabel{color: rgb(%1;);}").arg(core::optionColour("LabelColor")));
    return label;
}

QString entryFieldStyle(const DialogFrame* dialog, const char* widgetClass)
{
    return dialog->lineEditStyle(widgetClass)
        + QStringLiteral("%1{background-color: rgb(%2); border: 1px solid rgba(255,255,255,40); border-radius: 3px;}")
              .arg(QString::fromLatin1(widgetClass), core::optionColour("ComboxBackGroundColor"));
}

} // namespace dialogs
