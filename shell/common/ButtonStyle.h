#pragma once

#include <QString>

namespace shell {

// Style sheet of a borderless tool button with three faces, each a picture
// centred without repeat: normal, under the pointer, pressed.
QString threeStateButtonStyle(const QString& normal, const QString& hover, const QString& pressed);

// The same for the window buttons of a skin folder (ending in "/"):
// <name>.png, <name>Hover.png and <name>Click.png.
QString windowButtonStyle(const QString& folder, const QString& name);

} // namespace shell
