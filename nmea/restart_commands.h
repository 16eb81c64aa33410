#pragma once
// The restart commands of the receiver families people test: the window's
// cold start and quorvane-ttff both take their bytes from here, so the two
// never disagree about what a chip is told.

#include <optional>
#include <string>
#include <string_view>

namespace restart {

enum class Chip { Sirf, Skytraq, Mtk, Ublox };
enum class Start { Hot, Warm, Cold };

// The complete bytes to write: NMEA sentences with their CR LF, binary
// messages whole. Held in a std::string, which carries any byte.
std::string CommandBytes(Chip chip, Start start);

// For the NMEA families (SiRF, MediaTek): the sentence without its CR LF;
// empty for the binary ones.
std::string CommandSentence(Chip chip, Start start);

// "$" + body + "*" + two upper-case hex digits of the XOR of the body.
std::string WithNmeaChecksum(std::string_view body);

// The names the command line uses: "sirf", "skytraq", "mtk", "ublox";
// "hot", "warm", "cold".
std::string_view ChipName(Chip chip);
std::string_view StartName(Start start);
std::optional<Chip> ParseChip(std::string_view name);
std::optional<Start> ParseStart(std::string_view name);

}  // namespace restart
