// The device choice page: its background, window buttons, paging arrows,
// language box, the device tiles (online, asleep, unknown) and their badges.
#include "Draw.h"
#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

using namespace datagen;
using draw::State;

namespace {

QImage background()
{
    QImage image = PictureFolder::canvas(1020, 700);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient body(0, 0, 0, 700);
    body.setColorAt(0, palette::kPanel.color());
    body.setColorAt(1, palette::kBackground.color());
    p.fillRect(image.rect(), body);
    // A soft accent glow behind the tile row draws the eye to the devices.
    QRadialGradient glow(510, 380, 460);
    glow.setColorAt(0, palette::kAccent.color(30));
    glow.setColorAt(1, palette::kAccent.color(0));
    p.fillRect(image.rect(), glow);
    // Title bar with the product name.
    p.fillRect(QRectF(0, 0, 1020, 48), palette::kBackground.color(200));
    p.setPen(QPen(palette::kBorder.color(), 1));
    p.drawLine(QPointF(0, 48.5), QPointF(1020, 48.5));
    p.setPen(palette::kAccent.color());
    p.setFont(draw::uiFont(18, QFont::Bold));
    p.drawText(QRectF(24, 0, 400, 48), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("TALVO"));
    p.setPen(palette::kText.color());
    p.setFont(draw::uiFont(16));
    p.drawText(QRectF(104, 0, 400, 48), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("R430K"));
    p.setPen(QPen(palette::kBorder.color(), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 1019, 699));
    return image;
}

QImage arrow(bool right, bool pressed)
{
    QImage image = PictureFolder::canvas(46, 46);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(pressed ? palette::kAccent.color() : palette::kBorder.color(), 1.5));
    p.setBrush(pressed ? palette::kAccent.color(40) : palette::kPanel.color(220));
    p.drawEllipse(QRectF(1, 1, 44, 44));
    QPainterPath chevron;
    const qreal dir = right ? 1 : -1;
    chevron.moveTo(23 - 4 * dir, 14);
    chevron.lineTo(23 + 5 * dir, 23);
    chevron.lineTo(23 - 4 * dir, 32);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(pressed ? palette::kAccent.color() : palette::kText.color(), 3, Qt::SolidLine, Qt::RoundCap,
                  Qt::RoundJoin));
    p.drawPath(chevron);
    return image;
}

QImage repairGlyph()
{
    QImage image = PictureFolder::canvas(36, 33);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(palette::kWarning.color(50));
    p.drawEllipse(QRectF(2, 0.5, 32, 32));
    // A wrench: a handle with an open jaw at its top end.
    p.translate(18, 16.5);
    p.rotate(-45);
    p.setBrush(palette::kWarning.color());
    p.drawRoundedRect(QRectF(-2.5, -3, 5, 14), 2, 2);
    p.drawEllipse(QRectF(-6, -11, 12, 12));
    p.setBrush(palette::kWarning.color(0));
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.drawRect(QRectF(-2, -12, 4, 6));
    return image;
}

enum class TileLook { Online, Asleep, Unknown };

// The mouse seen from above: a rounded shell with a split between the two
// main buttons and a wheel.
void drawMouse(QPainter& p, const QRectF& r, const QColor& body, const QColor& line, const QColor& accent)
{
    QPainterPath shell;
    shell.addRoundedRect(r, r.width() / 2.1, r.width() / 2.1);
    QLinearGradient shade(r.topLeft(), r.topRight());
    shade.setColorAt(0, body.lighter(125));
    shade.setColorAt(0.5, body);
    shade.setColorAt(1, body.darker(130));
    p.setPen(QPen(line, 2));
    p.setBrush(shade);
    p.drawPath(shell);
    const qreal split = r.top() + r.height() * 0.42;
    p.setPen(QPen(line, 1.5));
    p.drawLine(QPointF(r.center().x(), r.top() + 4), QPointF(r.center().x(), split));
    p.drawLine(QPointF(r.left() + 10, split), QPointF(r.right() - 10, split));
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    p.drawRoundedRect(QRectF(r.center().x() - 5, r.top() + r.height() * 0.14, 10, 26), 5, 5);
    // Light strip along the tail.
    p.drawRoundedRect(QRectF(r.center().x() - 22, r.bottom() - 26, 44, 5), 2.5, 2.5);
}

