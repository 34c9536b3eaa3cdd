#include "Scenario.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace devicelib {

namespace {

constexpr std::size_t kMaxScenarioBytes = 1 << 20;

std::string trim(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool startsWith(const std::string& s, const char* prefix)
{
    return s.rfind(prefix, 0) == 0;
}

bool parseInt(const std::string& text, long lo, long hi, int& out)
{
    const std::string t = trim(text);
    if (t.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(t.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || v < lo || v > hi)
        return false;
    out = int(v);
    return true;
}

bool parseBool(const std::string& text, bool& out)
{
    std::string t = trim(text);
    std::transform(t.begin(), t.end(), t.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (t == "true" || t == "1" || t == "yes" || t == "on")
        out = true;
    else if (t == "false" || t == "0" || t == "no" || t == "off")
        out = false;
    else
        return false;
    return true;
}

bool parseAddress(const std::string& text, std::array<std::uint8_t, 3>& out)
{
    std::stringstream ss(text);
    std::string item;
    int n = 0;
    while (std::getline(ss, item, ',')) {
        int v = 0;
        if (n >= 3 || !parseInt(item, 0, 255, v))
            return false;
        out[std::size_t(n++)] = std::uint8_t(v);
    }
    return n == 3 && (out[0] | out[1] | out[2]) != 0;
}

struct Parser {
    Scenario& sc;
    std::string& error;
    int* failedLine;
    int line = 0;

    bool fail(const std::string& what)
    {
        if (failedLine)
            *failedLine = line;
        error = "scenario line " + std::to_string(line) + ": " + what;
        return false;
    }

    bool simulatorKey(const std::string& key, const std::string& value)
    {
        if (key == "BusMicroseconds")
            return parseInt(value, 0, 1000000, sc.busMicroseconds) || fail("BusMicroseconds must be 0 to 1000000");
        if (key == "PairDelayMs")
            return parseInt(value, 0, 600000, sc.pairDelayMs) || fail("PairDelayMs must be 0 to 600000");
        if (key == "PairTimeoutMs")
            return parseInt(value, 0, 600000, sc.pairTimeoutMs) || fail("PairTimeoutMs must be 0 to 600000");
        return fail("unknown key " + key);
    }

    bool mouseKey(MouseSetup& m, const std::string& key, const std::string& value)
    {
        int v = 0;
        if (key == "Model")
            return parseInt(value, 1, 2, m.model) || fail("Model must be 1 or 2");
        if (key == "Cable")
            return parseBool(value, m.cable) || fail("Cable must be true or false");
        if (key == "CableKind") {
            if (!parseInt(value, 0, 255, v))
                return fail("CableKind must be 0 to 255");
            m.cableKind = std::uint8_t(v);
            return true;
        }
        if (key == "Awake")
            return parseBool(value, m.awake) || fail("Awake must be true or false");
        if (key == "Battery")
            return parseInt(value, 0, 100, m.battery) || fail("Battery must be 0 to 100");
        if (key == "Charging")
            return parseBool(value, m.charging) || fail("Charging must be true or false");
        if (key == "Pairable")
            return parseBool(value, m.pairable) || fail("Pairable must be true or false");
        if (key == "Version") {
            if (!parseInt(value, 0, 0xFFFF, v))
                return fail("Version must be 0 to 0xFFFF");
            m.version = std::uint16_t(v);
            return true;
        }
        return fail("unknown key " + key);
    }

    bool receiverKey(ReceiverSetup& r, const std::string& key, const std::string& value)
    {
        int v = 0;
        if (key == "Class") {
            if (!parseInt(value, 1, 8, v) || (v != 1 && v != 2 && v != 4 && v != 8))
                return fail("Class must be 1, 2, 4 or 8");
            r.receiverClass = v;
            return true;
        }
        if (key == "Mouse") {
            r.mouse = trim(value);
            return true;
        }
        if (key == "Model")
            return parseInt(value, 1, 2, r.model) || fail("Model must be 1 or 2");
        if (key == "Plugged")
            return parseBool(value, r.plugged) || fail("Plugged must be true or false");
        if (key == "Version") {
            if (!parseInt(value, 0, 0xFFFF, v))
                return fail("Version must be 0 to 0xFFFF");
            r.version = std::uint16_t(v);
            return true;
        }
        if (key == "Address") {
            r.hasAddress = parseAddress(value, r.address);
            return r.hasAddress || fail("Address must be three bytes, not all zero");
        }
        return fail("unknown key " + key);
    }

    bool eventLine(const std::string& value)
    {
        static const char* const kActions[] = {"plug",     "unplug", "wake",    "sleep",   "battery",
                                               "charging", "dpi",    "profile", "pairable"};
        std::istringstream in(value);
        EventSpec e;
        std::string at;
        in >> at >> e.action >> e.target;
        if (!parseInt(at, 0, 24 * 3600 * 1000, e.atMs))
            return fail("event time must be milliseconds");
        if (std::find(std::begin(kActions), std::end(kActions), e.action) == std::end(kActions))
            return fail("unknown event action '" + e.action + "'");
        if (e.target.empty())
            return fail("event without a device");
        // Actions that carry a number, and its range.
        struct ArgRow {
            const char* action;
            int hi;
        };
        static const ArgRow kArgs[] = {{"battery", 100}, {"charging", 1}, {"profile", 3}};
        const auto row =
            std::find_if(std::begin(kArgs), std::end(kArgs), [&](const ArgRow& r) { return e.action == r.action; });
        std::string arg;
        const bool hasArg = bool(in >> arg);
        if (row == std::end(kArgs) && hasArg)
            return fail("event '" + e.action + "' takes no number");
        if (row != std::end(kArgs) && (!hasArg || !parseInt(arg, 0, row->hi, e.argument)))
            return fail("event '" + e.action + "' needs a number from 0 to " + std::to_string(row->hi));
        sc.events.push_back(e);
        return true;
    }
};

bool checkReferences(Scenario& sc, std::string& error)
{
    std::vector<std::string> names;
    for (const auto& m : sc.mice)
        names.push_back(m.name);
    for (const auto& r : sc.receivers)
        names.push_back(r.name);
    auto sorted = names;
    std::sort(sorted.begin(), sorted.end());
    if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end())
        return error = "scenario: a device name is used twice", false;
    std::vector<std::string> pairedMice;
    for (auto& r : sc.receivers) {
        if (r.mouse.empty())
            continue;
        const auto m =
            std::find_if(sc.mice.begin(), sc.mice.end(), [&](const MouseSetup& x) { return x.name == r.mouse; });
        if (m == sc.mice.end())
            return error = "scenario: receiver " + r.name + " names no mouse " + r.mouse, false;
        if (std::find(pairedMice.begin(), pairedMice.end(), r.mouse) != pairedMice.end())
            return error = "scenario: mouse " + r.mouse + " is paired with two receivers", false;
        pairedMice.push_back(r.mouse);
        if (r.model == 0)
            r.model = m->model;
    }
    for (auto& r : sc.receivers)
        if (r.model == 0)
            r.model = 1;
    for (const auto& e : sc.events)
        if (std::find(names.begin(), names.end(), e.target) == names.end())
            return error = "scenario: event names no device " + e.target, false;
    return true;
}

} // namespace

std::uint8_t receiverKind(int receiverClass)
{
    switch (receiverClass) {
    case 2: return 4;
    case 4: return 1;
    case 8: return 5;
    default: return 0;
    }
}

Scenario defaultScenario()
{
    Scenario sc;
    MouseSetup m;
    m.name = "Mouse1";
    ReceiverSetup r;
    r.name = "Receiver1";
    r.mouse = "Mouse1";
    r.model = 1;
    sc.mice.push_back(m);
    sc.receivers.push_back(r);
    return sc;
}

bool parseScenario(const std::string& text, Scenario& scenario, std::string& error, int* line)
{
    Scenario sc;
    Parser p{sc, error, line};
    if (line)
        *line = 0;
    enum class Group { None, Simulator, Mouse, Receiver, Events } group = Group::None;
    std::istringstream in(text);
    std::string raw;
    while (std::getline(in, raw)) {
        ++p.line;
        const std::string s = trim(raw);
        if (s.empty() || s[0] == '#' || s[0] == ';')
            continue;
        if (s.front() == '[') {
            if (s.back() != ']')
                return p.fail("unclosed group name");
            const std::string name = trim(s.substr(1, s.size() - 2));
            if (name == "Simulator")
                group = Group::Simulator;
            else if (name == "Events")
                group = Group::Events;
            else if (startsWith(name, "Mouse") && name.size() > 5)
                group = Group::Mouse, sc.mice.push_back(MouseSetup{}), sc.mice.back().name = name;
            else if (startsWith(name, "Receiver") && name.size() > 8)
                group = Group::Receiver, sc.receivers.push_back(ReceiverSetup{}), sc.receivers.back().name = name;
            else
                return p.fail("unknown group [" + name + "]");
            continue;
        }
        const auto eq = s.find('=');
        if (eq == std::string::npos)
            return p.fail("expected key=value");
        const std::string key = trim(s.substr(0, eq));
        const std::string value = trim(s.substr(eq + 1));
        bool ok = false;
        switch (group) {
        case Group::None: return p.fail("key outside a group");
        case Group::Simulator: ok = p.simulatorKey(key, value); break;
        case Group::Mouse: ok = p.mouseKey(sc.mice.back(), key, value); break;
        case Group::Receiver: ok = p.receiverKey(sc.receivers.back(), key, value); break;
        case Group::Events: ok = p.eventLine(value); break;
        }
        if (!ok)
            return false;
    }
    if (sc.mice.empty() && sc.receivers.empty())
        return error = "scenario: no devices", false;
    if (!checkReferences(sc, error))
        return false;
    std::stable_sort(sc.events.begin(), sc.events.end(),
                     [](const EventSpec& a, const EventSpec& b) { return a.atMs < b.atMs; });
    scenario = std::move(sc);
    return true;
}

bool loadScenarioFile(const std::string& path, Scenario& scenario, std::string& error, ScenarioFault* fault)
{
    std::string shown = path;
    std::error_code ec;
    std::string looked = path;
    if (std::filesystem::path(path).is_relative()) {
        const auto absolute = std::filesystem::absolute(path, ec);
        if (!ec) {
            looked = absolute.lexically_normal().string();
            shown += " (" + looked + ")";
        }
    }
    ScenarioFault found;
    found.file = looked;
    std::string text, why;
    bool ok = readTextFile(path, text, kMaxScenarioBytes, &why, &found.kind);
    if (!ok) {
        error = "cannot read the scenario " + shown + ": " + why;
    } else if (!parseScenario(text, scenario, why, &found.line)) {
        found.kind = ScenarioFault::Malformed;
        // The parser's messages start with "scenario"; here the file is named instead.
        for (const char* lead : {"scenario: ", "scenario "})
            if (startsWith(why, lead))
                why.erase(0, std::strlen(lead));
        error = "the scenario " + shown + " is malformed: " + why;
        ok = false;
    }
    if (fault)
        *fault = ok ? ScenarioFault{} : found;
    return ok;
}

bool readTextFile(const std::string& path, std::string& text, std::size_t maxBytes, std::string* why,
                  ScenarioFault::Kind* kind)
{
    auto failed = [why, kind](std::string cause, ScenarioFault::Kind fault = ScenarioFault::Unreadable) {
        if (why)
            *why = std::move(cause);
        if (kind)
            *kind = fault;
        return false;
    };
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found)
        return failed("no such file", ScenarioFault::Missing);
    if (ec)
        return failed(ec.message());
    if (status.type() == fs::file_type::directory)
        return failed("it is a folder, not a file", ScenarioFault::NotAFile);
    if (status.type() != fs::file_type::regular)
        return failed("it is not a regular file", ScenarioFault::NotAFile);
    const auto size = fs::file_size(path, ec);
    if (!ec && size > maxBytes)
        return failed("it is larger than " + std::to_string(maxBytes) + " bytes");
    errno = 0;
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return failed(errno ? std::strerror(errno) : "it cannot be opened");
    std::string data;
    data.resize(maxBytes + 1);
    f.read(&data[0], std::streamsize(data.size()));
    const auto got = std::size_t(f.gcount());
    if (f.bad())
        return failed("it cannot be read");
    if (got > maxBytes)
        return failed("it is larger than " + std::to_string(maxBytes) + " bytes");
    data.resize(got);
    text = std::move(data);
    return true;
}

} // namespace devicelib
