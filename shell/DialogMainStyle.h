#pragma once

#include <QString>
#include <QStringList>

// Style-sheet texts of the main window and the configuration frame, built from the skin folder.
// No widget code: the windows only apply what these return.
namespace shell {

// How a tool button looks: a page button shows its checked image, an action button its pressed one.
enum class ButtonKind { Page, Action };

struct ButtonLook
{
    const char* button;
    ButtonKind kind;
    const char* normal;
    const char* hover;
    const char* active;
};

inline constexpr ButtonLook kFrameButtonLooks[] = {
    {"ButtonMain", ButtonKind::Page, "Home.png", "HomeHover.png", "HomeChecked.png"},
    {"SensorButton", ButtonKind::Page, "Sensor.png", "SensorHover.png", "SensorChecked.png"},
    {"MacroButton", ButtonKind::Page, "Macro.png", "MacroHover.png", "MacroChecked.png"},
    {"FormSetting", ButtonKind::Page, "Setting.png", "SettingHover.png", "SettingClick.png"},
    {"LightsButton", ButtonKind::Page, "Light.png", "LightHover.png", "LightChecked.png"},
    {"SetButton", ButtonKind::Action, "Setting.png", "SettingHover.png", "SettingClick.png"},
    {"MinButton", ButtonKind::Action, "Min.png", "MinHover.png", "MinClick.png"},
    {"CloseButton", ButtonKind::Action, "Close.png", "CloseHover.png", "CloseClick.png"},
    {"UpArrow", ButtonKind::Action, "PageChange.png", "PageChangeHover.png", "PageChangeClick.png"},
};

// The tool-button style sheet of one row, images taken from skinDir (ending in "/").
QString buttonStyle(const ButtonLook& look, const QString& skinDir);

// "#<name>{border-image: url(<image>);}"
QString borderImageStyle(const QString& objectName, const QString& image);

// The battery gauge: red at 15 % or less, green from 16 %.
QString batteryGaugeStyle(int level);

} // namespace shell
