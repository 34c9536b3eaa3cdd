#include "shell/common/MySlider.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>

MySlider::MySlider(QWidget* parent)
    : QSlider(parent)
{
}

int MySlider::valueAt(int minimum, int maximum, int x, int width)
{
    if (width <= 0)
        return minimum;
    return int(minimum + double(maximum - minimum) * (double(x) / double(width)));
}

void MySlider::mousePressEvent(QMouseEvent* e)
{
    QSlider::mousePressEvent(e);
    // The horizontal position is used whatever the orientation: every slider
    // of the program lies horizontally.
    setValue(valueAt(minimum(), maximum(), e->pos().x(), width()));
    if (QWidget* owner = parentWidget()) {
        QEvent jumped{QEvent::Type(kJumpEventType)};
        QCoreApplication::sendEvent(owner, &jumped);
    }
}
