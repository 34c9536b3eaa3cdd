#pragma once

#include <QString>
#include <QStringList>

// Folder holding the program and the data shipped beside it ("/usersetting",
// "/Language", "/Picture", "/bin", "/driver_sensor.h"). The environment
// variable TALVO_APP_DIR replaces it, so tests can point at a prepared tree.
QString AppDir();

// The per-user base folder named by the environment variable (an XDG one), or
// $HOME + underHome when it is unset, empty or relative; read on every call, any
// thread; opens nothing. A name that is no text in the locale's encoding leads to
// the folder of those very bytes once main has installed its locale codec.
QString UserBaseDir(const char* variable, const char* underHome);

// Per-user folder: $XDG_DATA_HOME (default ~/.local/share) + "/" + product name.
// Read from the environment on every call; safe on any thread.
QString UserDataDir();

// Sub-folders of UserDataDir(), relative ("/Log", "/Device_Info", ...), in the
// order start-up creates them.
QStringList UserSubDirs();

// Often used places, built from the two folders above.
QString ConfigIniPath();     // AppDir() + "/usersetting/Config.ini"
QString MacroIniPath();      // UserDataDir() + "/Macro.ini"
QString DeviceInfoDir();     // UserDataDir() + "/Device_Info"
QString ExceptionDir();      // UserDataDir() + "/Exception"
QString LogDir();            // UserDataDir() + "/Log"
