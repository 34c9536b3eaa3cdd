#include "Simulator.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace devicelib {

// State file: one INI group per device name.
//   [Mouse1]     Model, Version, Active, Receiver (6 hex digits, "" none), Boot, Profile0..3 (hex)
//   [Receiver1]  Version, Light (20 hex digits), LongRange, Boot
namespace {

constexpr std::size_t kMaxStateFile = 1 << 20;

std::string toHex(const std::uint8_t* data, std::size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string s(size * 2, '0');
    for (std::size_t i = 0; i < size; ++i) {
        s[2 * i] = digits[data[i] >> 4];
        s[2 * i + 1] = digits[data[i] & 15];
    }
    return s;
}

bool fromHex(const std::string& s, std::uint8_t* out, std::size_t size)
{
    if (s.size() != size * 2)
        return false;
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    for (std::size_t i = 0; i < size; ++i) {
        const int hi = nibble(s[2 * i]), lo = nibble(s[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out[i] = std::uint8_t(hi << 4 | lo);
    }
    return true;
}

bool readNumber(const std::string& s, long lo, long hi, long& out)
{
    char* end = nullptr;
    const long v = std::strtol(s.c_str(), &end, 0);
    if (s.empty() || *end != '\0' || v < lo || v > hi)
        return false;
    out = v;
    return true;
}

using Groups = std::map<std::string, std::map<std::string, std::string>>;

Groups parseGroups(const std::string& text)
{
    Groups groups;
    std::string group, line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() > 2 && line.front() == '[' && line.back() == ']')
            group = line.substr(1, line.size() - 2);
        else if (const auto eq = line.find('='); eq != std::string::npos && !group.empty())
            groups[group][line.substr(0, eq)] = line.substr(eq + 1);
    }
    return groups;
}

} // namespace

bool Simulator::loadStateFile()
{
    std::string text;
    if (!readTextFile(m_statePath, text, kMaxStateFile))
        return false;
    const Groups groups = parseGroups(text);
    int rejected = 0;
    for (auto& m : m_mice) {
        const auto g = groups.find(m->setup.name);
        if (g == groups.end())
            continue;
        const auto& keys = g->second;
        long v = 0;
        auto get = [&keys](const char* k) {
            const auto it = keys.find(k);
            return it == keys.end() ? std::string() : it->second;
        };
        // Another model under the same name is another mouse: its flash does not apply.
        if (!readNumber(get("Model"), 1, 2, v) || v != m->setup.model) {
            ++rejected;
            continue;
        }
        if (readNumber(get("Version"), 0, 0xFFFF, v))
            m->version = std::uint16_t(v);
        if (readNumber(get("Active"), 0, kProfileCount - 1, v))
            m->activeProfile = int(v);
        if (readNumber(get("Boot"), 0, 1, v))
            m->bootMode = v != 0;
        std::array<std::uint8_t, 3> address{};
        const std::string receiver = get("Receiver");
        if (receiver.empty() && keys.count("Receiver"))
            m->hasReceiver = false;
        else if (fromHex(receiver, address.data(), 3))
            m->hasReceiver = true, m->receiverAddress = address;
        for (int i = 0; i < kProfileCount; ++i) {
            Profile p{};
            if (fromHex(get(("Profile" + std::to_string(i)).c_str()), p.data(), p.size()))
                m->profiles[std::size_t(i)] = p;
            else
                ++rejected;
        }
    }
    for (auto& r : m_receivers) {
        const auto g = groups.find(r->setup.name);
        if (g == groups.end())
            continue;
        const auto& keys = g->second;
        long v = 0;
        if (keys.count("Version") && readNumber(keys.at("Version"), 0, 0xFFFF, v))
            r->version = std::uint16_t(v);
        if (keys.count("LongRange") && readNumber(keys.at("LongRange"), 0, 1, v))
            r->longRange = v != 0;
        if (keys.count("Boot") && readNumber(keys.at("Boot"), 0, 1, v))
            r->bootMode = v != 0;
        if (keys.count("Light") && !fromHex(keys.at("Light"), r->light.data(), r->light.size()))
            ++rejected;
    }
    if (rejected)
        std::fprintf(stderr, "HIDUsb: %d entries of %s were not usable and keep their scenario values\n", rejected,
                     m_statePath.c_str());
    return true;
}

bool Simulator::writeStateFile()
{
    std::ostringstream out;
    char buf[32];
    for (const auto& m : m_mice) {
        std::snprintf(buf, sizeof buf, "0x%04x", m->version);
        out << '[' << m->setup.name << "]\nModel=" << m->setup.model << "\nVersion=" << buf
            << "\nActive=" << m->activeProfile
            << "\nReceiver=" << (m->hasReceiver ? toHex(m->receiverAddress.data(), 3) : std::string())
            << "\nBoot=" << (m->bootMode ? 1 : 0) << '\n';
        for (int i = 0; i < kProfileCount; ++i)
            out << "Profile" << i << '=' << toHex(m->profiles[std::size_t(i)].data(), kStoredSize) << '\n';
    }
    for (const auto& r : m_receivers) {
        std::snprintf(buf, sizeof buf, "0x%04x", r->version);
        out << '[' << r->setup.name << "]\nVersion=" << buf << "\nLight=" << toHex(r->light.data(), r->light.size())
            << "\nLongRange=" << (r->longRange ? 1 : 0) << "\nBoot=" << (r->bootMode ? 1 : 0) << '\n';
    }
    // Written beside and renamed over the old file: a crash leaves the old flash, never half of it.
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path target(m_statePath);
    if (target.has_parent_path())
        fs::create_directories(target.parent_path(), ec);
    const std::string tmp = m_statePath + ".tmp";
    const std::string data = out.str();
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        f.write(data.data(), std::streamsize(data.size()));
        f.flush();
        if (!f) {
            std::fprintf(stderr, "HIDUsb: cannot write %s\n", tmp.c_str());
            return false;
        }
    }
    fs::rename(tmp, target, ec);
    if (ec) {
        std::fprintf(stderr, "HIDUsb: cannot replace %s: %s\n", m_statePath.c_str(), ec.message().c_str());
        return false;
    }
    m_dirty = false;
    return true;
}

bool Simulator::saveState()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return writeStateFile();
}

void Simulator::forgetState()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::error_code ec;
    std::filesystem::remove(m_statePath, ec);
    m_dirty = false;
    buildDevices(m_scenario);
}

} // namespace devicelib
