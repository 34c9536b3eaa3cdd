#pragma once

#include <QString>

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

// The dark vertical scroll bar of the skin's scrolling lists: 13 px on the panel's grey, a
// rounded handle and 25 px end buttons of the bar's colour.
QString scrollBarStyle();

} // namespace shell
