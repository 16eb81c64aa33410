#include "app/replay/replay.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "temp_dir.h"

using namespace std::string_literals;

namespace {

// The replay as the window drives it: the loaded lines, the controller, and
// what the ticks handed on to the echo list and the decoder.
struct Player {
  LineStore loaded;
  ReplayController replay;
  std::vector<std::string> played;

  void load(size_t lines) {
    replay.BeginOpen();
    loaded.clear();
    for (size_t i = 0; i < lines; ++i) {
      loaded.append("L" + std::to_string(i));
    }
    replay.FileLoaded();
  }
  ReplayAction press() { return replay.PressButton(loaded.size()); }
  ReplayStep tick() {
    return replay.Tick(loaded, [this](std::string_view line) { played.emplace_back(line); });
  }
};

void ExpectStopped(const ReplayController& r, const char* caption) {
  EXPECT_STREQ(r.caption(), caption);
  EXPECT_STREQ(r.glyph(), "ID_PLAY");
  EXPECT_FALSE(r.IsReplaying());
  EXPECT_FALSE(r.timerOn());
  EXPECT_TRUE(r.connectAndLogEnabled());
}

void ExpectPlaying(const ReplayController& r) {
  EXPECT_STREQ(r.caption(), "Pause");
  EXPECT_STREQ(r.glyph(), "ID_PAUSE");
  EXPECT_TRUE(r.IsReplaying());
  EXPECT_TRUE(r.timerOn());
  EXPECT_FALSE(r.connectAndLogEnabled());
}

TEST(Replay, TwelveLinesPlayFiveFiveTwoAndFinishOnThirdTick) {
  Player p;
  p.load(12);
  ExpectStopped(p.replay, "Start");
  EXPECT_EQ(p.press(), ReplayAction::Start);
  ExpectPlaying(p.replay);

  const std::vector<size_t> counts = {5, 5, 2};
  for (size_t t = 0; t < counts.size(); ++t) {
    const ReplayStep step = p.tick();
    EXPECT_EQ(step.count, counts[t]) << "tick " << t + 1;
    EXPECT_EQ(step.finished, t == 2) << "tick " << t + 1;
  }
  ASSERT_EQ(p.played.size(), 12u);
  EXPECT_EQ(p.played.front(), "L0");
  EXPECT_EQ(p.played.back(), "L11");
  ExpectStopped(p.replay, "Finish");
  EXPECT_EQ(p.replay.state(), ReplayState::Finished);
}

TEST(Replay, TenLinesFinishOnThirdTickPlayingNothing) {
  Player p;
  p.load(10);
  p.press();
  EXPECT_FALSE(p.tick().finished);
  EXPECT_FALSE(p.tick().finished);
  ExpectPlaying(p.replay);
  const ReplayStep third = p.tick();
  EXPECT_EQ(third.count, 0u);
  EXPECT_TRUE(third.finished);
  EXPECT_EQ(p.played.size(), 10u);
  ExpectStopped(p.replay, "Finish");
}

TEST(Replay, PauseAfterTwoTicksResumesAtEleventhLine) {
  Player p;
  p.load(12);
  p.press();
  p.tick();
  p.tick();
  EXPECT_EQ(p.press(), ReplayAction::Pause);
  ExpectStopped(p.replay, "Continue");
  EXPECT_EQ(p.replay.ReplayIndex(), 10u);
  EXPECT_EQ(p.tick().count, 0u) << "a stray tick while paused plays nothing";

  EXPECT_EQ(p.press(), ReplayAction::Continue);
  ExpectPlaying(p.replay);
  const ReplayStep step = p.tick();
  EXPECT_EQ(step.first, 10u);
  EXPECT_EQ(p.played[10], "L10");
}

TEST(Replay, PressAfterFinishPlaysAgainFromFirstLine) {
  Player p;
  p.load(3);
  p.press();
  EXPECT_TRUE(p.tick().finished);
  EXPECT_EQ(p.press(), ReplayAction::Start);
  ExpectPlaying(p.replay);
  p.tick();
  const std::vector<std::string> expected = {"L0", "L1", "L2", "L0", "L1", "L2"};
  EXPECT_EQ(p.played, expected);
}

TEST(Replay, ButtonDoesNothingWithoutLines) {
  Player p;
  EXPECT_EQ(p.press(), ReplayAction::None);
  ExpectStopped(p.replay, "Parser");
  p.load(0);
  EXPECT_EQ(p.press(), ReplayAction::None);
  EXPECT_FALSE(p.replay.IsReplaying());
}

TEST(Replay, OpenWhilePlayingEndsPlaybackSoNewFileStartsAtFirstLine) {
  Player p;
  p.load(20);
  p.press();
  p.tick();
  p.tick();
  p.replay.BeginOpen();
  ExpectStopped(p.replay, "Finish");
  EXPECT_EQ(p.replay.state(), ReplayState::Empty);

  p.load(4);
  ExpectStopped(p.replay, "Start");
  p.played.clear();
  EXPECT_EQ(p.press(), ReplayAction::Start);
  p.tick();
  const std::vector<std::string> expected = {"L0", "L1", "L2", "L3"};
  EXPECT_EQ(p.played, expected);
}

TEST(Replay, CancelledOpenWhilePlayingLeavesNothingToPlay) {
  Player p;
  p.load(20);
  p.press();
  p.tick();
  p.replay.BeginOpen();
  p.loaded.clear();
  EXPECT_EQ(p.press(), ReplayAction::None);
  EXPECT_EQ(p.tick().count, 0u);
  ExpectStopped(p.replay, "Finish");
}

TEST(Replay, OpenWhilePausedStartsNewFileFromFirstLine) {
  Player p;
  p.load(20);
  p.press();
  p.tick();
  p.press();
  p.load(7);
  ExpectStopped(p.replay, "Start");
  p.press();
  EXPECT_EQ(p.tick().first, 0u);
}

struct FileCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> played;
};

class ReplayFile : public ::testing::TestWithParam<FileCase> {};

TEST_P(ReplayFile, PlaysEveryLineExactlyAsStored) {
  TempDir dir;
  Player p;
  p.replay.BeginOpen();
  LoadLinesFromFile(dir.write("rec.txt", GetParam().bytes), p.loaded);
  p.replay.FileLoaded();
  p.press();
  while (!p.tick().finished) {
  }
  EXPECT_EQ(p.played, GetParam().played);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReplayFile,
    ::testing::Values(FileCase{"CrLf", "$A*00\r\n$B*00\r\n", {"$A*00", "$B*00"}},
                      FileCase{"LoneCr", "$A*00\r$B*00\r", {"$A*00", "$B*00"}},
                      FileCase{"LoneLf", "$A*00\n$B*00\n", {"$A*00", "$B*00"}},
                      FileCase{"LastLineWithoutBreak", "$A*00\r\n$B*00", {"$A*00", "$B*00"}},
                      FileCase{"LoggedFileWithEmptyLines", "\n$A*00\r\n$B*00\r\n", {"", "$A*00", "$B*00"}},
                      FileCase{"ZeroBytesDoNotEndTheRecording",
                               "\0\0$A*00\r\n$B*00\0\r\n$C*00"s,
                               {"\0\0$A*00"s, "$B*00\0"s, "$C*00"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
