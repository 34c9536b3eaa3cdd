#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

class MyConmboBox;
class QCheckBox;
class QFrame;
class QLabel;
class QSlider;
class QSpinBox;
class QToolButton;
class QWidget;

// Builders for the forms of the option widgets. Each makes one child with
// the object name, place and fixed properties the forms share, so a form
// reads as a list of its controls.
namespace sensor {

// The option frame itself: size, styled raised panel, title "Frame". The
// object name is set only while the frame has none: the page that places the
// widget names it after itself.
void setupOptionFrame(QFrame* frame, const char* name, QSize size, bool fixedPolicy);

QLabel* makeCaption(QWidget* parent, const char* name, const QRect& rect, const QString& text,
                    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter);

// A drop-down list without focus, in the interface font at 11 pt.
MyConmboBox* makeList(QWidget* parent, const char* name, const QRect& rect, const QStringList& entries);

// A horizontal level slider: page step 1, no tracking (the value settles on
// release), no focus.
QSlider* makeLevelSlider(QWidget* parent, const char* name, const QRect& rect, int minimum, int maximum);

// A read-only, centred number without arrows or focus.
QSpinBox* makeNumberBox(QWidget* parent, const char* name, const QRect& rect, int points, int minimum, int maximum);

// A check box standing for one choice of a group.
QCheckBox* makeChoiceBox(QWidget* parent, const char* name, const QRect& rect, const QString& text, int points);

// A tool button without focus, fixed at its size.
QToolButton* makeToolButton(QWidget* parent, const char* name, const QRect& rect);

} // namespace sensor
