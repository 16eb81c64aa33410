#include "link_counter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../sentence.h"

namespace {

using namespace std::chrono_literals;
using Clock = LinkCounter::Clock;

const std::string kGga = Sentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
const std::string kRmc =
    Sentence("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");

std::string BadSum(std::string s) {
  s.back() = s.back() == '0' ? '1' : '0';
  return s;
}

struct LinkCase {
  const char* what;
  LinkCounter::Counts expected;  // Bytes are the lines' sizes
  std::vector<std::string> lines;
  bool gnss = false;
};

class LinkCounts : public testing::TestWithParam<LinkCase> {};

TEST_P(LinkCounts, AgreeWithTheDecoder) {
  const LinkCase& c = GetParam();
  LinkCounter counter;
  counter.SetGnssMode(c.gnss);
  CNMEAParser decoder;
  decoder.SetGnssMode(c.gnss);
  LinkCounter::Counts expected = c.expected;
  for (const std::string& line : c.lines) {
    counter.Line(line, Clock::time_point{1s});
    Feed(decoder, line);
    expected.Bytes += line.size();
  }
  const LinkCounter::Counts& got = counter.Totals();
  EXPECT_EQ(got.Sentences, expected.Sentences);
  EXPECT_EQ(got.Bytes, expected.Bytes);
  EXPECT_EQ(got.BadChecksums, expected.BadChecksums);
  EXPECT_EQ(got.NoChecksum, expected.NoChecksum);
  EXPECT_EQ(got.UnknownNames, expected.UnknownNames);
  EXPECT_EQ(got.OutsideBytes, expected.OutsideBytes);
  // Lines come without their breaks: only checksummed sentences reach the decoder.
  EXPECT_EQ(got.Sentences - got.BadChecksums - got.NoChecksum, decoder.SentenceTotal);
}

const std::string kCut = kGga.substr(0, kGga.size() - 1);
const std::string kVtg = Sentence("GPVTG,,T,,M,0.011,N");
const std::vector<std::string> kGn = {Sentence("GNGGA,1"), Sentence("GNGNS,1")};

// Sentences, Bytes, BadChecksums, NoChecksum, UnknownNames, OutsideBytes
INSTANTIATE_TEST_SUITE_P(
    Lines, LinkCounts,
    testing::Values(
        LinkCase{"good", {2, 0, 0, 0, 0, 0}, {kGga, kRmc}},
        LinkCase{"bad checksum", {2, 0, 1, 0, 0, 0}, {BadSum(kGga), kRmc}},
        LinkCase{"checksum cut short", {2, 0, 1, 0, 0, 0}, {kCut, kRmc}},
        LinkCase{"no checksum: ends at the next $", {2, 0, 0, 1, 0, 0}, {"$GPGGA,1", kRmc}},
        LinkCase{"no checksum, nothing after", {0, 0, 0, 0, 0, 0}, {"$GPGGA,1"}},
        LinkCase{"a line after it is inside it", {2, 0, 0, 1, 0, 0}, {"$GPGGA,1", "junk", kRmc}},
        LinkCase{"unknown names", {3, 0, 0, 0, 2, 0}, {kVtg, Sentence("PUBX,00"), kGga}},
        LinkCase{"GN unknown by default", {2, 0, 0, 0, 2, 0}, kGn},
        LinkCase{"GN known in GNSS mode", {2, 0, 0, 0, 0, 0}, kGn, true},
        LinkCase{"garbage before $", {1, 0, 0, 0, 0, 8}, {"\x07xy" + kGga, "noise"}},
        LinkCase{"empty lines", {1, 0, 0, 0, 0, 0}, {"", kGga, ""}}));

TEST(LinkRates, SlidingWindowOfTheLastFiveSeconds) {
  LinkCounter counter;
  EXPECT_FALSE(counter.SinceLastByte(Clock::time_point{1s}).has_value());
  // Ten lines a second, one sentence each, for ten seconds.
  for (int i = 0; i < 100; ++i) counter.Line(kGga, Clock::time_point{10s + i * 100ms});
  const Clock::time_point end{20s};
  EXPECT_DOUBLE_EQ(counter.SentencesPerSecond(end), 10.0);
  EXPECT_DOUBLE_EQ(counter.BytesPerSecond(end), 10.0 * static_cast<double>(kGga.size()));
  EXPECT_EQ(*counter.SinceLastByte(end), 100ms);
  // Silent for half the window: the 20 lines since 18 s over the 4.5 s its
  // steps cover; then silent for all of it.
  EXPECT_DOUBLE_EQ(counter.SentencesPerSecond(end + 2500ms), 20 / 4.5);
  EXPECT_DOUBLE_EQ(counter.SentencesPerSecond(end + 5s), 0.0);
  counter.Restart();
  EXPECT_EQ(counter.Totals().Sentences, 0u);
  EXPECT_FALSE(counter.SinceLastByte(end).has_value());
}

}  // namespace
