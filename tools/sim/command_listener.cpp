#include "command_listener.h"

#include <cctype>
#include <cstdio>

namespace qvsim {

namespace {

constexpr std::uint8_t kFrameStart0 = 0xA0;
constexpr std::uint8_t kFrameStart1 = 0xA1;

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool fail(std::string* why, const char* text)
{
    if (why)
        *why = text;
    return false;
}

std::string_view asText(const std::vector<std::uint8_t>& bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

std::string escapeBytes(std::string_view bytes, std::size_t limit)
{
    std::string out;
    for (char c : bytes) {
        if (out.size() >= limit) {
            out += "...";
            break;
        }
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F && c != '\\') {
            out += c;
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", u);
            out += buf;
        }
    }
    return out;
}

// $PSRF101,X,Y,Z,ClkOffset,TimeOfWeek,WeekNo,ChannelCount,ResetCfg*hh
bool isSirfColdStart(std::string_view line, std::string* why)
{
    if (line.substr(0, 9) != "$PSRF101,")
        return fail(why, "not a SiRF $PSRF101 sentence");
    const std::size_t star = line.find('*');
    if (star == std::string_view::npos || star + 3 != line.size())
        return fail(why, "no *hh checksum at the end");
    const int hi = hexValue(line[star + 1]);
    const int lo = hexValue(line[star + 2]);
    if (hi < 0 || lo < 0)
        return fail(why, "checksum is not two hex digits");
    std::uint8_t sum = 0;
    for (char c : line.substr(1, star - 1))
        sum ^= static_cast<std::uint8_t>(c);
    if (sum != hi * 16 + lo)
        return fail(why, "wrong checksum");
    std::vector<std::string_view> fields;
    std::string_view data = line.substr(9, star - 9);
    for (;;) {
        const std::size_t comma = data.find(',');
        fields.push_back(data.substr(0, comma));
        if (comma == std::string_view::npos)
            break;
        data.remove_prefix(comma + 1);
    }
    if (fields.size() != 8)
        return fail(why, "SiRF $PSRF101 needs 8 fields");
    if (fields[7] != "4")
        return fail(why, "SiRF reset configuration is not 4 (cold start)");
    return true;
}

bool isSkytraqColdStart(const std::vector<std::uint8_t>& frame, std::string* why)
{
    if (frame.size() < 7 || frame[0] != kFrameStart0 || frame[1] != kFrameStart1)
        return fail(why, "not a Skytraq binary frame");
    const std::size_t length = static_cast<std::size_t>(frame[2]) << 8 | frame[3];
    if (frame.size() != length + 7)
        return fail(why, "Skytraq frame length does not match its payload");
    std::uint8_t sum = 0;
    for (std::size_t i = 4; i < 4 + length; ++i)
        sum ^= frame[i];
    if (sum != frame[4 + length])
        return fail(why, "Skytraq frame with a wrong checksum");
    if (frame[5 + length] != 0x0D || frame[6 + length] != 0x0A)
        return fail(why, "Skytraq frame does not end in 0D 0A");
    if (length == 0 || frame[4] != 0x01)
        return fail(why, "Skytraq message is not a system restart");
    if (length != 15)
        return fail(why, "Skytraq system restart with a payload other than 15 bytes");
    if (frame[5] != 0x03)
        return fail(why, "Skytraq system restart not in cold-start mode");
    return true;
}

void CommandListener::feed(const std::uint8_t* data, std::size_t size, std::vector<CommandEvent>& out)
{
    for (std::size_t i = 0; i < size; ++i)
        feedByte(data[i], out);
}

void CommandListener::feedByte(std::uint8_t b, std::vector<CommandEvent>& out)
{
    if (!frame_.empty()) {
        feedFrameByte(b, out);
        return;
    }
    if (b == kFrameStart0) {
        if (!text_.empty())
            reportText("unterminated input", out);
        frame_.push_back(b);
        return;
    }
    if (b == '\r' || b == '\n') {
        endLine(out);
        return;
    }
    // A "$" starts a new sentence even when the previous one never got its line end.
    if (b == '$' && !text_.empty())
        reportText("unterminated input", out);
    if (text_.size() >= kMaxLine) {
        overlong_ = true;
        return;
    }
    text_ += static_cast<char>(b);
}

void CommandListener::feedFrameByte(std::uint8_t b, std::vector<CommandEvent>& out)
{
    frame_.push_back(b);
    if (frame_.size() == 2 && b != kFrameStart1) {
        // A lone A0 is noise; the byte after it gets a fresh look.
        frame_.pop_back();
        out.push_back({CommandKind::Ignored, "\"" + escapeBytes(asText(frame_)) + "\" (stray byte)"});
        frame_.clear();
        feedByte(b, out);
        return;
    }
    if (frame_.size() < 4)
        return;
    const std::size_t length = static_cast<std::size_t>(frame_[2]) << 8 | frame_[3];
    if (length > kMaxPayload) {
        out.push_back({CommandKind::Ignored, "\"" + escapeBytes(asText(frame_)) + "\" (Skytraq frame too long)"});
        frame_.clear();
        return;
    }
    if (frame_.size() < length + 7)
        return;
    std::string why;
    if (isSkytraqColdStart(frame_, &why))
        out.push_back({CommandKind::SkytraqColdStart, {}});
    else
        out.push_back({CommandKind::Ignored, "\"" + escapeBytes(asText(frame_)) + "\" (" + why + ")"});
    frame_.clear();
}

void CommandListener::endLine(std::vector<CommandEvent>& out)
{
    if (overlong_) {
        reportText("line too long", out);
        return;
    }
    if (text_.empty())
        return;
    std::string why;
    if (isSirfColdStart(text_, &why)) {
        out.push_back({CommandKind::SirfColdStart, {}});
        text_.clear();
        return;
    }
    reportText(why, out);
}

void CommandListener::reportText(std::string_view why, std::vector<CommandEvent>& out)
{
    out.push_back({CommandKind::Ignored, "\"" + escapeBytes(text_) + "\" (" + std::string(why) + ")"});
    text_.clear();
    overlong_ = false;
}

void CommandListener::flush(std::vector<CommandEvent>& out)
{
    if (!frame_.empty()) {
        out.push_back({CommandKind::Ignored, "\"" + escapeBytes(asText(frame_)) + "\" (incomplete Skytraq frame)"});
        frame_.clear();
    }
    const std::size_t star = text_.rfind('*');
    if (!overlong_ && !text_.empty() && text_[0] == '$' && star != std::string::npos && star + 3 == text_.size())
        endLine(out);
    else if (!text_.empty() || overlong_)
        reportText("unterminated input", out);
}

}  // namespace qvsim
