#include "app/window/command_line.h"

#include <gtest/gtest.h>

#include <QDir>

namespace {

struct FileArguments {
  const char* name;
  QStringList arguments;
  bool run;
  QString file;
  bool replay;
};

class CommandLineFile : public ::testing::TestWithParam<FileArguments> {};

TEST_P(CommandLineFile, TakesOneRecordingAndReplayOnlyWithIt) {
  const FileArguments& c = GetParam();
  ViewerOptions options;
  const CommandLineResult result = ParseViewerCommandLine(QStringList{"quorvane-viewer"} + c.arguments, options);
  EXPECT_EQ(result.Run, c.run) << result.Output.toStdString();
  if (!c.run) {
    EXPECT_EQ(result.ExitCode, 2);
    return;
  }
  EXPECT_EQ(options.File, c.file);
  EXPECT_EQ(options.Replay, c.replay);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineFile,
    ::testing::Values(FileArguments{"None", {}, true, QString(), false},
                      FileArguments{"AbsoluteFile", {"/data/day1.txt"}, true, "/data/day1.txt", false},
                      FileArguments{"RelativeFileMadeAbsolute", {"rec.nmea"}, true, QDir::current().filePath("rec.nmea"),
                                    false},
                      FileArguments{"ReplayAfterFile", {"/r.txt", "--replay"}, true, "/r.txt", true},
                      FileArguments{"ReplayBeforeFileWithOtherOptions", {"--replay", "--gnss", "/r.txt"}, true, "/r.txt",
                                    true},
                      FileArguments{"QtOptionValueIsNoFile", {"-style", "Fusion", "/r.txt"}, true, "/r.txt", false},
                      FileArguments{"ReplayWithoutFile", {"--replay"}, false, QString(), false},
                      FileArguments{"TwoFiles", {"/a.txt", "/b.txt"}, false, QString(), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLineHelp, NamesFileAndReplay) {
  ViewerOptions options;
  const CommandLineResult result = ParseViewerCommandLine({"quorvane-viewer", "--help"}, options);
  EXPECT_TRUE(result.Output.contains("[FILE]")) << result.Output.toStdString();
  EXPECT_TRUE(result.Output.contains("--replay"));
}

}  // namespace
