#include "command_listener.h"
#include "nmea_check.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace qvsim;
using simtest::withChecksum;

namespace {

const std::string kSirf = "$PSRF101,-2686700,-4304200,3851624,96000,497260,921,12,4*28";

std::vector<std::uint8_t> skytraq(std::uint8_t id = 0x01, std::uint8_t mode = 0x03, std::size_t length = 15)
{
    std::vector<std::uint8_t> payload(length, 0);
    if (length > 0)
        payload[0] = id;
    if (length > 1)
        payload[1] = mode;
    std::uint8_t sum = 0;
    for (auto b : payload)
        sum ^= b;
    std::vector<std::uint8_t> frame;
    frame.reserve(length + 7);
    frame.push_back(0xA0);
    frame.push_back(0xA1);
    frame.push_back(static_cast<std::uint8_t>(length >> 8));
    frame.push_back(static_cast<std::uint8_t>(length & 0xFF));
    for (auto b : payload)
        frame.push_back(b);
    frame.push_back(sum);
    frame.push_back(0x0D);
    frame.push_back(0x0A);
    return frame;
}

std::string asString(const std::vector<std::uint8_t>& bytes)
{
    return {bytes.begin(), bytes.end()};
}

std::vector<CommandKind> kinds(const std::vector<CommandEvent>& events)
{
    std::vector<CommandKind> out;
    for (const auto& e : events)
        out.push_back(e.kind);
    return out;
}

std::vector<CommandEvent> feedAll(const std::string& input, std::size_t chunk)
{
    CommandListener listener;
    std::vector<CommandEvent> events;
    for (std::size_t i = 0; i < input.size(); i += chunk)
        listener.feed(std::string_view(input).substr(i, chunk), events);
    return events;
}

}  // namespace

TEST(SkytraqFrame, TheViewersMessageIsTwentyTwoBytesWithChecksum02)
{
    const auto frame = skytraq();
    ASSERT_EQ(frame.size(), 22u);
    EXPECT_EQ(frame[19], 0x02);
    EXPECT_TRUE(isSkytraqColdStart(frame));
}

struct SirfCase {
    const char* name;
    std::string line;
    bool coldStart;
};

class SirfRecogniser : public testing::TestWithParam<SirfCase> {};

