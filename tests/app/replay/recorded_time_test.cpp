#include "app/replay/recorded_time.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/replay/replay.h"

namespace {

constexpr int32_t Ms(int h, int m, double s) { return static_cast<int32_t>(((h * 60 + m) * 60) * 1000 + s * 1000); }

TEST(LineTime, EveryTimedSentenceOfAnyTalker) {
  const struct {
    const char* line;
    std::optional<int32_t> ms;
  } cases[] = {
      {"$GPGGA,031428.00,2447.2236,N,12059.8236,E,1,10,0.9,62.6,M,15.2,M,,*5C", Ms(3, 14, 28)},
      {"$GNRMC,235959.250,A,2447.2236,N,12059.8236,E,0.0,0.0,010124,,,A*7F", Ms(23, 59, 59.25)},
      {"$GLZDA,120000,01,01,2024,00,00*4E", Ms(12, 0, 0)},
      {"$GAGNS,000001.5,2447.2236,N,12059.8236,E,AA,10,0.9,62.6,15.2,,*00", Ms(0, 0, 1.5)},
      {"$BDGLL,2447.2236,N,12059.8236,E,101010.00,A,A*00", Ms(10, 10, 10)},
      {"\n$GPGGA,010203,,,,,0,00,,,M,,M,,*00", Ms(1, 2, 3)},  // a logged line keeps its line feed
      {"$GPGGA,,,,,,0,00,,,M,,M,,*66", std::nullopt},           // no time yet
      {"$GPGSV,3,1,12,01,40,083,46*7A", std::nullopt},
      {"$GPGLL,2447.2236,N,12059.8236,E*00", std::nullopt},  // GLL without its time field
      {"$GPRMC,256000,A*00", std::nullopt},                  // hour 25
      {"$GPRMC,12a000,A*00", std::nullopt},
      {"$PSRF101,0,0,0,0*00", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(LineUtcMs(c.line), c.ms) << c.line;
}

// Each row: a recording's lines, and the recorded wait before each and the gap it skipped.
TEST(RecordedPace, WaitsFollowTheRecordingsClock) {
  struct Row {
    const char* name;
    std::vector<std::string> lines;
    std::vector<int64_t> waits;
    std::vector<int64_t> skipped;
  };
  const std::string gsv = "$GPGSV,1,1,01,01,40,083,46*00";
  const Row rows[] = {
      {"one a second", {"$GPGGA,100000", gsv, "$GPRMC,100000", "$GPGGA,100001", gsv}, {0, 0, 0, 1000, 0}, {0, 0, 0, 0, 0}},
      {"untimed first lines", {gsv, gsv, "$GPGGA,100000", "$GPGGA,100000.5"}, {0, 0, 0, 500}, {0, 0, 0, 0}},
      {"midnight", {"$GNRMC,235959.5", "$GNRMC,000000.5", "$GNZDA,000001.5"}, {0, 1000, 1000}, {0, 0, 0}},
      {"ten seconds kept", {"$GPGGA,100000", "$GPGGA,100010"}, {0, 10000}, {0, 0}},
      {"long gap shortened", {"$GPGGA,100000", "$GPGGA,100011", "$GPGGA,100012"}, {0, 1000, 1000}, {0, 11000, 0}},
      {"clock runs back", {"$GPGGA,100005", "$GPGGA,100003", "$GPGGA,100004"}, {0, 1000, 1000}, {0, -2000, 0}},
      {"back across midnight", {"$GPGGA,000001", "$GPGGA,235959", "$GPGGA,000002"}, {0, 1000, 3000}, {0, -2000, 0}},
      {"midnight, dated",
       {"$GNRMC,235959,A,,,,,,,311299", "$GNGGA,000000", "$GNRMC,000000,A,,,,,,,010100", "$GNZDA,000001,01,01,2000"},
       {0, 1000, 0, 1000},
       {0, 0, 0, 0}},
      {"day jump, same time", {"$GPZDA,100000,01,01,2024", "$GPZDA,100000,02,01,2024", "$GPGGA,100001"}, {0, 1000, 1000}, {0, 86400000, 0}},
      {"date goes back", {"$GPRMC,100000,A,,,,,,,020124", "$GPRMC,100001,A,,,,,,,010124"}, {0, 1000}, {0, -86399000}},
      {"jump of hours", {"$GPGGA,100000", "$GPGGA,220000"}, {0, 1000}, {0, 43200000}},
  };
  for (const Row& row : rows) {
    RecordedPace pace;
    for (size_t i = 0; i < row.lines.size(); ++i) {
      const RecordedPace::Wait wait = pace.Next(row.lines[i] + ",*00");
      EXPECT_EQ(wait.ms, row.waits[i]) << row.name << " line " << i;
      EXPECT_EQ(wait.skippedMs, row.skipped[i]) << row.name << " line " << i;
    }
  }
}

TEST(RecordedPace, ReplayPlaysLinesWhenTheirTimeComesAtTheChosenSpeed) {
  LineStore lines;
  for (const char* l : {"$GPGGA,100000,*00", "$GPGSV,1,1,00*00", "$GPGGA,100002,*00", "$GPGGA,100100,*00"}) lines.append(l);
  ReplayController replay;
  replay.FileLoaded();
  replay.SetSpeed(ReplaySpeed::Recorded2);
  replay.PressButton(lines.size());
  size_t played = 0;
  const auto play = [&](std::string_view) { ++played; };
  // At ×2 the two-second step takes 1000 ms and the 58 s gap is shortened to 1 s, 500 ms.
  ReplayStep step = replay.TickRecorded(lines, 5000, play);
  EXPECT_EQ(step.count, 2u);
  EXPECT_EQ(step.nextDueInMs, 1000);
  EXPECT_EQ(replay.TickRecorded(lines, 5999, play).count, 0u);
  step = replay.TickRecorded(lines, 6000, play);
  EXPECT_EQ(step.count, 1u);
  EXPECT_EQ(step.nextDueInMs, 500);
  // A late tick plays what is due and keeps the schedule.
  step = replay.TickRecorded(lines, 7000, play);
  EXPECT_EQ(step.count, 1u);
  EXPECT_EQ(step.skippedMs, 58000);
  EXPECT_TRUE(step.finished);
  EXPECT_EQ(played, 4u);
}

TEST(UtcText, TypedTimes) {
  EXPECT_EQ(ParseUtcText("12:34"), Ms(12, 34, 0));
  EXPECT_EQ(ParseUtcText(" 12:34:56 "), Ms(12, 34, 56));
  EXPECT_EQ(ParseUtcText("12:34:56.5"), Ms(12, 34, 56.5));
  EXPECT_EQ(ParseUtcText("123456"), Ms(12, 34, 56));
  EXPECT_EQ(ParseUtcText("24:00:00"), std::nullopt);
  EXPECT_EQ(ParseUtcText("12:3x"), std::nullopt);
  char text[16];
  EXPECT_EQ(FormatUtcMs(Ms(9, 5, 7.25), text), "09:05:07.250");
}

}  // namespace
