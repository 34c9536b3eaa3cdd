#pragma once

#include <QString>

class QComboBox;

namespace shell {

// Style sheet of a borderless tool button with three faces, each a picture
// centred without repeat: normal, under the pointer, pressed.
QString threeStateButtonStyle(const QString& normal, const QString& hover, const QString& pressed);

// The same for the window buttons of a skin folder (ending in "/"):
// <name>.png, <name>Hover.png and <name>Click.png.
QString windowButtonStyle(const QString& folder, const QString& name);

// The hover rule for a picture button whose sheet names its other faces: under the pointer an
// unchecked button shows `picture`; a checked one keeps its checked face.
QString hoverFaceRule(const QString& selector, const QString& picture);

// The one application-wide sheet for what no page styles itself: menus (the tray's, the
// macro list's) and tool tips, in the skin's dark look with its selection colour.
QString applicationStyleSheet();

// A check box's text in `colour` ("r,g,b") and its indicator drawn from `folder`'s pictures.
QString checkBoxStyle(const QString& colour, const QString& folder, const char* checked = "CheckBoxCheck.png",
                      const char* unchecked = "CheckBox.png");

// The skin's drop-down list, the same on every page and dialog: the face, its arrow and its list
// in `folder`'s pictures ("ComboboxBack.png", "Menu.png", "MenuClicked.png",
// "ComboboxTextBack.png") and the "Option" colours "ComboxTextColor", "ComboxBackGroundColor" and
// "ComboxSelectColor". Gives the box a list view of its own whose selected and hovered rows take the
// selection colour; `greyWhenDisabled` adds the rule for a disabled box.
void styleCombo(QComboBox* box, const QString& folder, bool greyWhenDisabled = false);

// What the 25 px end buttons of the dark scroll bar show: the bar's colour, or what lies behind.
enum class ScrollBarEnds { BarColour, Transparent };

// The dark vertical scroll bar of the skin's scrolling lists: 13 px on the panel's grey, a
// rounded handle and 25 px end buttons.
QString scrollBarStyle(ScrollBarEnds ends = ScrollBarEnds::BarColour);

} // namespace shell
