#pragma once

#include "receiver_state.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qvsim {

// Exclusive-or of every character of the sentence body (between "$" and "*").
std::uint8_t nmeaChecksum(std::string_view body);

// "$" + body + "*" + two upper-case hex digits + CR LF.
std::string finishSentence(std::string_view body);

std::string formatLatitude(double degrees);   // "ddmm.mmmm,N"
std::string formatLongitude(double degrees);  // "dddmm.mmmm,E"
std::string formatTime(Centis t);             // "hhmmss.ss"
std::string formatDate(Centis t);             // "ddmmyy"

std::string buildGga(const ReceiverState& s);
std::string buildGsa(const ReceiverState& s);
std::vector<std::string> buildGsv(const ReceiverState& s);
std::string buildRmc(const ReceiverState& s);
std::string buildRmb(const ReceiverState& s);
std::string buildZda(const ReceiverState& s);

// One second of output: GGA, GSA, the GSV messages, RMC, RMB (only with a
// waypoint) and ZDA, each a complete sentence with CR LF.
std::vector<std::string> buildCycle(const ReceiverState& s);

}  // namespace qvsim
