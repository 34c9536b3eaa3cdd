#include "Draw.h"

#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace datagen::draw {

QFont uiFont(qreal pixelSize, int weight)
{
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans"),
                      QStringLiteral("DejaVu Sans")});
    font.setPixelSize(qRound(pixelSize));
    font.setWeight(weight);
    return font;
}

QPainterPath roundedRect(const QRectF& rect, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QImage panel(int width, int height, qreal radius, palette::Rgb fill, palette::Rgb border)
{
    QImage image = PictureFolder::canvas(width, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0.5, 0.5, width - 1.0, height - 1.0);
    QLinearGradient body(0, 0, 0, height);
    body.setColorAt(0, fill.color().lighter(108));
    body.setColorAt(1, fill.color());
    p.setPen(QPen(border.color(), 1));
    p.setBrush(body);
    p.drawPath(roundedRect(r, radius));
    // A one-pixel highlight under the top edge lifts the panel off the page.
    p.setPen(QPen(QColor(255, 255, 255, 18), 1));
    p.drawLine(QPointF(radius, 1.5), QPointF(width - radius, 1.5));
    return image;
}

double luminance(const QColor& c)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor faceUnderLightText(QColor fill)
{
    // The skin's light button text must stay readable (4.5:1) on every filled face, up to the
    // sheen at its top; the face stays light enough for the black text of a disabled button (3:1).
    while (contrast(fill.lighter(104), palette::kText.color()) < 4.6 && luminance(fill) > 0.1)
        fill = fill.darker(103);
    return fill;
}

QImage button(int width, int height, State state, palette::Rgb fill)
{
    QImage image = PictureFolder::canvas(width, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QColor base = faceUnderLightText(fill.color());
    if (state == State::Pressed)
        base = base.darker(125);
    else if (state == State::Hover)
        base = faceUnderLightText(base.lighter(125));
    else if (state == State::Disabled)
        base = palette::kRaised.color();
    // A faint sheen only: the text sits on the middle, which keeps the face's own colour.
    QLinearGradient g(0, 0, 0, height);
    g.setColorAt(0, base.lighter(104));
    g.setColorAt(0.5, base);
    g.setColorAt(1, base.darker(104));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    const qreal radius = height / 2.0 - 1;
    p.drawPath(roundedRect(QRectF(0.5, 0.5, width - 1.0, height - 1.0), radius));
    return image;
}

QImage ghostButton(int width, int height, State state)
{
    QImage image = PictureFolder::canvas(width, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal radius = height / 2.0 - 1;
    const QRectF r(1, 1, width - 2.0, height - 2.0);
    QColor line = palette::kAccent.color();
    QColor fill = Qt::transparent;
    if (state == State::Hover)
        fill = palette::kAccent.color(40);
    else if (state == State::Pressed)
        fill = palette::kAccentPressed.color(90), line = palette::kAccentPressed.color();
    else if (state == State::Disabled)
        line = palette::kBorder.color();
    p.setPen(QPen(line, 1.2));
    p.setBrush(fill);
    p.drawPath(roundedRect(r, radius));
    return image;
}

QImage closeGlyph(int size, State state)
{
    QImage image = PictureFolder::canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QColor cross = palette::kMutedText.color();
    if (state == State::Hover) {
        p.setPen(Qt::NoPen);
        p.setBrush(palette::kDanger.color(60));
        p.drawEllipse(QRectF(1, 1, size - 2.0, size - 2.0));
        cross = palette::kText.color();
    } else if (state == State::Pressed) {
        p.setPen(Qt::NoPen);
        p.setBrush(palette::kDanger.color());
        p.drawEllipse(QRectF(1, 1, size - 2.0, size - 2.0));
        cross = palette::kText.color();
    }
    const qreal m = size * 0.32;
    p.setPen(QPen(cross, qMax(1.5, size / 12.0), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(m, m), QPointF(size - m, size - m));
    p.drawLine(QPointF(size - m, m), QPointF(m, size - m));
    return image;
}

QImage minimiseGlyph(int size, State state)
{
    QImage image = PictureFolder::canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (state != State::Normal) {
        p.setPen(Qt::NoPen);
        p.setBrush(state == State::Pressed ? palette::kAccentPressed.color(120) : palette::kRaised.color());
        p.drawEllipse(QRectF(0, 0, size, size));
    }
    p.setPen(QPen(state == State::Normal ? palette::kMutedText.color() : palette::kText.color(), 2, Qt::SolidLine,
                  Qt::RoundCap));
    const qreal m = size * 0.275;
    p.drawLine(QPointF(m, size / 2.0 + 0.5), QPointF(size - m, size / 2.0 + 0.5));
    return image;
}

QImage warningBadge(int size, palette::Rgb colour)
{
    QImage image = PictureFolder::canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour.color(50));
    p.drawEllipse(QRectF(0, 0, size, size));
    p.setBrush(colour.color());
    p.drawEllipse(QRectF(size * 0.18, size * 0.18, size * 0.64, size * 0.64));
    p.setPen(QPen(palette::kBackground.color(), size / 10.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(size / 2.0, size * 0.32), QPointF(size / 2.0, size * 0.55));
    p.drawPoint(QPointF(size / 2.0, size * 0.68));
    return image;
}

QImage comboFace(int width, int height, bool list)
{
    QImage image = PictureFolder::canvas(width, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // The closed box is a mid face: the white text of the skin and the black text of a disabled
    // box both read on it. The open list stays dark under the light text.
    p.setPen(QPen(list ? palette::kBorder.color() : palette::kComboFace.color().lighter(125), 1));
    p.setBrush(list ? palette::kPanel.color() : palette::kComboFace.color());
    p.drawPath(roundedRect(QRectF(0.5, 0.5, width - 1.0, height - 1.0), list ? 2 : 5));
    return image;
}

QImage menuArrow(bool open)
{
    QImage image = PictureFolder::canvas(12, 8);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath tri;
    if (open) {
        tri.moveTo(1, 7), tri.lineTo(6, 1), tri.lineTo(11, 7);
    } else {
        tri.moveTo(1, 1), tri.lineTo(6, 7), tri.lineTo(11, 1);
    }
    p.setPen(QPen(open ? palette::kAccent.color() : palette::kText.color(), 2, Qt::SolidLine, Qt::RoundCap,
                  Qt::RoundJoin));
    p.drawPath(tri);
    return image;
}

// A pill switch, 36 x 18: a grey track with the knob left when off, the
// accent track with the knob right when on.
QImage toggle(bool on)
{
    QImage image = PictureFolder::canvas(36, 18);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(on ? palette::kAccent.color() : palette::kBorder.color(), 1));
    p.setBrush(on ? palette::kAccent.color(200) : palette::kRaised.color());
    p.drawPath(draw::roundedRect(QRectF(0.5, 0.5, 35, 17), 8.5));
    p.setPen(Qt::NoPen);
    p.setBrush(on ? palette::kText.color() : palette::kMutedText.color());
    p.drawEllipse(QRectF(on ? 20 : 3, 3, 12, 12));
    return image;
}

// The slider handle, a slim rounded bar the style stretches to its height.
QImage sliderHandle()
{
    QImage image = PictureFolder::canvas(5, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(palette::kText.color());
    p.drawPath(draw::roundedRect(QRectF(0, 0, 5, 16), 2.5));
    return image;
}

QImage plus()
{
    QImage image = PictureFolder::canvas(14, 14);
    QPainter p(&image);
    p.setPen(QPen(palette::kText.color(), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7, 2), QPointF(7, 12));
    p.drawLine(QPointF(2, 7), QPointF(12, 7));
    return image;
}

QImage minus()
{
    QImage image = PictureFolder::canvas(14, 4);
    QPainter p(&image);
    p.setPen(QPen(palette::kText.color(), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(2, 2), QPointF(12, 2));
    return image;
}

QImage checkBox(int size, bool checked)
{
    QImage image = PictureFolder::canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(checked ? palette::kAccent.color() : palette::kMutedText.color(), 1));
    p.setBrush(checked ? palette::kAccent.color() : palette::kRaised.color());
    p.drawRoundedRect(QRectF(0.5, 0.5, size - 1.0, size - 1.0), 3, 3);
    if (checked) {
        const qreal s = size / 14.0;
        QPainterPath tick;
        tick.moveTo(3.5 * s, 7.2 * s);
        tick.lineTo(6.0 * s, 9.8 * s);
        tick.lineTo(10.8 * s, 4.2 * s);
        p.setPen(QPen(palette::kBackground.color(), 1.8 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    }
    return image;
}

QImage sectionMarker()
{
    QImage image = PictureFolder::canvas(16, 10);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(palette::kAccent.color());
    p.drawRoundedRect(QRectF(0, 1, 4, 8), 1.5, 1.5);
    p.setBrush(palette::kAccent.color(110));
    p.drawRoundedRect(QRectF(6, 1, 4, 8), 1.5, 1.5);
    return image;
}

} // namespace datagen::draw
