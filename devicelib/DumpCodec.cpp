#include "DumpCodec.h"

#include <algorithm>
#include <cstring>

namespace devicelib {

namespace {

constexpr std::uint8_t kTrailerMagic[4] = {'R', '4', '3', '0'};
constexpr std::uint8_t kTrailerFormat = 1;

struct DpiRow {
    int dpi;
    std::uint8_t r, g, b;
};
constexpr DpiRow kFactoryDpi[8] = {{400, 255, 0, 0},       {800, 0, 255, 0},    {1600, 0, 0, 255},
                                   {3200, 255, 255, 0},    {6400, 255, 0, 255}, {12800, 0, 255, 255},
                                   {16000, 255, 255, 255}, {26000, 255, 128, 0}};

// Button slots in image order, as the shipped Config.ini lists them: left, right, middle, back, forward, DPI cycle.
constexpr std::uint8_t kFactoryButtons[6][3] = {{1, 1, 0}, {1, 2, 0}, {1, 4, 0}, {1, 8, 0}, {1, 16, 0}, {2, 1, 0}};

std::uint8_t byteSum(const std::uint8_t* data, std::size_t count)
{
    unsigned sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum += data[i];
    return static_cast<std::uint8_t>(sum & 0xFF);
}

} // namespace

std::uint32_t crc32(const std::uint8_t* data, std::size_t size)
{
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

int reportsFor(std::size_t payloadBytes)
{
    return payloadBytes == 0 ? 1 : int((payloadBytes + kReportPayload - 1) / kReportPayload);
}

Profile factoryProfile(int model)
{
    Profile p{};
    p[kOffReportRate] = 1; // 1000 Hz
    p[kOffDpiCount] = 4;
    p[kOffDpiCurrent] = 1;
    p[3] = 0x01; // device-owned bytes the tool must carry through unchanged
    p[4] = 0x02;
    p[5] = 1;   // lift-off 1 mm
    p[6] = 4;   // debounce
    p[8] = 6;   // sleep after 60 s
    p[13] = 30; // performance time
    for (int i = 0; i < 8; ++i) {
        std::uint8_t* level = &p[15 + 6 * i];
        const int code = kFactoryDpi[i].dpi / 50 - 1;
        level[0] = static_cast<std::uint8_t>(code & 0xFF);
        level[1] = static_cast<std::uint8_t>(code & 0xFF);
        level[2] = static_cast<std::uint8_t>(((code >> 8) * 0x11) << 2);
        level[3] = kFactoryDpi[i].r;
        level[4] = kFactoryDpi[i].g;
        level[5] = kFactoryDpi[i].b;
    }
    const std::uint8_t dpiLed[4] = {1, 3, 3, 1};
    std::memcpy(&p[kOffDpiLed], dpiLed, sizeof dpiLed);
    // The Pro model ships with a warmer light so the two are told apart at a glance.
    const std::uint8_t ledBar[7] = {1,
                                    model == 2 ? std::uint8_t(255) : std::uint8_t(0),
                                    model == 2 ? std::uint8_t(176) : std::uint8_t(194),
                                    model == 2 ? std::uint8_t(32) : std::uint8_t(255),
                                    3,
                                    3,
                                    1};
    std::memcpy(&p[kOffLedBar], ledBar, sizeof ledBar);
    for (int slot = 0; slot < 6; ++slot)
        std::memcpy(&p[74 + 3 * slot], kFactoryButtons[slot], 3);
    p[122] = 0x5A; // reserved bytes, also carried through
    p[123] = 0xA5;
    return p;
}

std::vector<std::uint8_t> encodeDump(const Profile& profile, int activeProfile)
{
    std::vector<std::uint8_t> dump(kDumpSize, 0);
    std::memcpy(dump.data(), profile.data(), kStoredSize);
    std::uint8_t* trailer = dump.data() + kStoredSize;
    std::memcpy(trailer, kTrailerMagic, 4);
    trailer[4] = kTrailerFormat;
    trailer[5] = static_cast<std::uint8_t>(activeProfile);
    trailer[6] = kProfileCount;
    trailer[7] = kStoredMacroSlots;
    const std::uint32_t crc = crc32(dump.data(), kStoredSize);
    for (int i = 0; i < 4; ++i)
        trailer[8 + i] = static_cast<std::uint8_t>(crc >> (8 * i));
    return dump;
}

bool decodeDump(const std::uint8_t* dump, std::uint8_t* image)
{
    if (!dump || !image)
        return false;
    const std::uint8_t* trailer = dump + kStoredSize;
    if (std::memcmp(trailer, kTrailerMagic, 4) != 0 || trailer[4] != kTrailerFormat || trailer[7] != kStoredMacroSlots)
        return false;
    std::uint32_t crc = 0;
    for (int i = 0; i < 4; ++i)
        crc |= std::uint32_t(trailer[8 + i]) << (8 * i);
    if (crc != crc32(dump, kStoredSize))
        return false;
    std::memcpy(image, dump, kStoredSize);
    std::memset(image + kStoredSize, 0, kImageSize - kStoredSize);
    return true;
}

std::vector<WriteChunk> planWrites(const std::uint8_t* held, const std::uint8_t* wanted)
{
    // Greedy cover of the differing bytes by windows of one write's payload:
    // each window starts at the first byte not yet covered, which is optimal.
    std::vector<WriteChunk> chunks;
    constexpr std::size_t kBlock = 64;
    std::size_t i = 0;
    while (i < kStoredSize) {
        // Equal stretches are skipped a block at a time: an edit touches few bytes.
        if (i % kBlock == 0 && i + kBlock <= kStoredSize && std::memcmp(held + i, wanted + i, kBlock) == 0) {
            i += kBlock;
            continue;
        }
        if (held[i] == wanted[i]) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        const std::size_t limit = std::min(kStoredSize, start + kWritePayload);
        std::size_t last = start;
        for (std::size_t k = start; k < limit; ++k)
            if (held[k] != wanted[k])
                last = k;
        WriteChunk chunk;
        chunk.offset = static_cast<std::uint16_t>(start);
        chunk.bytes.assign(wanted + start, wanted + last + 1);
        chunks.push_back(std::move(chunk));
        i = last + 1;
    }
    return chunks;
}

std::vector<std::uint8_t> encodeDpiLed(const std::uint8_t* in)
{
    std::vector<std::uint8_t> data = {in[0], in[1], in[2], in[3], 0, 0, 0, 0};
    data[7] = byteSum(data.data(), 7);
    return data;
}

bool decodeDpiLed(const std::uint8_t* data, std::uint8_t* out)
{
    if (!data || !out || byteSum(data, 7) != data[7])
        return false;
    std::memcpy(out, data, 4);
    return true;
}

std::vector<std::uint8_t> encodeLedBar(const std::uint8_t* in)
{
    // Image order is mode, red, green, blue, speed, brightness, on; the wire puts
    // the effect settings first.
    std::vector<std::uint8_t> data = {in[0], in[4], in[5], in[1], in[2], in[3], in[6], 0, 0};
    data[8] = byteSum(data.data(), 8);
    return data;
}

bool decodeLedBar(const std::uint8_t* data, std::uint8_t* out)
{
    if (!data || !out || byteSum(data, 8) != data[8])
        return false;
    const std::uint8_t image[7] = {data[0], data[3], data[4], data[5], data[1], data[2], data[6]};
    std::memcpy(out, image, sizeof image);
    return true;
}

} // namespace devicelib
