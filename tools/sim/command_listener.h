#pragma once

#include "receiver_state.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvsim {

enum class CommandKind { Restart, Ignored };

struct CommandEvent {
    CommandKind kind;
    std::string detail;  // what was ignored and why; empty for a recognised command
    std::string chip = {};  // for a restart: "SiRF", "Skytraq", "MTK" or "u-blox"
    StartKind start = StartKind::Cold;
};

// "hot", "warm" or "cold".
const char* startName(StartKind start);

// The restart a line asks for: a SiRF "$PSRF101" navigation initialisation with
// reset configuration 1 (hot), 2 (warm) or 4 (cold), or a MediaTek "$PMTK101"
// (hot), "$PMTK102" (warm) or "$PMTK103" (cold), each with a valid checksum.
// `line` has no CR LF. Sets `chip`; on nothing, `why` says what is wrong.
std::optional<StartKind> textRestart(std::string_view line, std::string* chip, std::string* why = nullptr);

// The restart a complete binary frame asks for: a Skytraq system restart (A0 A1,
// length, payload, XOR checksum, 0D 0A) in mode 1 hot, 2 warm or 3 cold, or a
// u-blox UBX-CFG-RST (B5 62 06 04, Fletcher checksum) with navBbrMask 0000 hot,
// 0001 warm or FFFF cold.
std::optional<StartKind> frameRestart(const std::vector<std::uint8_t>& frame, std::string* chip,
                                      std::string* why = nullptr);

// The viewer's own cold starts, as the window sends them.
bool isSirfColdStart(std::string_view line, std::string* why = nullptr);
bool isSkytraqColdStart(const std::vector<std::uint8_t>& frame, std::string* why = nullptr);

// Splits what the viewer writes to the receiver into NMEA text lines and binary
// frames (Skytraq, UBX), in any chunking, and says which are restart commands.
class CommandListener {
public:
    void feed(const std::uint8_t* data, std::size_t size, std::vector<CommandEvent>& out);
    void feed(std::string_view text, std::vector<CommandEvent>& out)
    {
        feed(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), out);
    }
    // Called when the line has been quiet for a while: a sentence still waiting for
    // its CR LF is judged as it is, any other partial input is reported.
    void flush(std::vector<CommandEvent>& out);
    bool pending() const { return !text_.empty() || !frame_.empty(); }

private:
    void feedByte(std::uint8_t b, std::vector<CommandEvent>& out);
    void feedFrameByte(std::uint8_t b, std::vector<CommandEvent>& out);
    void endFrame(std::vector<CommandEvent>& out);
    void endLine(std::vector<CommandEvent>& out);
    void reportText(std::string_view why, std::vector<CommandEvent>& out);

    static constexpr std::size_t kMaxLine = 255;
    static constexpr std::size_t kMaxPayload = 1024;

    std::string text_;
    bool overlong_ = false;
    std::vector<std::uint8_t> frame_;
};

// Printable form of received bytes for a report line: text as is, other bytes as
// \xHH, at most `limit` characters.
std::string escapeBytes(std::string_view bytes, std::size_t limit = 100);

}  // namespace qvsim
