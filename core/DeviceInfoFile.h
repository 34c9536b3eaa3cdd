#pragma once

#include "core/FlashDataMap.h"

#include <QString>

// The last known configuration image of each device, one file per CID/MID in
// the per-user "/Device_Info" folder: a data-stream byte block (32-bit
// big-endian length 10428, then the image), 10432 bytes in all.

// "Device_CID" + CC + "_MID" + MM + ".bin", two upper-case hex digits each.
QString DeviceCacheFileName(quint8 cid, quint8 mid);

// Full path of a cache file name; a name that is not a plain file name
// (separators, "..") gives an empty path.
QString DeviceCachePath(const QString& fileName);

// Replaces the file atomically: a failed write leaves the previous file.
// Any thread. Returns false with a reason in *error when nothing was written.
bool WriteDeviceInfoFile(const QString& fileName, const FlashDataMap& image, QString* error = nullptr);

// True only when the file holds exactly one whole 10428-byte block; *image is
// then replaced. On any failure (missing, short, oversized, corrupt file)
// *image is left untouched and false is returned. Any thread.
bool ReadDeviceInfoFile(const QString& fileName, FlashDataMap* image, QString* error = nullptr);
