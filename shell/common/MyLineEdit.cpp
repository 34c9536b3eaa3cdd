#include "shell/common/MyLineEdit.h"

MyLineEdit::MyLineEdit(QWidget* parent)
    : QLineEdit(parent)
{
}

void MyLineEdit::keyPressEvent(QKeyEvent*)
{
}

void MyLineEdit::keyReleaseEvent(QKeyEvent*)
{
}
