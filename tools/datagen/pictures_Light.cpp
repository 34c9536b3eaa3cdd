// The lighting page: its lists (among them the sleep-time list that the
// settings page places too), the slider handle, the light-off switch, the
// colour board, the preview's empty face, the fourteen preset swatches and
// the step buttons of the colour numbers.
#include "Draw.h"
#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>

using namespace datagen;

namespace {

// The colour board, 308 x 74: the hues left to right, fading to white at
// the top and to black at the bottom, so a click can pick any colour.
QImage colourBoard()
{
    const int width = 308;
    const int height = 74;
    QImage image = PictureFolder::canvas(width, height);
    QPainter p(&image);
    QLinearGradient hues(0, 0, width, 0);
    for (int i = 0; i <= 6; ++i)
        hues.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, 255, 255));
    p.fillRect(image.rect(), hues);
    QLinearGradient shade(0, 0, 0, height);
    shade.setColorAt(0.0, QColor(255, 255, 255, 255));
    shade.setColorAt(0.45, QColor(255, 255, 255, 0));
    shade.setColorAt(0.55, QColor(0, 0, 0, 0));
    shade.setColorAt(1.0, QColor(0, 0, 0, 255));
    p.fillRect(image.rect(), shade);
    return image;
}

// The preview before a colour is known: an outlined empty square.
QImage previewFace()
{
    QImage image = PictureFolder::canvas(60, 60);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette::kBorder.color(), 2));
    p.setBrush(palette::kRaised.color());
    p.drawPath(draw::roundedRect(QRectF(1, 1, 58, 58), 4));
    return image;
}

// A preset swatch, 28 x 28: the colour in a rounded square with a thin rim.
QImage swatch(int red, int green, int blue)
{
    QImage image = PictureFolder::canvas(28, 28);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette::kBorder.color(), 1));
    p.setBrush(QColor(red, green, blue));
    p.drawPath(draw::roundedRect(QRectF(0.5, 0.5, 27, 27), 5));
    return image;
}

struct Swatch
{
    char letter;
    int red;
    int green;
    int blue;
};

// The page's preset colours, one picture each.
constexpr Swatch kSwatches[] = {
    {'A', 255, 0, 0},    {'B', 0, 255, 255},   {'C', 0, 255, 0},     {'D', 255, 0, 255},  {'E', 255, 255, 0},
    {'F', 255, 80, 0},   {'G', 0, 0, 255},     {'H', 227, 0, 127},   {'I', 46, 166, 223}, {'J', 96, 25, 133},
    {'K', 255, 255, 255}, {'L', 139, 178, 36}, {'M', 255, 155, 51},  {'N', 208, 113, 173},
};

} // namespace

TALVO_PICTURES(Light)
{
    out.save(QStringLiteral("ComboboxBack.png"), draw::comboFace(131, 34, false));
    out.save(QStringLiteral("ComboboxTextBack.png"), draw::comboFace(131, 130, true));
    out.save(QStringLiteral("Menu.png"), draw::menuArrow(false));
    out.save(QStringLiteral("MenuClicked.png"), draw::menuArrow(true));
    out.save(QStringLiteral("HuaKuai.png"), draw::sliderHandle());
    out.save(QStringLiteral("Close.png"), draw::toggle(false));
    out.save(QStringLiteral("Open.png"), draw::toggle(true));
    out.save(QStringLiteral("Add.png"), draw::plus());
    out.save(QStringLiteral("Reduce.png"), draw::minus());
    out.save(QStringLiteral("ColorBoard.png"), colourBoard());
    out.save(QStringLiteral("PreviewColor.png"), previewFace());
    for (const Swatch& s : kSwatches)
        out.save(QStringLiteral("Color") + QLatin1Char(s.letter) + QStringLiteral(".png"), swatch(s.red, s.green, s.blue));
}
