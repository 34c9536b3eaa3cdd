#include "sensor/OptionForm.h"

#include "dialogs/DialogFrame.h"
#include "shell/common/MyConmboBox.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>

namespace sensor {

void setupOptionFrame(QFrame* frame, const char* name, QSize size, bool fixedPolicy)
{
    if (frame->objectName().isEmpty())
        frame->setObjectName(QString::fromLatin1(name));
    frame->resize(size);
    if (fixedPolicy)
        frame->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    frame->setWindowTitle(QStringLiteral("Frame"));
    frame->setFrameShape(QFrame::NoFrame);
}

QLabel* makeCaption(QWidget* parent, const char* name, const QRect& rect, const QString& text, Qt::Alignment align)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(rect);
    label->setFont(dialogs::DialogFrame::dialogFont(11));
    label->setAlignment(align);
    label->setText(text);
    return label;
}

MyConmboBox* makeList(QWidget* parent, const char* name, const QRect& rect, const QStringList& entries)
{
    auto* box = new MyConmboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(rect);
    box->setFont(dialogs::DialogFrame::dialogFont(11));
    box->setFocusPolicy(Qt::NoFocus);
    box->addItems(entries);
    return box;
}

QSlider* makeLevelSlider(QWidget* parent, const char* name, const QRect& rect, int minimum, int maximum)
{
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(QString::fromLatin1(name));
    slider->setGeometry(rect);
    slider->setFocusPolicy(Qt::NoFocus);
    slider->setRange(minimum, maximum);
    slider->setPageStep(1);
    slider->setTracking(false);
    return slider;
}

QSpinBox* makeNumberBox(QWidget* parent, const char* name, const QRect& rect, int points, int minimum, int maximum)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(rect);
    box->setFont(dialogs::DialogFrame::dialogFont(points));
    box->setFocusPolicy(Qt::NoFocus);
    box->setReadOnly(true);
    box->setButtonSymbols(QAbstractSpinBox::NoButtons);
    box->setWrapping(false);
    box->setAccelerated(false);
    box->setAlignment(Qt::AlignCenter);
    box->setRange(minimum, maximum);
    box->setValue(minimum);
    return box;
}

QCheckBox* makeChoiceBox(QWidget* parent, const char* name, const QRect& rect, const QString& text, int points)
{
    auto* box = new QCheckBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(rect);
    box->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Expanding);
    box->setMinimumSize(20, 10);
    box->setFont(dialogs::DialogFrame::dialogFont(points));
    box->setFocusPolicy(Qt::NoFocus);
    box->setText(text);
    return box;
}

QToolButton* makeToolButton(QWidget* parent, const char* name, const QRect& rect)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(rect);
    button->setMinimumSize(rect.size());
    button->setMaximumSize(rect.size());
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace sensor
