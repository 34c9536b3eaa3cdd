#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace devicelib {

// Firmware image file: a 728-byte header, then the body.
//   0-3 "TVFW", 4-7 body length, 8-11 CRC-32 of the body (both little-endian),
//   12 header format (1), 13 receiver class the image is for (0 for a mouse),
//   16-19 version, 20 kind (210 mouse, 211 receiver), 21 CID, 22 MID,
//   23-86 description, 87-150 image name (NUL-padded), rest of the header zero.
constexpr std::size_t kFirmwareHeaderSize = 728;
constexpr std::uint8_t kMouseImage = 210;
constexpr std::uint8_t kReceiverImage = 211;
// Bodies beyond this are refused, whatever buffer holds them: no image of ours
// comes near it.
constexpr std::uint32_t kMaxFirmwareBody = 1u << 20;

struct FirmwareHeader {
    std::uint32_t version = 0;
    std::uint8_t kind = 0;
    std::uint8_t cid = 0;
    std::uint8_t mid = 0;
    std::uint8_t receiverClass = 0;
    std::string name;
    std::string description;
    std::uint32_t bodyLength = 0;
    std::uint32_t bodyCrc = 0;
};

// Reads the header of an image buffer of imageSize bytes; false when the buffer
// does not hold the header and the body length it states, or when the magic,
// format, kind or length is not sane.
bool parseFirmwareHeader(const std::uint8_t* image, long long imageSize, FirmwareHeader& header);
// The body after a parsed header matches its CRC.
bool firmwareBodyIntact(const std::uint8_t* image, const FirmwareHeader& header);
std::vector<std::uint8_t> buildFirmwareImage(FirmwareHeader header, const std::vector<std::uint8_t>& body);

} // namespace devicelib
