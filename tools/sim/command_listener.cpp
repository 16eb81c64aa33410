#include "command_listener.h"

#include "nmea_builder.h"

#include <cctype>
#include <cstdio>

namespace qvsim {

namespace {

constexpr std::uint8_t kFrameStart0 = 0xA0;
constexpr std::uint8_t kFrameStart1 = 0xA1;
constexpr std::uint8_t kUbxStart0 = 0xB5;
constexpr std::uint8_t kUbxStart1 = 0x62;

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

const char* startName(StartKind start)
{
    switch (start) {
    case StartKind::Hot:
        return "hot";
    case StartKind::Warm:
        return "warm";
    case StartKind::Cold:
        break;
    }
    return "cold";
}

namespace {

std::optional<StartKind> none(std::string* why, const char* text)
{
    fail(why, text);
    return std::nullopt;
}

// "$" body "*hh" with the XOR of the body; false (with `why`) otherwise.
bool checksumValid(std::string_view line, std::string* why)
{
    const std::size_t star = line.find('*');
    if (star == std::string_view::npos || star + 3 != line.size())
        return fail(why, "no *hh checksum at the end");
    const int hi = hexValue(line[star + 1]);
    const int lo = hexValue(line[star + 2]);
    if (hi < 0 || lo < 0)
        return fail(why, "checksum is not two hex digits");
    if (nmeaChecksum(line.substr(1, star - 1)) != hi * 16 + lo)
        return fail(why, "wrong checksum");
    return true;
}

// $PSRF101,X,Y,Z,ClkOffset,TimeOfWeek,WeekNo,ChannelCount,ResetCfg*hh
std::optional<StartKind> sirfRestart(std::string_view line, std::string* why)
{
    if (!checksumValid(line, why))
        return std::nullopt;
    std::vector<std::string_view> fields;
    std::string_view data = line.substr(9, line.size() - 12);
    for (;;) {
        const std::size_t comma = data.find(',');
        fields.push_back(data.substr(0, comma));
        if (comma == std::string_view::npos)
            break;
        data.remove_prefix(comma + 1);
    }
    if (fields.size() != 8)
        return none(why, "SiRF $PSRF101 needs 8 fields");
    if (fields[7] == "1")
        return StartKind::Hot;
    if (fields[7] == "2")
        return StartKind::Warm;
    if (fields[7] == "4")
        return StartKind::Cold;
    return none(why, "SiRF reset configuration is not 1, 2 or 4 (hot, warm, cold start)");
}

// $PMTK101*32 hot, $PMTK102*31 warm, $PMTK103*30 cold (MediaTek, Quectel).
std::optional<StartKind> mtkRestart(std::string_view line, std::string* why)
{
    if (!checksumValid(line, why))
        return std::nullopt;
    const std::string_view name = line.substr(0, line.size() - 3);
    if (name == "$PMTK101")
        return StartKind::Hot;
    if (name == "$PMTK102")
        return StartKind::Warm;
    if (name == "$PMTK103")
        return StartKind::Cold;
    return none(why, "MTK message is not 101, 102 or 103 (hot, warm, cold start)");
}

std::optional<StartKind> skytraqRestart(const std::vector<std::uint8_t>& frame, std::string* why)
{
    if (frame.size() < 7)
        return none(why, "not a Skytraq binary frame");
    const std::size_t length = static_cast<std::size_t>(frame[2]) << 8 | frame[3];
    if (frame.size() != length + 7)
        return none(why, "Skytraq frame length does not match its payload");
    std::uint8_t sum = 0;
    for (std::size_t i = 4; i < 4 + length; ++i)
        sum ^= frame[i];
    if (sum != frame[4 + length])
        return none(why, "Skytraq frame with a wrong checksum");
    if (frame[5 + length] != 0x0D || frame[6 + length] != 0x0A)
        return none(why, "Skytraq frame does not end in 0D 0A");
    if (length == 0 || frame[4] != 0x01)
        return none(why, "Skytraq message is not a system restart");
    if (length != 15)
        return none(why, "Skytraq system restart with a payload other than 15 bytes");
    if (frame[5] == 0x01)
        return StartKind::Hot;
    if (frame[5] == 0x02)
        return StartKind::Warm;
    if (frame[5] == 0x03)
        return StartKind::Cold;
    return none(why, "Skytraq system restart mode is not 1, 2 or 3 (hot, warm, cold start)");
}

// B5 62, class, id, length (little-endian), payload, CK_A CK_B (8-bit Fletcher
// over class, id, length and payload).
std::optional<StartKind> ubxRestart(const std::vector<std::uint8_t>& frame, std::string* why)
{
    if (frame.size() < 8)
        return none(why, "not a UBX frame");
    const std::size_t length = frame[4] | static_cast<std::size_t>(frame[5]) << 8;
    if (frame.size() != length + 8)
        return none(why, "UBX frame length does not match its payload");
    std::uint8_t a = 0, b = 0;
    for (std::size_t i = 2; i < 6 + length; ++i) {
        a = static_cast<std::uint8_t>(a + frame[i]);
        b = static_cast<std::uint8_t>(b + a);
    }
    if (a != frame[6 + length] || b != frame[7 + length])
        return none(why, "UBX frame with a wrong checksum");
    if (frame[2] != 0x06 || frame[3] != 0x04)
        return none(why, "UBX message is not CFG-RST");
    if (length != 4)
        return none(why, "UBX-CFG-RST with a payload other than 4 bytes");
    // Reset modes 08 and 09 stop and start the GNSS part without restarting it.
    if (frame[8] == 0x08 || frame[8] == 0x09)
        return none(why, "UBX-CFG-RST stops or starts the GNSS but does not restart it");
    const unsigned mask = frame[6] | static_cast<unsigned>(frame[7]) << 8;
    if (mask == 0x0000)
        return StartKind::Hot;
    if (mask == 0x0001)
        return StartKind::Warm;
    if (mask == 0xFFFF)
        return StartKind::Cold;
    return none(why, "UBX-CFG-RST navBbrMask is not 0000, 0001 or FFFF (hot, warm, cold start)");
}

}  // namespace

std::optional<StartKind> textRestart(std::string_view line, std::string* chip, std::string* why)
{
    if (line.substr(0, 9) == "$PSRF101,") {
        *chip = "SiRF";
        return sirfRestart(line, why);
    }
    if (line.substr(0, 5) == "$PMTK") {
        *chip = "MTK";
        return mtkRestart(line, why);
    }
    return none(why, "not a SiRF $PSRF101 or MTK $PMTK sentence");
}

std::optional<StartKind> frameRestart(const std::vector<std::uint8_t>& frame, std::string* chip, std::string* why)
{
    if (frame.size() >= 2 && frame[0] == kFrameStart0 && frame[1] == kFrameStart1) {
        *chip = "Skytraq";
        return skytraqRestart(frame, why);
    }
    if (frame.size() >= 2 && frame[0] == kUbxStart0 && frame[1] == kUbxStart1) {
        *chip = "u-blox";
        return ubxRestart(frame, why);
    }
    return none(why, "not a Skytraq or UBX binary frame");
}

bool isSirfColdStart(std::string_view line, std::string* why)
{
    std::string chip;
    if (line.substr(0, 9) != "$PSRF101,")
        return fail(why, "not a SiRF $PSRF101 sentence");
    const std::optional<StartKind> start = textRestart(line, &chip, why);
    return start == StartKind::Cold || (start && fail(why, "SiRF reset configuration is not 4 (cold start)"));
}

bool isSkytraqColdStart(const std::vector<std::uint8_t>& frame, std::string* why)
{
    std::string chip;
    if (frame.size() < 2 || frame[0] != kFrameStart0)
        return fail(why, "not a Skytraq binary frame");
    const std::optional<StartKind> start = frameRestart(frame, &chip, why);
    return start == StartKind::Cold || (start && fail(why, "Skytraq system restart not in cold-start mode"));
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
    if (b == kFrameStart0 || b == kUbxStart0) {
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
    const bool ubx = frame_[0] == kUbxStart0;
    if (frame_.size() == 2 && b != (ubx ? kUbxStart1 : kFrameStart1)) {
        // A lone start byte is noise; the byte after it gets a fresh look.
        frame_.pop_back();
        out.push_back({CommandKind::Ignored, "\"" + escapeBytes(asText(frame_)) + "\" (stray byte)"});
        frame_.clear();
        feedByte(b, out);
        return;
    }
    // Skytraq: A0 A1, length MSB first, payload, checksum, 0D 0A.
    // UBX: B5 62, class, id, length LSB first, payload, two checksum bytes.
    const std::size_t header = ubx ? 6 : 4;
    if (frame_.size() < header)
        return;
    const std::size_t length = ubx ? (frame_[4] | static_cast<std::size_t>(frame_[5]) << 8)
                                   : (static_cast<std::size_t>(frame_[2]) << 8 | frame_[3]);
    if (length > kMaxPayload) {
        out.push_back({CommandKind::Ignored, "\"" + escapeBytes(asText(frame_)) + "\" ("
                                                 + (ubx ? "UBX" : "Skytraq") + " frame too long)"});
        frame_.clear();
        return;
    }
    if (frame_.size() < length + (ubx ? 8 : 7))
        return;
    endFrame(out);
}

void CommandListener::endFrame(std::vector<CommandEvent>& out)
{
    std::string why, chip;
    if (const std::optional<StartKind> start = frameRestart(frame_, &chip, &why))
        out.push_back({CommandKind::Restart, {}, chip, *start});
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
    std::string why, chip;
    if (const std::optional<StartKind> start = textRestart(text_, &chip, &why)) {
        out.push_back({CommandKind::Restart, {}, chip, *start});
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
        out.push_back({CommandKind::Ignored, "\"" + escapeBytes(asText(frame_)) + "\" (incomplete binary frame)"});
        frame_.clear();
    }
    const std::size_t star = text_.rfind('*');
    if (!overlong_ && !text_.empty() && text_[0] == '$' && star != std::string::npos && star + 3 == text_.size())
        endLine(out);
    else if (!text_.empty() || overlong_)
        reportText("unterminated input", out);
}

}  // namespace qvsim
