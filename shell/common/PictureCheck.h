#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

namespace shell {

// The pictures beside the program are at most the main window's size, the largest any page draws,
// and a few tens of kilobytes; these bounds leave room for a picture as large as the window can
// show and refuse one that would cost more memory than that once decoded.
inline constexpr qint64 kPictureMaxBytes = 4 << 20;
inline constexpr int kPictureMaxWidth = 1020;
inline constexpr int kPictureMaxHeight = 700;

// The one check every picture the program names passes before Qt opens it: a regular file (opened
// without waiting, so a FIFO cannot block), of at most kPictureMaxBytes, whose header gives a size
// within kPictureMaxWidth x kPictureMaxHeight, read without decoding. A missing picture is no
// picture (false) and is not reported, as Qt would draw it; any other refusal is logged once and
// kept for the start-up notice. The verdict is kept until the file changes. Any thread.
bool pictureUsable(const QString& path);

// `sheet` with every url(...) naming a refused picture emptied, so that Qt draws that part of the
// style as it would without the picture and never opens the file. A missing picture stays named.
QString pictureSheet(const QString& sheet);

// The icon of a picture file, or a null icon when the picture is not usable.
QIcon pictureIcon(const QString& path);

// Checks every picture (*.png) under `folder`, at most a few thousand, so that the refused ones are
// known before the pages that name them are built.
void checkPictureFolder(const QString& folder);

// The paths of the pictures refused so far, oldest first.
QStringList refusedPictures();

} // namespace shell