TEST_P(SirfRecogniser, AcceptsOnlyValidResetConfigurationFour)
{
    std::string why;
    EXPECT_EQ(isSirfColdStart(GetParam().line, &why), GetParam().coldStart) << why;
    if (!GetParam().coldStart) {
        EXPECT_FALSE(why.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SirfRecogniser,
    testing::Values(
        SirfCase{"viewer_command", kSirf, true},
        SirfCase{"zero_position", withChecksum("PSRF101,0,0,0,96000,0,0,12,4"), true},
        SirfCase{"wrong_checksum", "$PSRF101,-2686700,-4304200,3851624,96000,497260,921,12,4*29", false},
        SirfCase{"no_checksum", "$PSRF101,-2686700,-4304200,3851624,96000,497260,921,12,4", false},
        SirfCase{"one_checksum_digit", "$PSRF101,-2686700,-4304200,3851624,96000,497260,921,12,4*2", false},
        SirfCase{"hot_start", withChecksum("PSRF101,-2686700,-4304200,3851624,96000,497260,921,12,1"), false},
        SirfCase{"factory_reset", withChecksum("PSRF101,-2686700,-4304200,3851624,96000,497260,921,12,8"), false},
        SirfCase{"reset_field_40", withChecksum("PSRF101,-2686700,-4304200,3851624,96000,497260,921,12,40"), false},
        SirfCase{"seven_fields", withChecksum("PSRF101,-2686700,-4304200,3851624,96000,497260,921,4"), false},
        SirfCase{"nine_fields", withChecksum("PSRF101,-2686700,-4304200,3851624,96000,497260,921,12,4,0"), false},
        SirfCase{"other_message", withChecksum("PSRF100,1,4800,8,1,0"), false},
        SirfCase{"nmea_sentence", withChecksum("GPGGA,120000.00,,,,,0,00,,,M,,M,,"), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SirfRecogniser, AcceptsLowerCaseHexDigits)
{
    const std::string upper = withChecksum("PSRF101,1,0,0,96000,0,0,12,4");
    ASSERT_EQ(upper.substr(upper.size() - 3), "*1E");
    EXPECT_TRUE(isSirfColdStart(upper.substr(0, upper.size() - 1) + "e"));
}

struct SkytraqCase {
    const char* name;
    std::vector<std::uint8_t> frame;
    bool coldStart;
};

class SkytraqRecogniser : public testing::TestWithParam<SkytraqCase> {};

TEST_P(SkytraqRecogniser, AcceptsOnlyValidColdStartRestart)
{
    std::string why;
    EXPECT_EQ(isSkytraqColdStart(GetParam().frame, &why), GetParam().coldStart) << why;
}

namespace {

std::vector<std::uint8_t> corrupted(std::vector<std::uint8_t> frame, std::size_t index, std::uint8_t value)
{
    frame[index] = value;
    return frame;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Table, SkytraqRecogniser,
                         testing::Values(SkytraqCase{"cold_start", skytraq(), true},
                                         SkytraqCase{"wrong_checksum", corrupted(skytraq(), 19, 0x03), false},
                                         SkytraqCase{"payload_changed", corrupted(skytraq(), 10, 0x01), false},
                                         SkytraqCase{"hot_start", skytraq(0x01, 0x01), false},
                                         SkytraqCase{"warm_start", skytraq(0x01, 0x02), false},
                                         SkytraqCase{"other_message", skytraq(0x02, 0x03), false},
                                         SkytraqCase{"short_payload", skytraq(0x01, 0x03, 14), false},
                                         SkytraqCase{"no_line_end", corrupted(skytraq(), 21, 0x00), false},
                                         SkytraqCase{"bad_start", corrupted(skytraq(), 1, 0xA2), false}),
                         [](const auto& info) { return std::string(info.param.name); });

class ListenerChunking : public testing::TestWithParam<std::size_t> {};

TEST_P(ListenerChunking, FindsEveryRestartAndReportsOtherInputInAnyChunking)
{
    const std::string ubxWarm("\xB5\x62\x06\x04\x04\x00\x01\x00\x02\x00\x11\x6C", 12);
    const std::string ubxBadSum("\xB5\x62\x06\x04\x04\x00\xFF\xFF\x02\x00\x0E\x62", 12);
    const std::string input = "hello\r\n" + kSirf + "\r\n" + asString(skytraq()) + asString(skytraq(0x01, 0x01))
                              + "$GPGGA,1*00\r\n" + ubxWarm + "$PMTK103*30\r\n" + ubxBadSum + "$PMTK104*37\r\n"
                              + withChecksum("PSRF101,0,0,0,96000,0,0,12,2") + "\r\n";
    std::vector<std::string> seen;
    for (const CommandEvent& e : feedAll(input, GetParam()))
        seen.push_back(e.kind == CommandKind::Ignored ? "ignored" : e.chip + " " + startName(e.start));
    EXPECT_EQ(seen, (std::vector<std::string>{"ignored", "SiRF cold", "Skytraq cold", "Skytraq hot", "ignored",
                                              "u-blox warm", "MTK cold", "ignored", "ignored", "SiRF warm"}));
}

INSTANTIATE_TEST_SUITE_P(Chunks, ListenerChunking, testing::Values(1u, 2u, 3u, 7u, 61u, 4096u));

TEST(CommandListener, CommandAfterGarbageWithoutLineEndIsStillFound)
{
    const auto events = feedAll("\x01\x02junk" + kSirf + "\r\n", 5);
    EXPECT_EQ(kinds(events), (std::vector<CommandKind>{CommandKind::Ignored, CommandKind::Restart}));
    EXPECT_NE(events[0].detail.find("junk"), std::string::npos);
}

TEST(CommandListener, StrayFrameStartByteDoesNotSwallowTheCommand)
{
    const auto events = feedAll("\xA0" + kSirf + "\r\n", 1);
    EXPECT_EQ(kinds(events), (std::vector<CommandKind>{CommandKind::Ignored, CommandKind::Restart}));
}

TEST(CommandListener, QuietAfterCompleteSentenceJudgesItWithoutLineEnd)
{
    CommandListener listener;
    std::vector<CommandEvent> events;
    listener.feed(kSirf, events);
    EXPECT_TRUE(events.empty());
    listener.flush(events);
    EXPECT_EQ(kinds(events), std::vector<CommandKind>{CommandKind::Restart});
    listener.feed("\r\n", events);
    EXPECT_EQ(events.size(), 1u);
}

TEST(CommandListener, QuietDuringPartialInputReportsIt)
{
    CommandListener listener;
    std::vector<CommandEvent> events;
    const auto frame = skytraq();
    listener.feed(frame.data(), 10, events);
    listener.flush(events);
    listener.feed("$PSRF1", events);
    listener.flush(events);
    EXPECT_EQ(kinds(events), (std::vector<CommandKind>{CommandKind::Ignored, CommandKind::Ignored}));
    EXPECT_FALSE(listener.pending());
}

TEST(CommandListener, OverlongLineIsReportedOnceAndShortened)
{
    const auto events = feedAll(std::string(5000, 'x') + "\r\n" + kSirf + "\r\n", 100);
    ASSERT_EQ(kinds(events), (std::vector<CommandKind>{CommandKind::Ignored, CommandKind::Restart}));
    EXPECT_LT(events[0].detail.size(), 200u);
}

TEST(CommandListener, OversizedFrameLengthIsDroppedNotAwaited)
{
    const std::string input = std::string("\xA0\xA1\xFF\xFF", 4) + kSirf + "\r\n";
    const auto events = feedAll(input, 3);
    EXPECT_EQ(kinds(events), (std::vector<CommandKind>{CommandKind::Ignored, CommandKind::Restart}));
}

TEST(EscapeBytes, ShowsControlBytesAsHex)
{
    EXPECT_EQ(escapeBytes(std::string("a\r\n\xA0", 4)), "a\\x0D\\x0A\\xA0");
}
