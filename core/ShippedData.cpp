#include "core/ShippedData.h"

#include "core/AppPaths.h"
#include "core/ConfigIni.h"
#include "core/FileIo.h"
#include "core/SensorDefines.h"

#include <QFileInfo>

namespace {

// The program's one device table gives its verdict; only a program folder other than the one it
// was read from (tests move it) is read on its own.
bool deviceTableUsable(const QString& path)
{
    const ConfigIni* table = ConfigIni::GetInstance();
    return table->FilePath() == path ? table->IsUsable() : ConfigIni(path).IsUsable();
}

} // namespace

QStringList MissingShippedData()
{
    struct Shipped
    {
        const char* name;
        qint64 maxBytes;  // 0: a folder
    };
    static constexpr Shipped kShipped[] = {{"/Language", 0}, {"/Picture", 0},
                                           {"/driver_sensor.h", core::kMaxSensorDefineBytes}};
    QStringList missing;
    // A device table that can list no device leaves the choice page empty: damaged as well.
    if (!deviceTableUsable(ConfigIniPath()))
        missing << QStringLiteral("/usersetting/Config.ini");
    for (const Shipped& item : kShipped) {
        const QString path = AppDir() + QLatin1String(item.name);
        // A damaged file (no regular file, or far too large) is not read, so it counts as missing.
        if (item.maxBytes == 0 ? !QFileInfo(path).isDir()
                               : core::checkReadableFile(path, item.maxBytes) != core::FileState::Usable)
            missing << QLatin1String(item.name);
    }
    return missing;
}
