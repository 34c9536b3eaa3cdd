// The settings page: section marker, list faces, the pairing and update
// buttons, the two kinds of check box, the mouse icon and the notice dot.
#include "Draw.h"
#include "Pictures.h"

#include <QPainter>
#include <QPainterPath>

using namespace datagen;
using draw::State;

namespace {

// The receiver-light choices are one-of-three: a ring, with a dot when chosen.
QImage roundBox(bool checked)
{
    QImage image = PictureFolder::canvas(14, 14);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(checked ? palette::kAccent.color() : palette::kMutedText.color(), 1.2));
    p.setBrush(palette::kRaised.color());
    p.drawEllipse(QRectF(0.6, 0.6, 12.8, 12.8));
    if (checked) {
        p.setPen(Qt::NoPen);
        p.setBrush(palette::kAccent.color());
        p.drawEllipse(QRectF(3.5, 3.5, 7, 7));
    }
    return image;
}

QImage mouseIcon()
{
    QImage image = PictureFolder::canvas(14, 20);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette::kText.color(210), 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1, 1, 12, 18), 6, 6);
    p.drawLine(QPointF(7, 2.5), QPointF(7, 8));
    return image;
}

QImage noticeDot()
{
    QImage image = PictureFolder::canvas(14, 14);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 106, 0));
    p.drawEllipse(QRectF(2, 2, 10, 10));
    p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7, 4.5), QPointF(7, 7.8));
    p.drawPoint(QPointF(7, 9.8));
    return image;
}

} // namespace

TALVO_PICTURES(FormSetting)
{
    out.save(QStringLiteral("Title.png"), draw::sectionMarker());
    out.save(QStringLiteral("ComboboxBack.png"), draw::comboFace(142, 30, false));
    out.save(QStringLiteral("ComboboxTextBack.png"), draw::comboFace(142, 130, true));
    out.save(QStringLiteral("Menu.png"), draw::menuArrow(false));
    out.save(QStringLiteral("MenuClicked.png"), draw::menuArrow(true));
    out.save(QStringLiteral("PariButton.png"), draw::button(112, 26, State::Normal));
    out.save(QStringLiteral("Confirm.png"), draw::button(128, 26, State::Normal));
    out.save(QStringLiteral("WaitUpdate.png"), draw::button(128, 26, State::Normal, palette::kWarning));
    out.save(QStringLiteral("WaitUpdateHover.png"), draw::button(128, 26, State::Hover, palette::kWarning));
    out.save(QStringLiteral("CheckBox.png"), draw::checkBox(16, false));
    out.save(QStringLiteral("CheckBoxChecked.png"), draw::checkBox(16, true));
    out.save(QStringLiteral("CheckBox2.png"), roundBox(false));
    out.save(QStringLiteral("CheckBoxCheck.png"), roundBox(true));
    out.save(QStringLiteral("Mouse.png"), mouseIcon());
    out.save(QStringLiteral("Picture.png"), noticeDot());
}
