// The main window and the configuration frame: the frame's background with its top bar and side
// strip, the page glyphs in their three states, window buttons, back arrow, battery outline,
// charging mark and the tray logo.
#include "Draw.h"
#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

using namespace datagen;
using draw::State;

namespace {

constexpr int kTopBar = 111;
constexpr int kSideStrip = 134;

QColor glyphColour(State state)
{
    switch (state) {
    case State::Hover: return palette::kText.color();
    case State::Pressed: return palette::kAccent.color();
    default: return palette::kMutedText.color();
    }
}

QPen glyphPen(State state, qreal width = 2.0)
{
    return QPen(glyphColour(state), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QImage background()
{
    QImage image = PictureFolder::canvas(1020, 700);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(image.rect(), palette::kBackground.color());
    QLinearGradient bar(0, 0, 0, kTopBar);
    bar.setColorAt(0, palette::kRaised.color());
    bar.setColorAt(1, palette::kPanel.color());
    p.fillRect(QRect(0, 0, 1020, kTopBar), bar);
    p.fillRect(QRect(0, kTopBar, kSideStrip, 700 - kTopBar), palette::kPanel.color());
    p.setPen(QPen(palette::kBorder.color(), 1));
    p.drawLine(QPointF(0, kTopBar - 0.5), QPointF(1020, kTopBar - 0.5));
    p.drawLine(QPointF(kSideStrip - 0.5, kTopBar), QPointF(kSideStrip - 0.5, 700));
    // Accent underline of the top bar, fading towards both ends.
    QLinearGradient accent(0, 0, 1020, 0);
    accent.setColorAt(0, palette::kAccent.color(0));
    accent.setColorAt(0.2, palette::kAccent.color(200));
    accent.setColorAt(0.8, palette::kAccent.color(200));
    accent.setColorAt(1, palette::kAccent.color(0));
    p.fillRect(QRectF(0, kTopBar - 2, 1020, 2), accent);
    // Word mark left of the page buttons.
    p.setFont(draw::uiFont(26, QFont::Bold));
    p.setPen(palette::kAccent.color());
    p.drawText(QRect(24, 52, 120, 44), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("TALVO"));
    p.setFont(draw::uiFont(15, QFont::DemiBold));
    p.setPen(palette::kText.color());
    p.drawText(QRect(132, 58, 90, 36), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("R430K"));
    // A faint frame around the page area.
    p.setPen(QPen(palette::kBorder.color(), 1));
    p.setBrush(palette::kPanel.color(120));
    p.drawPath(draw::roundedRect(QRectF(146.5, 120.5, 864, 570), 10));
    return image;
}

// A page glyph on a 30 x 30 canvas; the checked state adds an accent underline.
template <typename Paint>
QImage pageGlyph(State state, Paint paint)
{
    QImage image = PictureFolder::canvas(30, 30);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (state == State::Pressed) {
        p.setPen(Qt::NoPen);
        p.setBrush(palette::kAccent.color(40));
        p.drawEllipse(QRectF(1, 1, 28, 28));
    }
    p.setPen(glyphPen(state));
    p.setBrush(Qt::NoBrush);
    paint(p);
    return image;
}

void paintHome(QPainter& p)
{
    QPainterPath roof;
    roof.moveTo(6, 15);
    roof.lineTo(15, 7);
    roof.lineTo(24, 15);
    p.drawPath(roof);
    p.drawRect(QRectF(9, 14, 12, 9));
    p.drawLine(QPointF(15, 23), QPointF(15, 18));
}

void paintSensor(QPainter& p)
{
    p.drawEllipse(QPointF(15, 15), 8, 8);
    p.drawEllipse(QPointF(15, 15), 2.5, 2.5);
    for (const QLineF& tick : {QLineF(15, 3, 15, 8), QLineF(15, 22, 15, 27), QLineF(3, 15, 8, 15), QLineF(22, 15, 27, 15)})
        p.drawLine(tick);
}

void paintMacro(QPainter& p)
{
    p.drawPath(draw::roundedRect(QRectF(4, 8, 22, 14), 3));
    for (int i = 0; i < 4; ++i)
        p.drawPoint(QPointF(9 + i * 4, 13));
    p.drawLine(QPointF(10, 18), QPointF(20, 18));
}

void paintSetting(QPainter& p)
{
    QPainterPath gear;
    for (int i = 0; i < 16; ++i) {
        const qreal angle = i * M_PI / 8;
        const qreal radius = (i % 2 == 0) ? 10.5 : 8.0;
        const QPointF point(15 + radius * std::cos(angle), 15 + radius * std::sin(angle));
        i == 0 ? gear.moveTo(point) : gear.lineTo(point);
    }
    gear.closeSubpath();
    p.drawPath(gear);
    p.drawEllipse(QPointF(15, 15), 3.5, 3.5);
}

void paintLight(QPainter& p)
{
    p.drawEllipse(QPointF(15, 12), 6.5, 6.5);
    p.drawLine(QPointF(12, 21), QPointF(18, 21));
    p.drawLine(QPointF(13, 24), QPointF(17, 24));
}

QImage backArrow(State state)
{
    QImage image = PictureFolder::canvas(34, 30);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(state == State::Normal ? palette::kRaised.color() : palette::kAccent.color(state == State::Pressed ? 120 : 60));
    p.drawPath(draw::roundedRect(QRectF(0.5, 0.5, 33, 29), 8));
    p.setPen(glyphPen(state == State::Normal ? State::Hover : State::Hover, 2.4));
    p.drawLine(QPointF(10, 15), QPointF(24, 15));
    p.drawLine(QPointF(10, 15), QPointF(16, 9));
    p.drawLine(QPointF(10, 15), QPointF(16, 21));
    return image;
}

QImage batteryOutline()
{
    QImage image = PictureFolder::canvas(43, 20);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette::kText.color(), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(draw::roundedRect(QRectF(0.75, 0.75, 38.5, 18.5), 3));
    p.setPen(Qt::NoPen);
    p.setBrush(palette::kText.color());
    p.drawRoundedRect(QRectF(39.5, 6, 3, 8), 1, 1);
    return image;
}

QImage chargingMark()
{
    QImage image = PictureFolder::canvas(17, 7);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath bolt;
    bolt.moveTo(10, 0);
    bolt.lineTo(3, 4);
    bolt.lineTo(8, 4);
    bolt.lineTo(6, 7);
    bolt.lineTo(14, 3);
    bolt.lineTo(9, 3);
    bolt.closeSubpath();
    p.fillPath(bolt, palette::kWarning.color());
    return image;
}

QImage logo(int size)
{
    QImage image = PictureFolder::canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 64.0;
    p.setPen(Qt::NoPen);
    p.setBrush(palette::kPanel.color());
    p.drawPath(draw::roundedRect(QRectF(2 * s, 2 * s, 60 * s, 60 * s), 14 * s));
    // A mouse outline with an accent scroll wheel.
    p.setPen(QPen(palette::kAccent.color(), 4 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(draw::roundedRect(QRectF(19 * s, 10 * s, 26 * s, 44 * s), 13 * s));
    p.drawLine(QPointF(32 * s, 18 * s), QPointF(32 * s, 25 * s));
    return image;
}

struct PageGlyph
{
    const char* name;
    const char* checkedSuffix;
    void (*paint)(QPainter&);
};

constexpr PageGlyph kPageGlyphs[] = {
    {"Home", "Checked", &paintHome},
    {"Sensor", "Checked", &paintSensor},
    {"Macro", "Checked", &paintMacro},
    {"Setting", "Click", &paintSetting},
    {"Light", "Checked", &paintLight},
};

} // namespace

TALVO_PICTURES(Dialog)
{
    out.save(QStringLiteral("BackGround.png"), background());
    for (const PageGlyph& glyph : kPageGlyphs) {
        const QString name = QLatin1String(glyph.name);
        out.save(name + ".png", pageGlyph(State::Normal, glyph.paint));
        out.save(name + "Hover.png", pageGlyph(State::Hover, glyph.paint));
        out.save(name + QLatin1String(glyph.checkedSuffix) + ".png", pageGlyph(State::Pressed, glyph.paint));
    }
    out.save(QStringLiteral("Min.png"), draw::minimiseGlyph(20, State::Normal));
    out.save(QStringLiteral("MinHover.png"), draw::minimiseGlyph(20, State::Hover));
    out.save(QStringLiteral("MinClick.png"), draw::minimiseGlyph(20, State::Pressed));
    out.save(QStringLiteral("Close.png"), draw::closeGlyph(20, State::Normal));
    out.save(QStringLiteral("CloseHover.png"), draw::closeGlyph(20, State::Hover));
    out.save(QStringLiteral("CloseClick.png"), draw::closeGlyph(20, State::Pressed));
    out.save(QStringLiteral("PageChange.png"), backArrow(State::Normal));
    out.save(QStringLiteral("PageChangeHover.png"), backArrow(State::Hover));
    out.save(QStringLiteral("PageChangeClick.png"), backArrow(State::Pressed));
    out.save(QStringLiteral("Battery.png"), batteryOutline());
    out.save(QStringLiteral("Charg.png"), chargingMark());
    out.save(QStringLiteral("Logo.png"), logo(64));
}
