#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace devicelib {

struct MouseSetup {
    std::string name;
    int model = 1;
    bool cable = false;
    // A mouse on its cable reports a kind outside the receiver kinds 0, 1, 4, 5.
    std::uint8_t cableKind = 2;
    bool awake = true;
    int battery = 80;
    bool charging = false;
    std::uint16_t version = 0x0105;
    bool pairable = false;
};

struct ReceiverSetup {
    std::string name;
    int receiverClass = 4;
    std::string mouse;
    int model = 0; // 0: the paired mouse's model, else 1
    bool plugged = true;
    std::uint16_t version = 0x0103;
    bool hasAddress = false;
    std::array<std::uint8_t, 3> address{};
};

struct EventSpec {
    int atMs = 0;
    std::string action;
    std::string target;
    int argument = 0;
};

struct Scenario {
    int busMicroseconds = -1; // -1: not given
    int pairDelayMs = 1500;
    int pairTimeoutMs = 10000;
    std::vector<MouseSetup> mice;
    std::vector<ReceiverSetup> receivers;
    std::vector<EventSpec> events;
};

// What kept a scenario file from use, for a caller that tells the user in their own words.
struct ScenarioFault {
    enum Kind { None = 0, Missing = 1, Unreadable = 2, NotAFile = 3, Malformed = 4 };
    Kind kind = None;
    int line = 0;     // Malformed: the line at fault; 0 when it is the file as a whole
    std::string file; // the file as it was looked for: absolute
};

Scenario defaultScenario();
// Parses scenario INI text; false with a message naming the line on any error, and that
// line in *line when given (0 for a fault of the whole text, such as no devices).
bool parseScenario(const std::string& text, Scenario& scenario, std::string& error, int* line = nullptr);
// Reads a whole regular file of at most maxBytes. False on any failure, with the
// cause in *why when given ("no such file", "it is a folder", ...) and its kind in *kind
// (Missing, NotAFile or Unreadable); a FIFO or a device is refused unopened, so a read
// never blocks.
bool readTextFile(const std::string& path, std::string& text, std::size_t maxBytes, std::string* why = nullptr,
                  ScenarioFault::Kind* kind = nullptr);
// Reads and parses a scenario file. A relative path is taken from the current
// folder. The message names the file (and, for a relative path, where it was
// looked for) and the cause, as a user is to see it; *fault (when given) holds the same.
bool loadScenarioFile(const std::string& path, Scenario& scenario, std::string& error,
                      ScenarioFault* fault = nullptr);
// Kind a receiver of the class reports: 1000 Hz 0, 2000 Hz 4, 4000 Hz 1, 8000 Hz 5.
std::uint8_t receiverKind(int receiverClass);

} // namespace devicelib
