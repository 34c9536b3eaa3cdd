#include "FirmwareImage.h"

#include "DumpCodec.h"

#include <algorithm>
#include <cstring>

namespace devicelib {

namespace {

constexpr std::uint8_t kMagic[4] = {'T', 'V', 'F', 'W'};
constexpr std::uint8_t kFormat = 1;
constexpr std::size_t kDescriptionOffset = 23;
constexpr std::size_t kNameOffset = 87;
constexpr std::size_t kTextField = 64;

std::uint32_t readLe32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

void writeLe32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::string readText(const std::uint8_t* p)
{
    std::size_t n = 0;
    while (n < kTextField && p[n] != 0)
        ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}

void writeText(std::uint8_t* p, const std::string& text)
{
    std::memcpy(p, text.data(), std::min(text.size(), kTextField));
}

} // namespace

bool parseFirmwareHeader(const std::uint8_t* image, long long imageSize, FirmwareHeader& header)
{
    if (!image || imageSize < static_cast<long long>(kFirmwareHeaderSize) || std::memcmp(image, kMagic, 4) != 0 ||
        image[12] != kFormat)
        return false;
    FirmwareHeader h;
    h.bodyLength = readLe32(image + 4);
    h.bodyCrc = readLe32(image + 8);
    h.receiverClass = image[13];
    h.version = readLe32(image + 16);
    h.kind = image[20];
    h.cid = image[21];
    h.mid = image[22];
    h.description = readText(image + kDescriptionOffset);
    h.name = readText(image + kNameOffset);
    if (h.kind != kMouseImage && h.kind != kReceiverImage)
        return false;
    if (h.bodyLength == 0 || h.bodyLength > kMaxFirmwareBody ||
        static_cast<long long>(h.bodyLength) > imageSize - static_cast<long long>(kFirmwareHeaderSize))
        return false;
    const bool classOk = h.kind == kMouseImage ? h.receiverClass == 0
                                               : (h.receiverClass == 1 || h.receiverClass == 2 ||
                                                  h.receiverClass == 4 || h.receiverClass == 8);
    if (!classOk)
        return false;
    header = h;
    return true;
}

bool firmwareBodyIntact(const std::uint8_t* image, const FirmwareHeader& header)
{
    return crc32(image + kFirmwareHeaderSize, header.bodyLength) == header.bodyCrc;
}

std::vector<std::uint8_t> buildFirmwareImage(FirmwareHeader header, const std::vector<std::uint8_t>& body)
{
    std::vector<std::uint8_t> image(kFirmwareHeaderSize + body.size(), 0);
    std::memcpy(image.data(), kMagic, 4);
    writeLe32(image.data() + 4, static_cast<std::uint32_t>(body.size()));
    writeLe32(image.data() + 8, crc32(body.data(), body.size()));
    image[12] = kFormat;
    image[13] = header.receiverClass;
    writeLe32(image.data() + 16, header.version);
    image[20] = header.kind;
    image[21] = header.cid;
    image[22] = header.mid;
    writeText(image.data() + kDescriptionOffset, header.description);
    writeText(image.data() + kNameOffset, header.name);
    std::memcpy(image.data() + kFirmwareHeaderSize, body.data(), body.size());
    return image;
}

} // namespace devicelib
