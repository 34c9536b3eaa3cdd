// The pairing dialog: its card, close cross and the pair button in its idle,
// failed and paired faces.
#include "Draw.h"
#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

using namespace datagen;
using draw::State;

namespace {

// Mouse and receiver joined by a dotted link, above the instructions.
void drawLinkIcon(QPainter& p, const QPointF& centre)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF mouse(centre.x() - 62, centre.y() - 20, 24, 40);
    p.setPen(QPen(palette::kText.color(200), 1.5));
    p.setBrush(palette::kRaised.color());
    p.drawRoundedRect(mouse, 11, 11);
    p.drawLine(QPointF(mouse.center().x(), mouse.top() + 3), QPointF(mouse.center().x(), mouse.top() + 15));
    const QRectF dongle(centre.x() + 40, centre.y() - 9, 26, 18);
    p.drawRoundedRect(dongle, 3, 3);
    p.setBrush(palette::kAccent.color());
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(centre.x() - 26 + i * 14, centre.y()), 2.5, 2.5);
}

QImage background()
{
    QImage image = PictureFolder::canvas(420, 330);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient body(0, 0, 0, 330);
    body.setColorAt(0, palette::kRaised.color());
    body.setColorAt(0.4, palette::kPanel.color());
    body.setColorAt(1, palette::kBackground.color());
    p.setPen(QPen(palette::kBorder.color(), 1));
    p.setBrush(body);
    p.drawPath(draw::roundedRect(QRectF(0.5, 0.5, 419, 329), 12));
    QRadialGradient glow(210, 0, 230);
    glow.setColorAt(0, palette::kAccent.color(34));
    glow.setColorAt(1, palette::kAccent.color(0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawPath(draw::roundedRect(QRectF(1, 1, 418, 160), 12));
    drawLinkIcon(p, QPointF(210, 42));
    return image;
}

QImage pairButton(palette::Rgb fill)
{
    return draw::button(170, 40, State::Normal, fill);
}

} // namespace

TALVO_PICTURES(Setting)
{
    out.save(QStringLiteral("BackGround.png"), background());
    out.save(QStringLiteral("Close.png"), draw::closeGlyph(20, State::Normal));
    out.save(QStringLiteral("CloseHover.png"), draw::closeGlyph(20, State::Hover));
    out.save(QStringLiteral("CloseClick.png"), draw::closeGlyph(20, State::Pressed));
    out.save(QStringLiteral("Pair.png"), pairButton(palette::kAccent));
    out.save(QStringLiteral("PairFail.png"), pairButton(palette::kDanger));
    out.save(QStringLiteral("PairSuccess.png"), pairButton(palette::kOk));
}
