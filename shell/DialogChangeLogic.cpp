#include "shell/DialogChangeLogic.h"

#include <algorithm>
#include <vector>

namespace shell {

namespace {

// Place of a tile inside its page, by layout: full page slots 0..2, the
// single tile of a last page, the two tiles of a last page.
struct PlaceRow {
    int buttonX;
    int badgeX;
    int rateX;
};
constexpr PlaceRow kFullPage[] = {{0, 225, 7}, {300, 525, 307}, {600, 825, 607}};
constexpr PlaceRow kLastOfOne[] = {{305, 530, 312}};
constexpr PlaceRow kLastOfTwo[] = {{135, 360, 142}, {445, 665, 452}};
constexpr int kBadgeY = 20;
constexpr int kRateY = 10;

TilePlace placeOf(int page, const PlaceRow& row, bool fullPage)
{
    TilePlace place;
    place.page = page;
    place.button = QPoint(row.buttonX, 0);
    place.badge = QPoint(row.badgeX, kBadgeY);
    place.rate = QPoint(row.rateX, kRateY);
    place.fullPage = fullPage;
    return place;
}

} // namespace

int connectionKind(const DeviceAllInfo& device, const ReceiverPidLists& pids)
{
    if (device.RestrictedKind)
        return 0;
    if (pids.w1k.contains(device.Pid))
        return 1;
    if (pids.w2k.contains(device.Pid))
        return 2;
    if (pids.w4k.contains(device.Pid))
        return 3;
    if (pids.w8k.contains(device.Pid))
        return 4;
    return -1;
}

TileSelection selectTiles(const QList<DeviceAllInfo>& found, int driveTotal, const ReceiverPidLists& pids)
{
    TileSelection result;
    result.tiles = found;
    if (driveTotal < 0)
        driveTotal = 0;
    // One column per "Drive" group plus one for the unmatched devices, however
    // many groups the table has.
    constexpr int kKinds = 5;
    std::vector<std::vector<int>> count(kKinds, std::vector<int>(size_t(driveTotal) + 1, 0));
    for (const DeviceAllInfo& device : found) {
        const int kind = connectionKind(device, pids);
        if (kind < 0 || device.DriveIndex < 0 || device.DriveIndex > driveTotal)
            continue;
        ++count[size_t(kind)][size_t(device.DriveIndex)];
    }
    for (int group = 0; group < driveTotal; ++group) {
        bool twice = false;
        for (int kind = 0; kind < kKinds; ++kind)
            twice = twice || count[size_t(kind)][size_t(group)] > 1;
        if (twice)
            result.duplicates = true;
        if (result.duplicates || count[0][size_t(group)] != 1)
            continue;
        // The mouse is on its cable: its receiver would open the same mouse.
        for (int i = result.tiles.size() - 1; i >= 0; --i)
            if (result.tiles[i].DriveIndex == group && !result.tiles[i].RestrictedKind)
                result.tiles.removeAt(i);
    }
    return result;
}

int pageCount(int tileCount)
{
    if (tileCount <= 0)
        return 0;
    return (tileCount + kTilesPerPage - 1) / kTilesPerPage;
}

QVector<TilePlace> tilePlaces(int count)
{
    QVector<TilePlace> places;
    const int fullPages = count / kTilesPerPage;
    const int rest = count % kTilesPerPage;
    for (int page = 0; page < fullPages; ++page)
        for (const PlaceRow& row : kFullPage)
            places.append(placeOf(page, row, true));
    if (rest == 1)
        places.append(placeOf(fullPages, kLastOfOne[0], false));
    if (rest == 2)
        for (const PlaceRow& row : kLastOfTwo)
            places.append(placeOf(fullPages, row, false));
    return places;
}

Arrows arrowsFor(int current, int pages)
{
    Arrows arrows;
    arrows.left = pages > 1 && current > 0;
    arrows.right = pages > 1 && current < pages - 1;
    return arrows;
}

QString rateBadgeImage(const QString& pid, const ReceiverPidLists& pids, bool fullPage)
{
    struct Choice {
        const QStringList* list;
        const char* image;
    };
    const Choice full[] = {{&pids.w2k, "2KHz.png"}, {&pids.w4k, "4KHz.png"}, {&pids.w1k, "1KHz.png"},
                           {&pids.w8k, "8KHz.png"}};
    const Choice last[] = {{&pids.w2k, "2KHz.png"}, {&pids.w4k, "4KHz.png"}, {&pids.w8k, "8KHz.png"},
                           {&pids.w1k, "1KHz.png"}};
    for (const Choice& choice : fullPage ? full : last)
        if (choice.list->contains(pid))
            return QString::fromLatin1(choice.image);
    return QString();
}

VersionOutcome versionOutcome(bool receiverImage, bool mouseImage)
{
    if (receiverImage && !mouseImage)
        return VersionOutcome::GoOn;
    if (!receiverImage && mouseImage)
        return VersionOutcome::MouseOnlyNotice;
    return VersionOutcome::AskToPair;
}

int indexOfPath(const QList<DeviceAllInfo>& list, const QString& path)
{
    for (int i = 0; i < list.size(); ++i)
        if (list[i].DevicePath == path)
            return i;
    return -1;
}

QString usbVersionTextOf(const unsigned char attribute[12])
{
    const quint32 version = quint32(attribute[8]) | (quint32(attribute[9]) << 8);
    return DeviceAllInfo::VersionTextOf(version);
}

} // namespace shell
