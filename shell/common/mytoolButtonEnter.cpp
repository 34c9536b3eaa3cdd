#include "shell/common/mytoolButtonEnter.h"

mytoolButtonEnter::mytoolButtonEnter(QWidget* parent)
    : QToolButton(parent)
{
}

int mytoolButtonEnter::tileNumber(const QString& objectName)
{
    QString rest = objectName;
    rest.remove(QStringLiteral("btn"), Qt::CaseSensitive);
    return rest.toInt(nullptr, 10);
}

void mytoolButtonEnter::enterEvent(QEvent*)
{
    emit entered(tileNumber(objectName()));
}

// Leaving changes nothing: the tile keeps the picture of its last refresh.
void mytoolButtonEnter::leaveEvent(QEvent*)
{
}
