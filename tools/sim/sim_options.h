#pragma once

#include "fault_injector.h"
#include "sim_world.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace qvsim {

struct SimOptions {
    WorldConfig world;
    bool startTimeGiven = false;  // otherwise the world starts at the system clock
    int baud = 9600;
    double pace = 1.0;
    long long cycles = 0;  // 0: run until stopped
    bool waitOpen = false;
    bool ignoreRestarts = false;  // a receiver that does not obey restart commands
    std::string transcript;
    std::string tcpListen;  // serve on this [ADDRESS:]PORT instead of a pseudo-terminal
    std::string udpTarget;  // or send datagrams to this HOST:PORT

    std::string playFile;
    double rate = 0.0;  // lines per second; 0: the recording's own timing
    bool loop = false;

    FaultRates faults;
    std::optional<double> stallAfter;
    double stallFor = 5.0;
    std::optional<double> hangupAfter;
};

struct HelpRequested {};
struct OptionError {
    std::string message;  // one line, without the program name
};

using ParseResult = std::variant<SimOptions, HelpRequested, OptionError>;

ParseResult parseOptions(const std::vector<std::string>& args);
std::string helpText();

}  // namespace qvsim
