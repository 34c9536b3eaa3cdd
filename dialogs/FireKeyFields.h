#pragma once

#include <QRect>
#include <QString>

class QLabel;
class QSpinBox;
class QWidget;

namespace dialogs {
class DialogFrame;

// What the four key and number entry dialogs share: a centred spin box
// without arrow buttons, a caption label coloured from "LabelColor", and the
// look of an entry field.
QSpinBox* makeNumberField(DialogFrame* dialog, const char* name, const QRect& rect, int points, int minimum,
                          int maximum, int value);
QLabel* makeCaption(DialogFrame* dialog, const char* name, const QRect& rect, const char* text);

// Style of an entry field of class widgetClass ("QLineEdit", "QSpinBox"):
// text in "LinEditColor" on the "ComboxBackGroundColor" face, so light text
// never sits on the platform's white field.
QString entryFieldStyle(const DialogFrame* dialog, const char* widgetClass);

} // namespace dialogs
