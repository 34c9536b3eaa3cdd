#pragma once

#include <QString>

// Style sheets of the option widgets, built from the "Option" colours of
// Config.ini and a page's picture folder.
namespace sensor {

// "r,g,b" of an "Option" colour list. A list shorter than three items gives
// the skin's own colour for that key, so a damaged Config.ini still leaves
// readable text.
QString optionColour(const char* key);

// The program folder's picture folder of a page, with the trailing slash:
// pictureFolder("Sensor") is AppDir() + "/Picture/Sensor/".
QString pictureFolder(const char* page);

// Caption text in "LabelColor".
QString labelStyle();

// A thin groove, the "HuaKuai.png" handle, "SliderColor" before the handle
// and white after it.
QString sliderStyle(const QString& folder);

// A read-only number beside a slider: text colour of `colourKey` on a
// transparent background, with or without the grey frame.
QString numberBoxStyle(const char* colourKey, bool framed);

// An on/off switch named `name`: "Close.png" off, "Open.png" on.
QString switchStyle(const QString& name, const QString& folder);

// Check boxes that stand for one choice of a group: "LOD.png" off,
// "LODCheck.png" on, text in "LabelColor".
QString choiceBoxStyle(const QString& folder);

// A borderless button named `name` showing `picture` centred.
QString pictureButtonStyle(const QString& name, const QString& folder, const char* picture,
                           const char* hoverPicture = nullptr);

} // namespace sensor
