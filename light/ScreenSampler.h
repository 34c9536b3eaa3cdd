#pragma once

#include <QColor>
#include <QPoint>

#include <memory>
#include <optional>

// Where the colour board's pick comes from: the cursor, the factor between
// the screen's physical and logical pixels, and one pixel read off the
// screen. The page asks through this seam so tests can stand in for the
// screen.
namespace light {

class ScreenSampler
{
public:
    virtual ~ScreenSampler();

    virtual QPoint cursorPos() const = 0;
    // Physical over logical pixels along x; the page scales both axes by it.
    virtual double scale() const = 0;
    // The colour at `point` (a 2 x 2 grab, its first pixel); empty when the
    // grab gives no image or no valid pixel.
    virtual std::optional<QColor> sampleAt(QPoint point) = 0;
};

// The screen under the cursor (else the primary one). Qt maps logical to
// device pixels inside grabWindow, so the scale is 1.
std::unique_ptr<ScreenSampler> makeScreenSampler();

} // namespace light
