#include "shell/common/MyToolButton.h"

#include <QMouseEvent>

MyToolButton::MyToolButton(QWidget* parent)
    : QToolButton(parent)
{
}

// The base handler is not called: the button never goes down, so its release
// emits nothing and each press reaches the owner exactly once.
void MyToolButton::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    setChecked(true);
    emit clicked(false);
}

void MyToolButton::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    setChecked(true);
    emit clicked(true);
}
