// The check boxes of the key-combination dialog, which shares the notices'
// picture folder: an empty rounded box and the same box filled with the
// accent and a tick. 14 x 14, the indicator size of the dialog's check boxes.
#include "Draw.h"
#include "Pictures.h"

#include <QPainter>
#include <QPainterPath>

using namespace datagen;

namespace {

constexpr int kBoxSize = 14;

QImage checkBox(bool checked)
{
    QImage image = PictureFolder::canvas(kBoxSize, kBoxSize);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(0.5, 0.5, kBoxSize - 1.0, kBoxSize - 1.0);
    p.setPen(QPen(checked ? palette::kAccent.color() : palette::kMutedText.color(), 1));
    p.setBrush(checked ? palette::kAccent.color() : palette::kRaised.color());
    p.drawRoundedRect(box, 3, 3);
    if (checked) {
        QPainterPath tick;
        tick.moveTo(3.5, 7.2);
        tick.lineTo(6.0, 9.8);
        tick.lineTo(10.8, 4.2);
        p.setPen(QPen(palette::kBackground.color(), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    }
    return image;
}

void drawCheckBoxes(PictureFolder& out)
{
    out.save(QStringLiteral("CheckBox.png"), checkBox(false));
    out.save(QStringLiteral("CheckBoxCheck.png"), checkBox(true));
}

// Registered by hand: the folder's own file already uses the folder's name.
const bool s_registered = registerPictures("WarningDialog", &drawCheckBoxes);

} // namespace
