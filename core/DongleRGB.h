#pragma once

#include <QMetaType>
#include <QtGlobal>

#include <type_traits>

#pragma pack(push, 1)
// The receiver's light settings as the device library exchanges them: byte 0
// is the light mode (1 to 3, 0 none); the other nine bytes belong to the
// library and are passed through untouched.
struct DongleRGB {
    quint8 Mode;
    quint8 LibraryBytes[9];
};
#pragma pack(pop)

static_assert(sizeof(DongleRGB) == 10);
static_assert(std::is_trivially_copyable_v<DongleRGB>);

Q_DECLARE_METATYPE(DongleRGB*)
