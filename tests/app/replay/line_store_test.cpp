#include "app/replay/line_store.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "temp_dir.h"

using namespace std::string_literals;

namespace {

std::vector<std::string> Lines(const LineStore& store) {
  std::vector<std::string> out;
  for (size_t i = 0; i < store.size(); ++i) {
    out.emplace_back(store.line(i));
  }
  return out;
}

struct SplitCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> lines;
};

class LoadLinesSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(LoadLinesSplit, SplitsAtEachBreakOnce) {
  TempDir dir;
  LineStore store;
  LoadLinesFromFile(dir.write("f.txt", GetParam().bytes), store);
  EXPECT_EQ(Lines(store), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Breaks, LoadLinesSplit,
    ::testing::Values(SplitCase{"CrLf", "$GPGGA,1*00\r\n$GPGSA*11\r\n", {"$GPGGA,1*00", "$GPGSA*11"}},
                      SplitCase{"LoneCr", "a\rb\r", {"a", "b"}}, SplitCase{"LoneLf", "a\nb\n", {"a", "b"}},
                      SplitCase{"LastLineWithoutBreak", "a\r\nlast", {"a", "last"}},
                      SplitCase{"EmptyLineBetweenBreaks", "a\r\n\r\nb", {"a", "", "b"}},
                      SplitCase{"LfThenCrAreTwoBreaks", "a\n\rb", {"a", "", "b"}},
                      SplitCase{"CrCrLfAreTwoBreaks", "a\r\r\nb", {"a", "", "b"}},
                      SplitCase{"LoggedFileGivesEmptyLines", "\n$A*00\r\n$B*00\r\n", {"", "$A*00", "$B*00"}},
                      SplitCase{"ZeroByteIsOrdinary", "a\0b\r\n\0\0\nc"s, {"a\0b"s, "\0\0"s, "c"}},
                      SplitCase{"EmptyFile", "", {}}, SplitCase{"OnlyBreak", "\r\n", {""}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoadLines, CrLfSplitByReadBlockCountsOnce) {
  TempDir dir;
  const size_t block = 1 << 20;
  std::string bytes(block - 1, 'x');
  bytes += "\r\nnext\r\n";
  bytes += std::string(block, 'y') + "\rz";
  LineStore store;
  LoadLinesFromFile(dir.write("f.txt", bytes), store);
  ASSERT_EQ(store.size(), 4u);
  EXPECT_EQ(store.line(0), std::string(block - 1, 'x'));
  EXPECT_EQ(store.line(1), "next");
  EXPECT_EQ(store.line(2), std::string(block, 'y'));
  EXPECT_EQ(store.line(3), "z");
}

TEST(LoadLines, ReplacesPreviousLines) {
  TempDir dir;
  LineStore store;
  store.append("old");
  LoadLinesFromFile(dir.write("f.txt", "new\n"), store);
  EXPECT_EQ(Lines(store), std::vector<std::string>{"new"});
}

TEST(LoadLines, UnreadableFileThrowsCannotOpenAndKeepsLines) {
  TempDir dir;
  LineStore store;
  store.append("kept");
  // A directory exists but cannot be read as a file, even by root.
  const std::string path = dir.file("");
  try {
    LoadLinesFromFile(path, store);
    FAIL() << "no exception";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file " + path);
  }
  EXPECT_EQ(Lines(store), std::vector<std::string>{"kept"});
}

// In a child with a time and memory limit, so a load that blocks in open() or
// reads without end fails the test instead of hanging it.
TEST(LoadLines, RefusesFifoAndDevicesWithoutBlocking) {
  TempDir dir;
  const std::string fifo = dir.file("fifo.txt");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {fifo, "/dev/zero"s, "/dev/urandom"s}) {
    SCOPED_TRACE(path);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const rlimit memory{1u << 30, 1u << 30};
      ::setrlimit(RLIMIT_AS, &memory);
      ::alarm(10);
      LineStore store;
      try {
        LoadLinesFromFile(path, store);
      } catch (const EFileError& e) {
        ::_exit(std::string(e.what()) == "Cannot open file " + path ? 0 : 2);
      } catch (...) {
        ::_exit(3);
      }
      ::_exit(4);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_FALSE(WIFSIGNALED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "exit " << WEXITSTATUS(status);
  }
}

TEST(LoadLines, MissingFileThrowsCannotOpen) {
  TempDir dir;
  LineStore store;
  const std::string path = dir.file("missing.txt");
  EXPECT_THROW(LoadLinesFromFile(path, store), EFileError);
}

TEST(SaveLines, EndsEveryLineWithCrLfAndReloadsTheSame) {
  TempDir dir;
  LineStore store;
  for (const std::string& line : {"$GPGGA*00"s, ""s, "a\0b"s}) {
    store.append(line);
  }
  const std::string path = dir.file("log.txt");
  SaveLinesToFile(path, store);
  EXPECT_EQ(ReadAll(path), "$GPGGA*00\r\n\r\na\0b\r\n"s);
  LineStore again;
  LoadLinesFromFile(path, again);
  EXPECT_EQ(Lines(again), Lines(store));
}

TEST(SaveLines, UncreatableFileThrowsCannotCreate) {
  TempDir dir;
  LineStore store;
  store.append("x");
  const std::string path = dir.file("no/such/folder/log.txt");
  try {
    SaveLinesToFile(path, store);
    FAIL() << "no exception";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file " + path);
  }
}

TEST(SaveLines, FullDiskIsReportedNotSwallowed) {
  LineStore store;
  store.append(std::string(4096, 'x'));
  EXPECT_THROW(SaveLinesToFile("/dev/full", store), EFileError);
}

TEST(LineStore, KeepsBytesExactlyAndInOrder) {
  LineStore store;
  const std::vector<std::string> lines = {"", "$GPRMC,1*2A", "\0"s, "x\r\ny"s, ""};
  for (const auto& line : lines) {
    store.append(line.data(), line.size());
  }
  EXPECT_EQ(Lines(store), lines);
  EXPECT_THROW(store.line(lines.size()), std::out_of_range);
  store.clear();
  EXPECT_TRUE(store.empty());
  store.append("after");
  EXPECT_EQ(Lines(store), std::vector<std::string>{"after"});
}

TEST(LineStore, HoldsSeventyByteLinesInUnder150BytesEach) {
  LineStore store;
  const std::string line(70, 'n');
  const size_t count = 300000;
  for (size_t i = 0; i < count; ++i) {
    store.append(line);
  }
  EXPECT_LT(store.capacityBytes() / count, 150u);
  EXPECT_EQ(store.line(count - 1), line);
}

}  // namespace
