// The macro editor page: its action buttons, the record and stop buttons,
// check boxes, the event chooser's faces, the event lists' scroll arrows and
// the icons of press, release and delay rows. Buttons carry light text, so
// their faces are outlines rather than filled.
#include "Draw.h"
#include "Pictures.h"

#include <QPainter>
#include <QPainterPath>

using namespace datagen;
using draw::State;

namespace {

QPen roundPen(const QColor& colour, qreal width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A chevron pointing up or down, centred in a square.
QImage chevron(int size, bool up, const QColor& colour)
{
    QImage image = PictureFolder::canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal m = size * 0.25;
    const qreal top = up ? size * 0.62 : size * 0.38;
    const qreal tip = up ? size * 0.36 : size * 0.64;
    QPainterPath path;
    path.moveTo(m, top);
    path.lineTo(size / 2.0, tip);
    path.lineTo(size - m, top);
    p.setPen(roundPen(colour, 2));
    p.drawPath(path);
    return image;
}

QImage checkBox(bool checked)
{
    QImage image = PictureFolder::canvas(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(checked ? palette::kAccent.color() : palette::kMutedText.color(), 1.2));
    p.setBrush(checked ? palette::kAccent.color() : palette::kRaised.color());
    p.drawPath(draw::roundedRect(QRectF(1, 1, 14, 14), 3));
    if (checked) {
        QPainterPath tick;
        tick.moveTo(4, 8.5);
        tick.lineTo(7, 11.5);
        tick.lineTo(12, 4.5);
        p.setPen(roundPen(palette::kBackground.color(), 2));
        p.drawPath(tick);
    }
    return image;
}

// The record and stop buttons: an outlined pill with a red dot (record) or a
// square (stop) left of where the text stands.
QImage recordButton(bool stop, bool hover)
{
    QImage image = PictureFolder::canvas(190, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor line = stop ? palette::kDanger.color() : palette::kAccent.color();
    p.setPen(QPen(line, 1.2));
    p.setBrush(hover ? line.darker(300) : palette::kPanel.color());
    p.drawPath(draw::roundedRect(QRectF(1, 1, 188, 30), 15));
    p.setPen(Qt::NoPen);
    p.setBrush(palette::kDanger.color());
    if (stop)
        p.drawRoundedRect(QRectF(17, 10, 12, 12), 2, 2);
    else
        p.drawEllipse(QRectF(16, 9, 14, 14));
    return image;
}

// Row icons: an arrow down for a press, up for a release.
QImage keyArrow(bool down)
{
    QImage image = PictureFolder::canvas(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colour = down ? palette::kAccent.color() : palette::kOk.color();
    p.setPen(roundPen(colour, 2));
    const qreal from = down ? 3 : 13;
    const qreal to = down ? 13 : 3;
    const qreal wing = down ? -4 : 4;
    p.drawLine(QPointF(8, from), QPointF(8, to));
    p.drawLine(QPointF(8, to), QPointF(4, to + wing));
    p.drawLine(QPointF(8, to), QPointF(12, to + wing));
    return image;
}

QImage clockFace()
{
    QImage image = PictureFolder::canvas(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette::kWarning.color(), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setPen(roundPen(palette::kWarning.color(), 1.5));
    p.drawLine(QPointF(8, 8), QPointF(8, 4.5));
    p.drawLine(QPointF(8, 8), QPointF(10.5, 9.5));
    return image;
}

} // namespace

TALVO_PICTURES(Macro)
{
    out.save(QStringLiteral("Button.png"), draw::ghostButton(116, 30, State::Normal));
    out.save(QStringLiteral("ButtonHover.png"), draw::ghostButton(116, 30, State::Hover));
    out.save(QStringLiteral("ButtonClick.png"), draw::ghostButton(116, 30, State::Pressed));
    out.save(QStringLiteral("Record.png"), recordButton(false, false));
    out.save(QStringLiteral("RecordHover.png"), recordButton(false, true));
    out.save(QStringLiteral("Stop.png"), recordButton(true, false));
    out.save(QStringLiteral("StopHover.png"), recordButton(true, true));
    out.save(QStringLiteral("CheckBox.png"), checkBox(false));
    out.save(QStringLiteral("CheckBoxCheck.png"), checkBox(true));
    out.save(QStringLiteral("ComboboxBack.png"), draw::comboFace(181, 30, false));
    out.save(QStringLiteral("ComboboxTextBack.png"), draw::comboFace(181, 125, true));
    out.save(QStringLiteral("Menu.png"), draw::menuArrow(false));
    out.save(QStringLiteral("MenuClicked.png"), draw::menuArrow(true));
    out.save(QStringLiteral("Up.png"), chevron(15, true, palette::kMutedText.color()));
    out.save(QStringLiteral("Down.png"), chevron(15, false, palette::kMutedText.color()));
    out.save(QStringLiteral("MacroDown.png"), keyArrow(true));
    out.save(QStringLiteral("MacroUp.png"), keyArrow(false));
    out.save(QStringLiteral("MacroTime.png"), clockFace());
}
