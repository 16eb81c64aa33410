#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "recordings.h"

namespace {

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the decode tool through the shell with `args`, capturing both streams.
ToolRun RunTool(const std::string& args) {
  const auto dir = std::filesystem::temp_directory_path() /
                   ("qv_decode_tool_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto out = dir / "out";
  const auto err = dir / "err";
  const std::string cmd = std::string("'") + QV_DECODE_TOOL + "' " + args + " >'" +
                          out.string() + "' 2>'" + err.string() + "'";
  const int raw = std::system(cmd.c_str());
  ToolRun r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = ReadFile(out);
  r.err = ReadFile(err);
  std::filesystem::remove_all(dir);
  return r;
}

std::string Quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

TEST(DecodeTool, PrintsTheExpectedRecordForAFile) {
  const ToolRun r = RunTool(Quoted(kDataDir / "vehicle_rmb.nmea"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, ReadFile(kDataDir / "vehicle_rmb.json"));
  EXPECT_EQ(r.err, "");
}

TEST(DecodeTool, GnssOptionDecodesEveryTalker) {
  const auto recording = kDataDir / "gnss" / "ublox_m8_nmea410";
  const ToolRun r = RunTool("--gnss " + Quoted(recording.string() + ".nmea"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, ReadFile(recording.string() + ".json"));
  EXPECT_NE(r.out, RunTool(Quoted(recording.string() + ".nmea")).out);
}

TEST(DecodeTool, ReadsStandardInputForDashOrNoFile) {
  const std::string expected = ReadFile(kDataDir / "southwest.json");
  EXPECT_EQ(RunTool("< " + Quoted(kDataDir / "southwest.nmea")).out, expected);
  EXPECT_EQ(RunTool("- < " + Quoted(kDataDir / "southwest.nmea")).out, expected);
}

TEST(DecodeTool, RawFeedsBytesUnchanged) {
  const ToolRun r = RunTool("--raw " + Quoted(kDataDir / "line_endings.nmea"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, ReadFile(kDataDir / "line_endings.raw.json"));
  // The sentence cut short before its CR is only completed when the CR is fed.
  EXPECT_NE(r.out, ReadFile(kDataDir / "line_endings.json"));
}

TEST(DecodeTool, SeveralFilesFeedOneDecoder) {
  const ToolRun both = RunTool(Quoted(kDataDir / "southwest.nmea") + " " +
                           Quoted(kDataDir / "southwest.nmea"));
  EXPECT_EQ(both.status, 0);
  EXPECT_NE(both.out.find("\"SentenceTotal\": 48,"), std::string::npos) << both.out;
}

TEST(DecodeTool, UnreadableFileFailsWithStatusTwoAndNoJson) {
  const ToolRun r = RunTool(Quoted(kDataDir / "southwest.nmea") + " /nonexistent/recording.nmea");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "quorvane-decode: /nonexistent/recording.nmea: No such file or directory\n");
}

TEST(DecodeTool, DirectoryIsReportedAsUnreadable) {
  const ToolRun r = RunTool(Quoted(kDataDir));
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find(kDataDir.string()), std::string::npos) << r.err;
}

TEST(DecodeTool, HelpDescribesUsage) {
  const ToolRun r = RunTool("--help");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("--raw"), std::string::npos);
  EXPECT_NE(r.out.find("Usage: quorvane-decode"), std::string::npos);
}

}  // namespace
