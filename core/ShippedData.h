#pragma once

#include <QStringList>

// The data shipped beside the program that is not there, as names relative to
// AppDir() ("/usersetting/Config.ini", "/Language", "/Picture",
// "/driver_sensor.h"), in that order; empty when all are present. A file that
// is no regular file or far too large counts as missing, and so does a
// Config.ini that the program's device table found unusable (its "DeviceTotal"
// is no count of devices). The firmware folder "/bin" is optional and not
// checked. Any thread.
QStringList MissingShippedData();
