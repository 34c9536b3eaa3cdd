// The sensor option widgets: on/off switch, report-rate buttons, choice
// indicators, the slider handle, plus and minus, and the list pictures; the
// DPI stage editor's stage faces, colour bar overlays and stage marker; the
// page's check box and section markers.
#include "Draw.h"
#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

using namespace datagen;

namespace {

// A report-rate face, 74 x 26: outlined when idle, lit under the pointer, filled when chosen. The
// text colour comes from the skin, so every face stays dark enough for light text.
QImage rateFace(draw::State state)
{
    QImage image = PictureFolder::canvas(74, 26);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const bool chosen = state == draw::State::Pressed;
    const bool hover = state == draw::State::Hover;
    p.setPen(QPen(chosen || hover ? palette::kAccent.color() : palette::kBorder.color(), chosen ? 1.5 : 1));
    p.setBrush(chosen ? palette::kAccent.color(70) : hover ? palette::kBorder.color() : palette::kRaised.color());
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

// A stage face: a raised card of the small look's size (54 x 56), centred on the canvas. The
// larger look of the stage being edited keeps the same card and adds an accent ring in its margin,
// so the card and its number stay where they were when the selection moves.
QImage stageFace(int width, int height, bool selected, bool hover = false)
{
    QImage image = PictureFolder::canvas(width, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF card((width - 54) / 2.0 + 0.75, (height - 56) / 2.0 + 0.75, 52.5, 54.5);
    if (selected) {
        p.setPen(QPen(palette::kAccent.color(), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawPath(draw::roundedRect(card.adjusted(-4, -4, 4, 4), 8));
    }
    p.setPen(QPen(selected || hover ? palette::kAccent.color() : palette::kBorder.color(), 1));
    p.setBrush(selected ? palette::kAccent.color(60) : hover ? palette::kBorder.color() : palette::kRaised.color());
    p.drawPath(draw::roundedRect(card, 6));
    return image;
}

// The plus and minus buttons under the pointer: the glyph in the accent (the buttons are no larger
// than their glyphs).
QImage glyphHover(QImage glyph)
{
    QPainter p(&glyph);
    p.setCompositionMode(QPainter::CompositionMode_SourceIn);
    p.fillRect(glyph.rect(), palette::kAccent.color());
    return glyph;
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
    out.save(QStringLiteral("Close.png"), draw::toggle(false));
    out.save(QStringLiteral("Open.png"), draw::toggle(true));
    out.save(QStringLiteral("ReportRate.png"), rateFace(draw::State::Normal));
    out.save(QStringLiteral("ReportRateHover.png"), rateFace(draw::State::Hover));
    out.save(QStringLiteral("ReportRateClick.png"), rateFace(draw::State::Pressed));
    out.save(QStringLiteral("LOD.png"), choiceMark(false));
    out.save(QStringLiteral("LODCheck.png"), choiceMark(true));
    out.save(QStringLiteral("HuaKuai.png"), draw::sliderHandle());
    out.save(QStringLiteral("Add.png"), draw::plus());
    out.save(QStringLiteral("AddHover.png"), glyphHover(draw::plus()));
    out.save(QStringLiteral("Reduce.png"), draw::minus());
    out.save(QStringLiteral("ReduceHover.png"), glyphHover(draw::minus()));
    out.save(QStringLiteral("ComboboxBack.png"), draw::comboFace(130, 30, false));
    out.save(QStringLiteral("ComboboxTextBack.png"), draw::comboFace(130, 130, true));
    out.save(QStringLiteral("Menu.png"), draw::menuArrow(false));
    out.save(QStringLiteral("MenuClicked.png"), draw::menuArrow(true));
    out.save(QStringLiteral("MinA.png"), stageFace(54, 56, false));
    out.save(QStringLiteral("MinAHover.png"), stageFace(54, 56, false, true));
    out.save(QStringLiteral("MaxA.png"), stageFace(68, 70, true));
    out.save(QStringLiteral("MinB.png"), barOverlay(50, 12, false));
    out.save(QStringLiteral("MaxB.png"), barOverlay(66, 14, true));
    out.save(QStringLiteral("Level.png"), stageMarker(false));
    out.save(QStringLiteral("LevelHover.png"), stageMarker(true));
    // The full-performance box and the section markers, as on the settings page.
    out.save(QStringLiteral("CheckBox.png"), draw::checkBox(16, false));
    out.save(QStringLiteral("CheckBoxChecked.png"), draw::checkBox(16, true));
    out.save(QStringLiteral("Title.png"), draw::sectionMarker());
}
