#pragma once

#include "core/FlashDataMap.h"

#include <QByteArray>
#include <QString>

// Reader of the exported settings file: three length-prefixed blocks (tag, sensor name, image) as
// written by the button page's export. Pure logic, any thread.
namespace dialogs {

// Results of an import, as the failure notice tells them apart.
enum ImportCode : int {
    ImportAccepted = 0,
    ImportNotSettingsFile = 1, // unreadable, wrong tag, or blocks of the wrong size
    ImportOtherDevice = 2,     // another sensor, or more DPI levels than the device offers
    ImportDeviceOffline = 3,   // the file was good but the mouse did not answer when it was to be sent
};

inline constexpr char kSettingsTag[] = "Kvelt";
inline constexpr int kSettingsTextBlock = 12;
inline constexpr qint64 kSettingsFileBytes = 3 * 4 + 2 * kSettingsTextBlock + qint64(sizeof(FlashDataMap));

// Checks the file's bytes against the device's sensor name and its number of DPI levels.
// `out` is written only for ImportAccepted; a short, oversized or trailing block is refused.
ImportCode parseSettingsFile(const QByteArray& bytes, const QString& sensor, int dpiMaxGrade, FlashDataMap* out);

// Reads at most one settings file's size from `path` and parses it as above.
ImportCode readSettingsFile(const QString& path, const QString& sensor, int dpiMaxGrade, FlashDataMap* out);

// The bytes of a settings file for `image` (the format the reader accepts; tests and the export).
// The sensor name is UTF-8, cut at a character boundary to 11 bytes so its zero byte fits.
QByteArray settingsFileBytes(const QString& sensor, const FlashDataMap& image);

// Writes those bytes to `path` in one atomic replace; false and *error when nothing was written.
bool writeSettingsFile(const QString& path, const QString& sensor, const FlashDataMap& image,
                       QString* error = nullptr);

} // namespace dialogs
