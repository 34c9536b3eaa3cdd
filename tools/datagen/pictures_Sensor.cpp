// The sensor option widgets: on/off switch, report-rate buttons, choice
// indicators, the slider handle, plus and minus, and the list pictures; the
// DPI stage editor's stage faces, colour bar overlays and stage marker.
#include "Draw.h"
#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

using namespace datagen;

namespace {

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

// A report-rate face, 74 x 26: outlined when idle, lit when chosen. The text
// colour comes from the skin, so the face stays dark enough for light text.
QImage rateFace(bool chosen)
{
    QImage image = PictureFolder::canvas(74, 26);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(chosen ? palette::kAccent.color() : palette::kBorder.color(), chosen ? 1.5 : 1));
    p.setBrush(chosen ? palette::kAccent.color(70) : palette::kRaised.color());
    p.drawPath(draw::roundedRect(QRectF(0.75, 0.75, 72.5, 24.5), 6));
    return image;
}

// The indicator of a choice among several, 16 x 16: a ring, filled when
// chosen.
QImage choiceMark(bool chosen)
{
    QImage image = PictureFolder::canvas(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(chosen ? palette::kAccent.color() : palette::kMutedText.color(), 1.5));
    p.setBrush(palette::kPanel.color());
    p.drawEllipse(QRectF(1, 1, 14, 14));
    if (chosen) {
        p.setPen(Qt::NoPen);
        p.setBrush(palette::kAccent.color());
        p.drawEllipse(QRectF(4.5, 4.5, 7, 7));
    }
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

// A stage face: a raised card, lit with the accent when it is the stage
// being edited (the larger look).
QImage stageFace(int width, int height, bool selected)
{
    QImage image = PictureFolder::canvas(width, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(selected ? palette::kAccent.color() : palette::kBorder.color(), selected ? 1.5 : 1));
    p.setBrush(selected ? palette::kAccent.color(60) : palette::kRaised.color());
    p.drawPath(draw::roundedRect(QRectF(0.75, 0.75, width - 1.5, height - 1.5), 6));
    return image;
}

// Laid over a colour bar, whose own background carries the stage colour: a
// soft sheen, and a light rim on the bar of the selected stage.
QImage barOverlay(int width, int height, bool selected)
{
    QImage image = PictureFolder::canvas(width, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sheen(0, 0, 0, height);
    sheen.setColorAt(0, QColor(255, 255, 255, 70));
    sheen.setColorAt(0.5, QColor(255, 255, 255, 0));
    p.setPen(selected ? QPen(palette::kText.color(), 1.5) : Qt::NoPen);
    p.setBrush(sheen);
    p.drawPath(draw::roundedRect(QRectF(0.75, 0.75, width - 1.5, height - 1.5), 3));
    return image;
}

// The current-stage marker, 30 x 30: an arrow pointing up at the stage.
QImage stageMarker(bool hover)
{
    QImage image = PictureFolder::canvas(30, 30);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (hover) {
        p.setPen(Qt::NoPen);
        p.setBrush(palette::kAccent.color(50));
        p.drawEllipse(QRectF(1, 1, 28, 28));
    }
    QPainterPath arrow;
    arrow.moveTo(15, 6);
    arrow.lineTo(24, 20);
    arrow.lineTo(6, 20);
    arrow.closeSubpath();
    p.setPen(QPen(palette::kPanel.color(), 1));
    p.setBrush(hover ? palette::kText.color() : palette::kAccent.color());
    p.drawPath(arrow);
    return image;
}

} // namespace

TALVO_PICTURES(Sensor)
{
    out.save(QStringLiteral("Close.png"), toggle(false));
    out.save(QStringLiteral("Open.png"), toggle(true));
    out.save(QStringLiteral("ReportRate.png"), rateFace(false));
    out.save(QStringLiteral("ReportRateClick.png"), rateFace(true));
    out.save(QStringLiteral("LOD.png"), choiceMark(false));
    out.save(QStringLiteral("LODCheck.png"), choiceMark(true));
    out.save(QStringLiteral("HuaKuai.png"), sliderHandle());
    out.save(QStringLiteral("Add.png"), plus());
    out.save(QStringLiteral("Reduce.png"), minus());
    out.save(QStringLiteral("ComboboxBack.png"), draw::comboFace(130, 30, false));
    out.save(QStringLiteral("ComboboxTextBack.png"), draw::comboFace(130, 130, true));
    out.save(QStringLiteral("Menu.png"), draw::menuArrow(false));
    out.save(QStringLiteral("MenuClicked.png"), draw::menuArrow(true));
    out.save(QStringLiteral("MinA.png"), stageFace(54, 56, false));
    out.save(QStringLiteral("MaxA.png"), stageFace(68, 70, true));
    out.save(QStringLiteral("MinB.png"), barOverlay(50, 12, false));
    out.save(QStringLiteral("MaxB.png"), barOverlay(66, 14, true));
    out.save(QStringLiteral("Level.png"), stageMarker(false));
    out.save(QStringLiteral("LevelHover.png"), stageMarker(true));
}
