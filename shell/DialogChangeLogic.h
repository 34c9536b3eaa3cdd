#pragma once

#include "core/DeviceAllInfo.h"

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVector>

// Decisions of the device choice page that need no widget: how found devices
// become tiles, where the tiles sit, which arrows show, which pictures and
// firmware keys a device gets. The page reads its controls, calls these and
// shows the result.
namespace shell {

constexpr int kTilesPerPage = 3;

// The product-id lists of the four receiver classes.
struct ReceiverPidLists {
    QStringList w1k;
    QStringList w2k;
    QStringList w4k;
    QStringList w8k;
};

// Connection kind of a tile in the duplicate count: 0 cable (restricted kind),
// 1..4 the receiver classes 1K, 2K, 4K, 8K (lists tested in that order); -1
// when the product id is in no receiver list.
int connectionKind(const DeviceAllInfo& device, const ReceiverPidLists& pids);

// Result of sorting the found devices into tiles.
struct TileSelection {
    bool duplicates = false;        // two devices of one kind and group: no tiles are built
    QList<DeviceAllInfo> tiles;     // the found devices less the shadowed receivers
};

// Counts the devices per connection kind and "Drive" group (driveTotal groups
// plus the unmatched) and drops the receivers of a group whose mouse is on its
// cable. A group with two devices of the same kind means duplicates.
TileSelection selectTiles(const QList<DeviceAllInfo>& found, int driveTotal, const ReceiverPidLists& pids);

// Where one tile's widgets sit inside its page.
struct TilePlace {
    int page = 0;
    QPoint button;
    QPoint badge;       // offline icon and connection badge share it
    QPoint rate;
    bool fullPage = true;
};

// Places for `count` tiles: three per full page, a last page with 1 or 2
// tiles centred.
QVector<TilePlace> tilePlaces(int count);
int pageCount(int tileCount);

// Which paging arrows show on page `current` of `pages`: Left when a page lies
// before, Right when one lies after.
struct Arrows {
    bool left = false;
    bool right = false;
};
Arrows arrowsFor(int current, int pages);

// Rate badge picture ("2KHz.png" ...) of a product id; empty for a cable id.
// Full pages test the lists 2K, 4K, 1K, 8K; the last partial page 2K, 4K, 8K, 1K.
QString rateBadgeImage(const QString& pid, const ReceiverPidLists& pids, bool fullPage);

// What the firmware check before pairing decides, from the receiver lookup R
// and the mouse lookup M.
enum class VersionOutcome { GoOn, MouseOnlyNotice, AskToPair };
VersionOutcome versionOutcome(bool receiverImage, bool mouseImage);

// Whether a click on tile `clicked` of `tiles` is the two-receiver case: two
// tiles of one model, the clicked one has lost its mouse and the other has it.
// `online` answers for a tile index; it is asked for tile 0 first, tile 1 only
// when the first answer allows the case.
template <typename Online>
bool isTwoDeviceCase(const QList<DeviceAllInfo>& tiles, int clicked, Online online)
{
    if (tiles.size() != 2 || (clicked != 0 && clicked != 1))
        return false;
    if (tiles[0].Cid != tiles[1].Cid || tiles[0].Mid != tiles[1].Mid)
        return false;
    const bool first = online(0);
    if (first != (clicked == 1))
        return false;
    const bool second = online(1);
    return second == (clicked == 0);
}

// Index in `list` of the record with that device path; -1 when none.
int indexOfPath(const QList<DeviceAllInfo>& list, const QString& path);

// "v" + major + "." + minor (hex) from the 12-byte attribute buffer's bytes 8-9.
QString usbVersionTextOf(const unsigned char attribute[12]);

} // namespace shell
