#include "app/replay/line_loader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <string>

#include "temp_dir.h"

using namespace std::string_literals;

namespace {

// What a load of awkward input must give: the line count, the first and last
// line's size and byte, or the error's text (with the path appended).
struct BadInput {
  const char* name;
  std::function<std::string()> bytes;
  // Done to the file at the first progress report, while it loads.
  std::function<void(const std::string& path)> meanwhile;
  LoadEnd end;
  size_t lines;
  size_t firstSize;
  size_t lastSize;
  const char* error;
};

std::string Repeat(const std::string& piece, size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (size_t i = 0; i < times; ++i) out += piece;
  return out;
}

void Append(const std::string& path) { std::ofstream(path, std::ios::app) << "$GPGGA,late*00\r\n"; }
void CutInHalf(const std::string& path) { ASSERT_EQ(::truncate(path.c_str(), 1 << 19), 0); }

class LoadLinesBadInput : public ::testing::TestWithParam<BadInput> {};

TEST_P(LoadLinesBadInput, EndsSoundly) {
  const BadInput& input = GetParam();
  TempDir dir;
  const std::string path = dir.write("f.txt", input.bytes());
  LineStore lines;
  lines.append("before"s);
  bool first = true;
  const auto progress = [&](uint64_t, uint64_t) {
    if (first && input.meanwhile) input.meanwhile(path);
    first = false;
    return true;
  };
  if (input.error != nullptr) {
    try {
      LoadLines(path, lines, progress, 64 << 10);
      FAIL() << "no error";
    } catch (const EFileError& e) {
      EXPECT_EQ(e.what(), input.error + path);
    }
    EXPECT_EQ(lines.size(), 1u);
    return;
  }
  const LoadResult result = LoadLines(path, lines, progress, 64 << 10);
  EXPECT_EQ(result.end, input.end);
  ASSERT_EQ(lines.size(), input.lines);
  EXPECT_EQ(lines.line(0).size(), input.firstSize);
  EXPECT_EQ(lines.line(lines.size() - 1).size(), input.lastSize);
}

const std::string kSentence = "$GPGGA,031428.00,2447.2236,N,12059.8236,E,1,10,0.9,62.6,M,15.2,M,,*5C";

INSTANTIATE_TEST_SUITE_P(
    Loads, LoadLinesBadInput,
    ::testing::Values(
        BadInput{"MillionEmptyLfLines", [] { return std::string(1000000, '\n'); }, {}, LoadEnd::Loaded, 1000000, 0, 0,
                 nullptr},
        BadInput{"EmptyCrLfLines", [] { return Repeat("\r\n", 300000); }, {}, LoadEnd::Loaded, 300000, 0, 0, nullptr},
        BadInput{"AllZeroBytesAreOneLine", [] { return std::string(3 << 20, '\0'); }, {}, LoadEnd::Loaded, 1, 3 << 20,
                 3 << 20, nullptr},
        BadInput{"OneLongLineAcrossBlocks", [] { return std::string(5 << 20, 'x') + "\r\n"; }, {}, LoadEnd::Loaded, 1,
                 5 << 20, 5 << 20, nullptr},
        BadInput{"GrowingFileLoadsItsStartingSize", [] { return Repeat(kSentence + "\r\n", 30000); }, Append,
                 LoadEnd::LoadedGrown, 30000, kSentence.size(), kSentence.size(), nullptr},
        BadInput{"FileCutShortWhileLoading", [] { return Repeat(kSentence + "\r\n", 30000); }, CutInHalf,
                 LoadEnd::Loaded, 0, 0, 0, "Cannot read file "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoadLines, CancelLeavesTheLinesAndCrLfSplitAtABlockEdgeCountsOnce) {
  TempDir dir;
  const std::string path = dir.write("f.txt", "ab\r\ncd\r\r\n");
  LineStore lines;
  lines.append("before"s);
  EXPECT_EQ(LoadLines(path, lines, [](uint64_t, uint64_t) { return false; }, 3).end, LoadEnd::Cancelled);
  ASSERT_EQ(lines.size(), 1u);
  // Blocks of 3 bytes end on "ab\r" and "d\r\r": each CR waits for the next byte.
  EXPECT_EQ(LoadLines(path, lines, [](uint64_t, uint64_t) { return true; }, 3).end, LoadEnd::Loaded);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines.line(0), "ab");
  EXPECT_EQ(lines.line(1), "cd");
  EXPECT_EQ(lines.line(2), "");
}

}  // namespace
