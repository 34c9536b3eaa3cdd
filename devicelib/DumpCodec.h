#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace devicelib {

// Sizes of the configuration image and of what the mouse keeps of it.
constexpr std::size_t kImageSize = 10428;
constexpr std::size_t kMacroOffset = 956;
constexpr std::size_t kMacroSize = 592;
constexpr std::size_t kStoredMacroSlots = 10;
// The mouse stores the image up to the end of macro slot 9; dump offsets equal image offsets.
constexpr std::size_t kStoredSize = kMacroOffset + kStoredMacroSlots * kMacroSize;
constexpr std::size_t kDumpSize = 6912;
constexpr std::size_t kTrailerSize = kDumpSize - kStoredSize;
constexpr int kProfileCount = 4;
static_assert(kStoredSize == 6876 && kTrailerSize == 36, "dump layout");

// Report bookkeeping: a 64-byte report carries an 8-byte header.
constexpr std::size_t kReportSize = 64;
constexpr std::size_t kReportPayload = 56;
// A flash write carries offset (2), length (1) and command (1) beside the report id.
constexpr std::size_t kWritePayload = 59;

using Profile = std::array<std::uint8_t, kStoredSize>;

std::uint32_t crc32(const std::uint8_t* data, std::size_t size);
int reportsFor(std::size_t payloadBytes);

// Factory values of one configuration profile of a mouse of the given model.
Profile factoryProfile(int model);

std::vector<std::uint8_t> encodeDump(const Profile& profile, int activeProfile);
// False, image untouched, unless dump carries a valid trailer.
bool decodeDump(const std::uint8_t* dump, std::uint8_t* image);

// One flash write: bytes [offset, offset + bytes.size()) of the stored range.
struct WriteChunk {
    std::uint16_t offset = 0;
    std::vector<std::uint8_t> bytes;
};
// The fewest writes that bring `held` to `wanted` over the stored range.
std::vector<WriteChunk> planWrites(const std::uint8_t* held, const std::uint8_t* wanted);

std::vector<std::uint8_t> encodeDpiLed(const std::uint8_t* imageDpiLed);
bool decodeDpiLed(const std::uint8_t* data, std::uint8_t* out);
std::vector<std::uint8_t> encodeLedBar(const std::uint8_t* imageLedBar);
bool decodeLedBar(const std::uint8_t* data, std::uint8_t* out);

// Offsets in the image used by the device side.
constexpr std::size_t kOffReportRate = 0;
constexpr std::size_t kOffDpiCount = 1;
constexpr std::size_t kOffDpiCurrent = 2;
constexpr std::size_t kOffDpiLed = 0x3F;
constexpr std::size_t kOffLedBar = 0x43;

} // namespace devicelib
