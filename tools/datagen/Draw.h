#pragma once

#include "Palette.h"

#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QRectF>

// Drawing pieces shared by the picture folders, so buttons, panels and
// glyphs look the same on every page.
namespace datagen::draw {

enum class State { Normal, Hover, Pressed, Disabled };

// The interface font: renders all six languages of the program.
QFont uiFont(qreal pixelSize, int weight = QFont::Normal);

// A panel with a soft border and a faint top highlight.
QImage panel(int width, int height, qreal radius, palette::Rgb fill = palette::kPanel,
             palette::Rgb border = palette::kBorder);

// WCAG relative luminance and contrast ratio of two colours.
double luminance(const QColor& c);
double contrast(const QColor& a, const QColor& b);

// The fill darkened until the skin's light text reads on it.
QColor faceUnderLightText(QColor fill);

// A filled action button; the accent fill darkens when pressed.
QImage button(int width, int height, State state, palette::Rgb fill = palette::kAccent);

// A flat button that is only an outline until hovered or pressed.
QImage ghostButton(int width, int height, State state);

// The close cross of a window or notice.
QImage closeGlyph(int size, State state);

// The window's minimise button, a dash that lights up like the close cross.
QImage minimiseGlyph(int size, State state);

// A round badge with an exclamation mark, for warnings.
QImage warningBadge(int size, palette::Rgb colour = palette::kWarning);

// The closed face of a drop-down list (`list` false) or the back of its
// open list (`list` true).
QImage comboFace(int width, int height, bool list);

// The drop-down arrow of a list, pointing up while the list is open.
QImage menuArrow(bool open);

QPainterPath roundedRect(const QRectF& rect, qreal radius);

// An on/off switch, 36 x 18: knob left when off, on the accent track when on.
QImage toggle(bool on);
// The slider handle, a slim rounded bar the style stretches to its height.
QImage sliderHandle();
// Plus (14 x 14) and minus (14 x 4) of a number's step buttons.
QImage plus();
QImage minus();
// A square check box of the pages, size x size: filled with the accent and
// ticked when checked.
QImage checkBox(int size, bool checked);
// The marker before a section title of a page, 16 x 10: two accent bars.
QImage sectionMarker();

} // namespace datagen::draw
