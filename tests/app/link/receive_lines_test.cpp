#include "app/link/receive_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> FeedAll(ReceiveLineCutter& cutter, const std::vector<std::string>& deliveries) {
  std::vector<std::string> lines;
  for (const std::string& d : deliveries)
    cutter.Feed(reinterpret_cast<const uint8_t*>(d.data()), d.size(),
                [&](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

// Also when a delivery ends between CR and LF, and for a line of only an LF.
TEST(ReceiveLines, CutsAtCarriageReturnsDroppingTheLineFeedAfterEach) {
  ReceiveLineCutter cutter;
  auto lines = FeedAll(cutter, {"$GPGGA,1*00\r\n$GPGSA,2*00\r", "\n\r\n\r\r\n$GPRMC"});
  EXPECT_EQ(lines, (std::vector<std::string>{"$GPGGA,1*00", "$GPGSA,2*00", ""}));
  EXPECT_EQ(cutter.Pending(), "\n$GPRMC");
}

TEST(ReceiveLines, SentenceSplitAcrossDeliveriesComesOutWhole) {
  ReceiveLineCutter cutter;
  auto lines = FeedAll(cutter, {"$GPGGA,1*00\r\n$GPR", "MC,2*00\r\n"});
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], "$GPRMC,2*00");
}

TEST(ReceiveLines, DeliveryWithoutCarriageReturnYieldsNothingYet) {
  ReceiveLineCutter cutter;
  EXPECT_TRUE(FeedAll(cutter, {"$GPGGA,12"}).empty());
  EXPECT_EQ(cutter.Pending(), "$GPGGA,12");
}

TEST(ReceiveLines, LoneCarriageReturnIsAnEmptyLine) {
  ReceiveLineCutter cutter;
  auto lines = FeedAll(cutter, {"\r"});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "");
}

TEST(ReceiveLines, ResetDropsTheKeptTail) {
  ReceiveLineCutter cutter;
  FeedAll(cutter, {"$GPGGA,half"});
  cutter.Reset();
  auto lines = FeedAll(cutter, {"$GPRMC,x*00\r"});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "$GPRMC,x*00");
}

TEST(ReceiveLines, EndlessLineIsHandedOnOnceItPassesTheCarryLimit) {
  ReceiveLineCutter cutter;
  std::string chunk(2048, 'x');
  auto lines = FeedAll(cutter, {chunk, chunk, chunk});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].size(), 3 * chunk.size());
  EXPECT_TRUE(cutter.Pending().empty());
}

TEST(ReceiveLines, ZeroBytesStayInsideTheLine) {
  ReceiveLineCutter cutter;
  const std::string d("a\0b\r", 4);
  auto lines = FeedAll(cutter, {d});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], std::string("a\0b", 3));
}

}  // namespace
