// The notice and confirmation dialogs: a 300 x 140 card, its close cross and
// the OK/Cancel button face (stretched by the style sheet, so drawn at the
// button's own 90 x 24 to stay crisp).
#include "Draw.h"
#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>

using namespace datagen;
using draw::State;

namespace {

QImage background(int width, int height)
{
    QImage image = PictureFolder::canvas(width, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // The window is square-cornered, so the card fills it to the edge: a
    // rounded card would leave the system's light window colour in the corners.
    QLinearGradient body(0, 0, 0, height);
    body.setColorAt(0, palette::kRaised.color());
    body.setColorAt(0.35, palette::kPanel.color());
    body.setColorAt(1, palette::kBackground.color());
    p.fillRect(image.rect(), body);
    p.setPen(QPen(palette::kBorder.color(), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, width - 1.0, height - 1.0));
    // Accent line across the top with a fade at both ends.
    QLinearGradient accent(0, 0, width, 0);
    accent.setColorAt(0, palette::kAccent.color(0));
    accent.setColorAt(0.5, palette::kAccent.color());
    accent.setColorAt(1, palette::kAccent.color(0));
    p.fillRect(QRectF(1, 1, width - 2.0, 2), accent);
    // A faint glow under the accent line.
    QRadialGradient glow(width / 2.0, 0, width / 2.0);
    glow.setColorAt(0, palette::kAccent.color(28));
    glow.setColorAt(1, palette::kAccent.color(0));
    p.fillRect(QRectF(1, 3, width - 2.0, height / 2.0), glow);
    return image;
}

} // namespace

TALVO_PICTURES(WarningDialog)
{
    out.save(QStringLiteral("BackGround.png"), background(300, 140));
    out.save(QStringLiteral("Close.png"), draw::closeGlyph(20, State::Normal));
    out.save(QStringLiteral("CloseHover.png"), draw::closeGlyph(20, State::Hover));
    out.save(QStringLiteral("CloseClick.png"), draw::closeGlyph(20, State::Pressed));
    out.save(QStringLiteral("Confirm.png"), draw::button(90, 24, State::Normal));
    out.save(QStringLiteral("ConfirmClick.png"), draw::button(90, 24, State::Pressed));
    // The offline notice spells its button images with a capital F.
    out.save(QStringLiteral("ConFirm.png"), draw::button(90, 24, State::Normal));
    out.save(QStringLiteral("ConFirmClick.png"), draw::button(90, 24, State::Pressed));
    // The firmware update dialog's wider buttons: normal and under the pointer.
    out.save(QStringLiteral("ok_nr.png"), draw::button(120, 24, State::Normal));
    out.save(QStringLiteral("ok_enter.png"), draw::button(120, 24, State::Hover));
}
