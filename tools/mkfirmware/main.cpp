// Writes the firmware images that ship beside the program: one mouse image and
// one image per receiver class for each supported model.
#include "FirmwareImage.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct ImageRow {
    const char* name;
    int mid;
    std::uint8_t kind;
    std::uint8_t receiverClass;
};

constexpr std::uint8_t kCid = 33;
constexpr std::uint32_t kMouseVersion = 0x0107;
constexpr std::uint32_t kReceiverVersion = 0x0104;

constexpr ImageRow kImages[] = {
    {"R430K_M", 1, devicelib::kMouseImage, 0},         {"R430K_D1K", 1, devicelib::kReceiverImage, 1},
    {"R430K_D2K", 1, devicelib::kReceiverImage, 2},    {"R430K_D4K", 1, devicelib::kReceiverImage, 4},
    {"R430K_D8K", 1, devicelib::kReceiverImage, 8},    {"R430KPro_M", 2, devicelib::kMouseImage, 0},
    {"R430KPro_D1K", 2, devicelib::kReceiverImage, 1}, {"R430KPro_D2K", 2, devicelib::kReceiverImage, 2},
    {"R430KPro_D4K", 2, devicelib::kReceiverImage, 4}, {"R430KPro_D8K", 2, devicelib::kReceiverImage, 8},
};

// Deterministic filler, so every build ships byte-identical images.
std::vector<std::uint8_t> body(const std::string& seedText, std::size_t size)
{
    std::uint32_t x = 2166136261u;
    for (unsigned char c : seedText)
        x = (x ^ c) * 16777619u;
    std::vector<std::uint8_t> out(size);
    for (auto& b : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<std::uint8_t>(x);
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkfirmware <output folder>\n");
        return 2;
    }
    const std::filesystem::path dir(argv[1]);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    for (const ImageRow& row : kImages) {
        devicelib::FirmwareHeader h;
        const bool mouse = row.kind == devicelib::kMouseImage;
        h.version = mouse ? kMouseVersion : kReceiverVersion;
        h.kind = row.kind;
        h.cid = kCid;
        h.mid = static_cast<std::uint8_t>(row.mid);
        h.receiverClass = row.receiverClass;
        h.name = row.name;
        h.description = mouse ? "TALVO R430K mouse firmware" : "TALVO R430K receiver firmware";
        const auto image = devicelib::buildFirmwareImage(h, body(row.name, mouse ? 24576 : 16384));
        const auto tmp = dir / (std::string(row.name) + ".bin.tmp");
        {
            std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
            f.write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()));
            if (!f) {
                std::fprintf(stderr, "mkfirmware: cannot write %s\n", tmp.string().c_str());
                return 1;
            }
        }
        std::filesystem::rename(tmp, dir / (std::string(row.name) + ".bin"), ec);
        if (ec) {
            std::fprintf(stderr, "mkfirmware: %s\n", ec.message().c_str());
            return 1;
        }
    }
    return 0;
}
