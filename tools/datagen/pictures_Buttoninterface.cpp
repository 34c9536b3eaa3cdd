// The button page: the mouse seen from above with room for the six number
// buttons, the faces of selectors, function list and menu choices, the action
// and number buttons, and its lists (among them the debounce-time list).
#include "Draw.h"
#include "Pictures.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

using namespace datagen;
using draw::State;

namespace {

// Where the page's six number badges sit on the 432 x 356 picture (their centres).
constexpr QPointF kBadge[6] = {{159, 239}, {59, 169}, {164, 139}, {266, 224}, {384, 134}, {359, 239}};

// The mouse seen from above. Its outline keeps 44 px clear at the top, so it starts inside the
// frame's panel, and each of its buttons is drawn under its number badge: the two main
// buttons under 1 and 4, the wheel under 3, the side buttons under 2 and 5, the rear button
// under 6.
QImage mouseTop()
{
    QImage image = PictureFolder::canvas(432, 356);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath body;
    body.moveTo(216, 46);
    body.cubicTo(330, 46, 392, 110, 392, 205);
    body.cubicTo(392, 298, 318, 346, 216, 346);
    body.cubicTo(114, 346, 40, 298, 40, 205);
    body.cubicTo(40, 110, 102, 46, 216, 46);
    p.setPen(QPen(palette::kBorder.color(), 2));
    p.setBrush(palette::kPanel.color());
    p.drawPath(body);
    // The main buttons end in a seam behind badges 1 and 4.
    p.setPen(QPen(palette::kRaised.color().lighter(130), 2));
    QPainterPath seam;
    seam.moveTo(58, 268);
    seam.quadTo(216, 290, 374, 268);
    p.setBrush(Qt::NoBrush);
    p.drawPath(seam);
    // A raised pad under every badge, so each badge sits on its button.
    const QSizeF pads[6] = {{58, 58}, {30, 58}, {34, 58}, {58, 58}, {30, 58}, {46, 46}};
    for (int i = 0; i < 6; ++i) {
        const QRectF pad(kBadge[i] - QPointF(pads[i].width() / 2, pads[i].height() / 2), pads[i]);
        p.setPen(QPen(palette::kBorder.color().lighter(120), 1.5));
        p.setBrush(palette::kRaised.color());
        p.drawPath(draw::roundedRect(pad, std::min(pad.width(), pad.height()) / 2));
    }
    // The wheel's ribs show above and below its badge.
    p.setPen(QPen(palette::kMutedText.color(), 1.5, Qt::SolidLine, Qt::RoundCap));
    for (qreal y : {113.0, 118.0, 160.0, 165.0})
        p.drawLine(QPointF(kBadge[2].x() - 7, y), QPointF(kBadge[2].x() + 7, y));
    p.setPen(QPen(palette::kAccent.color(), 2));
    p.drawLine(QPointF(150, 322), QPointF(282, 322));
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
    // The badges carry black numbers: light discs, the accent one when pressed.
    out.save(QStringLiteral("NumberOrigin.png"), disc(38, palette::kText, palette::kMutedText));
    out.save(QStringLiteral("NumberHover.png"), disc(38, palette::kText, palette::kAccent));
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
