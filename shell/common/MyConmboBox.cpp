#include "shell/common/MyConmboBox.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>

MyConmboBox::MyConmboBox(QWidget* parent)
    : QComboBox(parent)
{
}

void MyConmboBox::mousePressEvent(QMouseEvent* e)
{
    m_indexAtPress = currentIndex();
    QComboBox::mousePressEvent(e);
}

void MyConmboBox::paintEvent(QPaintEvent*)
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Text));
        style()->drawComplexControl(QStyle::CC_ComboBox, &option, &painter, this);
        if (isEditable()) {
            style()->drawControl(QStyle::CE_ComboBoxLabel, &option, &painter, this);
            return;
        }
    }
    // A push-button label is centred by the style, so the text and icon sit
    // in the middle of the edit field instead of at its left edge.
    QStyleOptionButton label;
    label.initFrom(this);
    label.rect = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    label.text = option.currentText;
    label.icon = option.currentIcon;
    label.iconSize = option.iconSize;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    style()->drawControl(QStyle::CE_PushButtonLabel, &label, &painter, this);
}
