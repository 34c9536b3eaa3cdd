// The button page: the mouse seen from above with room for the six number
// buttons, the faces of selectors, function list and menu choices, the action
// and number buttons, and its lists (among them the debounce-time list).
#include "Draw.h"
#include "Pictures.h"

#include <QPainter>
#include <QPainterPath>

using namespace datagen;
using draw::State;

namespace {

// The mouse outline filling the 432 x 356 picture; the number buttons sit on
// its buttons, wheel and sides.
QImage mouseTop()
{
    QImage image = PictureFolder::canvas(432, 356);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath body;
    body.moveTo(216, 20);
    body.cubicTo(330, 20, 400, 90, 400, 200);
    body.cubicTo(400, 300, 320, 345, 216, 345);
    body.cubicTo(112, 345, 32, 300, 32, 200);
    body.cubicTo(32, 90, 102, 20, 216, 20);
    p.setPen(QPen(palette::kBorder.color(), 2));
    p.setBrush(palette::kPanel.color());
    p.drawPath(body);
    p.setPen(QPen(palette::kRaised.color(), 2));
    p.drawLine(QPointF(216, 22), QPointF(216, 150));
    p.drawLine(QPointF(40, 150), QPointF(392, 150));
    p.setBrush(palette::kRaised.color());
    p.drawRoundedRect(QRectF(204, 60, 24, 50), 12, 12);
    p.setPen(QPen(palette::kAccent.color(), 2));
    p.drawLine(QPointF(120, 320), QPointF(312, 320));
    return image;
}

// A flat face: fill, optional accent bar at the left for a checked state.
QImage face(int width, int height, palette::Rgb fill, bool accentBar, qreal radius = 3)
{
    QImage image = PictureFolder::canvas(width, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette::kBorder.color(), 1));
    p.setBrush(fill.color());
    p.drawPath(draw::roundedRect(QRectF(0.5, 0.5, width - 1.0, height - 1.0), radius));
    if (accentBar) {
        p.setPen(Qt::NoPen);
        p.setBrush(palette::kAccent.color());
        p.drawRoundedRect(QRectF(2, 3, 3, height - 6.0), 1.5, 1.5);
    }
    return image;
}

QImage disc(int size, palette::Rgb fill, palette::Rgb ring)
{
    QImage image = PictureFolder::canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ring.color(), 2));
    p.setBrush(fill.color());
    p.drawEllipse(QRectF(2, 2, size - 4.0, size - 4.0));
    return image;
}

QImage configIcon()
{
    QImage image = PictureFolder::canvas(20, 14);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette::kAccent.color(), 1.5));
    for (int row = 0; row < 3; ++row)
        p.drawLine(QPointF(2, 2.5 + 4.5 * row), QPointF(18, 2.5 + 4.5 * row));
    return image;
}

} // namespace

TALVO_PICTURES(Buttoninterface)
{
    out.save(QStringLiteral("ComboboxBack.png"), draw::comboFace(141, 34, false));
    out.save(QStringLiteral("ComboboxTextBack.png"), draw::comboFace(141, 130, true));
    out.save(QStringLiteral("Menu.png"), draw::menuArrow(false));
    out.save(QStringLiteral("MenuClicked.png"), draw::menuArrow(true));
    out.save(QStringLiteral("mouse0.png"), mouseTop());
    out.save(QStringLiteral("Config.png"), configIcon());
    out.save(QStringLiteral("TiltleBack.png"), face(862, 216, palette::kBackground, false, 6));
    out.save(QStringLiteral("Reset.png"), draw::ghostButton(90, 26, State::Normal));
    out.save(QStringLiteral("ResetHover.png"), draw::ghostButton(90, 26, State::Hover));
    out.save(QStringLiteral("ResetClick.png"), draw::ghostButton(90, 26, State::Pressed));
    out.save(QStringLiteral("NumberOrigin.png"), disc(38, palette::kRaised, palette::kBorder));
    out.save(QStringLiteral("NumberHover.png"), disc(38, palette::kRaised, palette::kAccent));
    out.save(QStringLiteral("NumberClick.png"), disc(38, palette::kAccent, palette::kAccentPressed));
    out.save(QStringLiteral("LabelNumber.png"), disc(24, palette::kText, palette::kText));
    out.save(QStringLiteral("AMenuTitle.png"), face(262, 26, palette::kPanel, false));
    out.save(QStringLiteral("AMenuTitleChecked.png"), face(262, 26, palette::kRaised, true));
    out.save(QStringLiteral("BMenuTitle.png"), face(164, 22, palette::kPanel, false));
    out.save(QStringLiteral("BMenuTitleChecked.png"), face(164, 22, palette::kRaised, true));
    out.save(QStringLiteral("BMenuTitleB.png"), face(164, 22, palette::kRaised, false));
    out.save(QStringLiteral("BMenuTitleCheckedB.png"), face(164, 22, palette::kBorder, true));
    out.save(QStringLiteral("CMenuTitle.png"), face(174, 22, palette::kPanel, false));
    out.save(QStringLiteral("CMenuTitleChecked.png"), face(174, 22, palette::kRaised, true));
}
