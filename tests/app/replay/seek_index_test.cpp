#include "app/replay/seek_index.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "record_json.h"

namespace {

// Every recording of the test data, one after the other, as one file.
LineStore AllRecordings() {
  LineStore all;
  std::vector<std::filesystem::path> paths;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(QV_TEST_DATA_DIR)) {
    const auto ext = entry.path().extension();
    if (ext == ".nmea" || ext == ".txt") paths.push_back(entry.path());
  }
  std::sort(paths.begin(), paths.end());
  for (const auto& path : paths) {
    LineStore one;
    LoadLinesFromFile(path.string(), one);
    for (size_t i = 0; i < one.size(); ++i) all.append(one.line(i));
  }
  return all;
}

// The record's JSON members one by one, so a difference names its member.
std::vector<std::string> Members(const CNMEAParser& parser) {
  const std::string json = RecordJson(parser);
  std::vector<std::string> members;
  size_t start = 1;
  for (size_t at = json.find(",\"", start); at != std::string::npos; at = json.find(",\"", start)) {
    members.push_back(json.substr(start, at - start));
    start = at + 1;
  }
  members.push_back(json.substr(start));
  return members;
}

void ExpectSameRecord(const CNMEAParser& played, const CNMEAParser& sought, size_t line) {
  const auto a = Members(played);
  const auto b = Members(sought);
  ASSERT_EQ(a.size(), b.size()) << "line " << line;
  for (size_t i = 0; i < a.size(); ++i) ASSERT_EQ(a[i], b[i]) << "line " << line;
}

// Going to line k leaves the decoder as playing lines [0, k) from the start
// does, at every line, with states saved every 512 bytes (so most seeks copy
// one and decode after it) and also while the states are still being made.
TEST(SeekIndex, GoingToALineEqualsPlayingUpToIt) {
  const LineStore lines = AllRecordings();
  ASSERT_GT(lines.size(), 500u);
  for (const bool gnss : {false, true}) {
    SeekIndex index(512);
    index.Build(lines, gnss);
    CNMEAParser early;
    index.StateAt(lines.size() / 2, early);
    for (int wait = 0; !index.Complete() && wait < 5000; ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(index.Complete());
    ASSERT_GT(index.StatesReady(), 50u);

    CNMEAParser played;
    played.SetGnssMode(gnss);
    played.ResetRecord();
    CNMEAParser sought;
    for (size_t k = 0; k <= lines.size(); ++k) {
      if (k == lines.size() / 2) ExpectSameRecord(played, early, k);
      // Backwards and forwards: the seek before leaves nothing behind.
      index.StateAt(k, sought);
      ExpectSameRecord(played, sought, k);
      EXPECT_EQ(sought.GnssMode(), gnss);
      if (k == lines.size()) break;
      played.FeedBytes(lines.line(k).data(), static_cast<uint32_t>(lines.line(k).size()));
      index.StateAt(lines.size() - k, sought);
    }
  }
}

TEST(SeekIndex, FindsTheFirstLineAtOrAfterATime) {
  LineStore lines;
  for (const char* l : {"$GPGSV,1,1,00*00", "$GPGGA,235958,*00", "$GPGSV,1,1,00*00", "$GPGGA,235959.5,*00",
                        "$GPRMC,000001,A*00", "$GPGGA,000005,*00", "$GPGGA,120000,*00"}) {
    lines.append(l);
  }
  SeekIndex index(20);
  index.Build(lines, false);
  EXPECT_EQ(index.FindTime(86398000), 1u);
  EXPECT_EQ(index.FindTime(86399000), 3u);  // 23:59:59 lies between two lines
  EXPECT_EQ(index.FindTime(1000), 4u);      // after midnight
  EXPECT_EQ(index.FindTime(3000), 5u);
  EXPECT_EQ(index.FindTime(3600000), 6u);  // inside a gap: the line after it
  EXPECT_EQ(index.FindTime(3000, 6), std::nullopt);
  EXPECT_EQ(index.FindTime(46800000), std::nullopt);  // 13:00, never reached
}

}  // namespace
