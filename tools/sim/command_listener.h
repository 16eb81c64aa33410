#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qvsim {

enum class CommandKind { SirfColdStart, SkytraqColdStart, Ignored };

struct CommandEvent {
    CommandKind kind;
    std::string detail;  // what was ignored and why; empty for a recognised command
};

// A SiRF "$PSRF101" navigation-initialisation sentence with a valid checksum and
// reset configuration 4 (cold start). `line` has no CR LF. On false, `why` says
// what is wrong with it.
bool isSirfColdStart(std::string_view line, std::string* why = nullptr);

// A complete Skytraq binary frame (A0 A1, length, payload, checksum, 0D 0A) that is
// a system restart in cold-start mode.
bool isSkytraqColdStart(const std::vector<std::uint8_t>& frame, std::string* why = nullptr);

// Splits what the viewer writes to the receiver into NMEA text lines and Skytraq
// binary frames, in any chunking, and says which are cold-start commands.
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