QImage tile(TileLook look)
{
    QImage image = PictureFolder::canvas(284, 360);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const bool online = look == TileLook::Online;
    const QColor edge = online ? palette::kAccent.color() : palette::kBorder.color();
    QLinearGradient card(0, 0, 0, 360);
    card.setColorAt(0, palette::kRaised.color());
    card.setColorAt(1, palette::kPanel.color());
    p.setPen(QPen(edge, online ? 2 : 1));
    p.setBrush(card);
    p.drawPath(draw::roundedRect(QRectF(1, 1, 282, 358), 16));
    if (online) {
        QRadialGradient glow(142, 170, 130);
        glow.setColorAt(0, palette::kAccent.color(55));
        glow.setColorAt(1, palette::kAccent.color(0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(QPointF(142, 170), 130, 130);
    }
    const QRectF mouse(92, 70, 100, 180);
    if (look == TileLook::Unknown) {
        drawMouse(p, mouse, palette::kPanel.color(), palette::kBorder.color(), palette::kBorder.color());
        p.setPen(palette::kWarning.color());
        p.setFont(draw::uiFont(72, QFont::Bold));
        p.drawText(mouse, Qt::AlignCenter, QStringLiteral("?"));
    } else {
        const QColor accent = online ? palette::kAccent.color() : palette::kMutedText.color(120);
        drawMouse(p, mouse, online ? QColor(58, 64, 78) : palette::kRaised.color(),
                  online ? palette::kText.color(160) : palette::kBorder.color(), accent);
    }
    // Status dot under the mouse; the same picture serves every model, so no
    // model name is drawn.
    const QColor dot = look == TileLook::Online ? palette::kOk.color()
        : look == TileLook::Asleep             ? palette::kMutedText.color()
                                               : palette::kWarning.color();
    p.setPen(Qt::NoPen);
    p.setBrush(dot);
    p.drawEllipse(QPointF(142, 296), 6, 6);
    return image;
}

QImage badge(const QColor& ring, void (*glyph)(QPainter&))
{
    QImage image = PictureFolder::canvas(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ring, 1.5));
    p.setBrush(palette::kBackground.color(230));
    p.drawEllipse(QRectF(1, 1, 30, 30));
    glyph(p);
    return image;
}

void sleepGlyph(QPainter& p)
{
    // A crescent moon: the mouse sleeps.
    QPainterPath moon;
    moon.addEllipse(QRectF(8, 8, 16, 16));
    QPainterPath bite;
    bite.addEllipse(QRectF(13, 5, 15, 15));
    p.setPen(Qt::NoPen);
    p.setBrush(palette::kMutedText.color());
    p.drawPath(moon.subtracted(bite));
}

void cableGlyph(QPainter& p)
{
    // A USB plug.
    p.setPen(Qt::NoPen);
    p.setBrush(palette::kAccent.color());
    p.drawRoundedRect(QRectF(11, 7, 10, 11), 1.5, 1.5);
    p.setBrush(palette::kBackground.color());
    p.drawRect(QRectF(13, 9, 2, 3));
    p.drawRect(QRectF(17, 9, 2, 3));
    p.setBrush(palette::kAccent.color());
    p.drawRect(QRectF(14.5, 18, 3, 8));
}

void wirelessGlyph(QPainter& p)
{
    // Radio waves rising from a dot.
    p.setBrush(palette::kAccent.color());
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(16, 22), 2.5, 2.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(palette::kAccent.color(), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(10, 16, 12, 12), 45 * 16, 90 * 16);
    p.drawArc(QRectF(5, 11, 22, 22), 45 * 16, 90 * 16);
}

QImage rateBadge(const QString& text)
{
    QImage image = PictureFolder::canvas(42, 26);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette::kAccent.color(), 1));
    p.setBrush(palette::kAccent.color(40));
    p.drawPath(draw::roundedRect(QRectF(0.5, 0.5, 41, 25), 6));
    p.setPen(palette::kText.color());
    p.setFont(draw::uiFont(12, QFont::DemiBold));
    p.drawText(QRectF(0, 0, 42, 26), Qt::AlignCenter, text);
    return image;
}

} // namespace

TALVO_PICTURES(DialogChange)
{
    out.save(QStringLiteral("MainBack.png"), background());
    out.save(QStringLiteral("Close.png"), draw::closeGlyph(20, State::Normal));
    out.save(QStringLiteral("CloseHover.png"), draw::closeGlyph(20, State::Hover));
    out.save(QStringLiteral("CloseClick.png"), draw::closeGlyph(20, State::Pressed));
    out.save(QStringLiteral("Min.png"), draw::minimiseGlyph(20, State::Normal));
    out.save(QStringLiteral("MinHover.png"), draw::minimiseGlyph(20, State::Hover));
    out.save(QStringLiteral("MinClick.png"), draw::minimiseGlyph(20, State::Pressed));
    out.save(QStringLiteral("Repair.png"), repairGlyph());
    out.save(QStringLiteral("Right.png"), arrow(true, false));
    out.save(QStringLiteral("RightClick.png"), arrow(true, true));
    out.save(QStringLiteral("Left.png"), arrow(false, false));
    out.save(QStringLiteral("LeftClick.png"), arrow(false, true));
    out.save(QStringLiteral("ComboboxBack.png"), draw::comboFace(142, 26, false));
    out.save(QStringLiteral("ComboboxTextBack.png"), draw::comboFace(142, 130, true));
    out.save(QStringLiteral("Menu.png"), draw::menuArrow(false));
    out.save(QStringLiteral("MenuClicked.png"), draw::menuArrow(true));
    // Tile pictures keep the names the page asks for ("DisOnlin" is its spelling).
    out.save(QStringLiteral("OnLine0.png"), tile(TileLook::Online));
    out.save(QStringLiteral("DisOnlin0.png"), tile(TileLook::Asleep));
    out.save(QStringLiteral("Unknow.png"), tile(TileLook::Unknown));
    out.save(QStringLiteral("DisOnline.png"), badge(palette::kMutedText.color(), &sleepGlyph));
    out.save(QStringLiteral("OnLineUsb.png"), badge(palette::kAccent.color(), &cableGlyph));
    out.save(QStringLiteral("OnLineWifi.png"), badge(palette::kAccent.color(), &wirelessGlyph));
    out.save(QStringLiteral("1KHz.png"), rateBadge(QStringLiteral("1K")));
    out.save(QStringLiteral("2KHz.png"), rateBadge(QStringLiteral("2K")));
    out.save(QStringLiteral("4KHz.png"), rateBadge(QStringLiteral("4K")));
    out.save(QStringLiteral("8KHz.png"), rateBadge(QStringLiteral("8K")));
}
