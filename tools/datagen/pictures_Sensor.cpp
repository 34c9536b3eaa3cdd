// The sensor option widgets: on/off switch, report-rate buttons, choice
// indicators, the slider handle, plus and minus, and the list pictures.
#include "Draw.h"
#include "Pictures.h"

#include <QPainter>

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
}
