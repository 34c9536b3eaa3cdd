#include "light/ScreenSampler.h"

#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

namespace light {

ScreenSampler::~ScreenSampler() = default;

namespace {

class QtScreenSampler final : public ScreenSampler
{
public:
    QPoint cursorPos() const override { return QCursor::pos(); }
    double scale() const override { return 1.0; }

    std::optional<QColor> sampleAt(QPoint point) override
    {
        QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (!screen)
            return std::nullopt;
        const QPixmap grab = screen->grabWindow(0, point.x(), point.y(), 2, 2);
        if (grab.isNull())
            return std::nullopt;
        const QImage image = grab.toImage();
        if (image.isNull() || !image.valid(0, 0))
            return std::nullopt;
        return image.pixelColor(0, 0);
    }
};

} // namespace

std::unique_ptr<ScreenSampler> makeScreenSampler()
{
    return std::make_unique<QtScreenSampler>();
}

} // namespace light
