#include "sim_process.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::chrono_literals;
using simtest::SimProcess;

namespace {

// Forty simulated seconds a second keep the runs short; a cycle then comes
// every 25 ms, which bounds how late the simulator can show a fix.
constexpr double kPace = 40.0;
constexpr double kAcquire = 60.0;
constexpr double kHotAcquire = 4.0;

struct ToolRun {
  int status = -1;
  std::string out;
};

ToolRun RunTool(const std::string& args) {
  ToolRun run;
  std::FILE* pipe = popen((std::string(QV_TTFF_BINARY) + " " + args + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) run.out.append(buf, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::vector<std::string> CsvRows(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> rows;
  for (std::string line; std::getline(in, line);) rows.push_back(line);
  return rows;
}

std::vector<std::string> Split(const std::string& row) {
  std::vector<std::string> fields;
  std::stringstream s(row);
  for (std::string f; std::getline(s, f, ',');) fields.push_back(f);
  if (!row.empty() && row.back() == ',') fields.emplace_back();
  return fields;
}

std::size_t CountOf(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

TEST(TtffAgainstSim, EveryChipAndStartMatchesTheSimulatorsAcquisition) {
  SimProcess sim({"--pace", "40", "--acquire", "60", "--hot-acquire", "4", "--baud", "115200"});
  const std::string port = sim.readLine(5s);
  ASSERT_EQ(port.rfind("/dev/", 0), 0u) << port;
  const std::string csv = testing::TempDir() + "ttff_e2e.csv";
  const struct {
    const char* start;
    double seconds;  // simulated seconds to the 3D fix
  } starts[] = {{"cold", kAcquire}, {"warm", kAcquire / 3.0}, {"hot", kHotAcquire}};
  for (const char* chip : {"sirf", "skytraq", "mtk", "ublox"}) {
    for (const auto& start : starts) {
      SCOPED_TRACE(std::string(chip) + " " + start.start);
      const ToolRun run = RunTool(port + " --baud 115200 --settle 0 --runs 1 --timeout 10 --chip " + chip +
                                  " --start " + start.start + " --csv " + csv);
      EXPECT_EQ(run.status, 0) << run.out;
      EXPECT_NE(run.out.find("run 1/1  " + std::string(start.start) + "  first fix "), std::string::npos) << run.out;
      const std::vector<std::string> rows = CsvRows(csv);
      ASSERT_EQ(rows.size(), 2u);
      EXPECT_EQ(rows[0], "run,start_utc,command,first_fix_s,fix_3d_s,satellites_used,hdop,outcome");
      const std::vector<std::string> f = Split(rows[1]);
      ASSERT_EQ(f.size(), 8u) << rows[1];
      EXPECT_EQ(f[2], std::string(chip) + " " + start.start);
      EXPECT_EQ(f[7], "fixed");
      // The 2D fix, and with it the first valid position, comes at two thirds.
      EXPECT_NEAR(std::stod(f[3]), start.seconds * 2.0 / 3.0 / kPace, 0.1) << rows[1];
      EXPECT_NEAR(std::stod(f[4]), start.seconds / kPace, 0.1) << rows[1];
      EXPECT_GE(std::stoi(f[5]), 4);
    }
  }
  sim.signal(SIGINT);
  EXPECT_EQ(sim.wait(5s), 0);
  for (const char* said : {"SiRF", "Skytraq", "MTK", "u-blox"})
    for (const char* kind : {"cold", "warm", "hot"})
      EXPECT_EQ(CountOf(sim.stderrText(), std::string(kind) + " start: " + said + "\n"), 1u) << sim.stderrText();
  EXPECT_EQ(CountOf(sim.stderrText(), "ignored input"), 0u) << sim.stderrText();
}

TEST(TtffAgainstSim, ReceiverThatIgnoresTheCommandIsNotRestarted) {
  SimProcess sim({"--pace", "40", "--acquire", "4", "--ignore-restarts", "--baud", "115200"});
  const std::string port = sim.readLine(5s);
  ASSERT_EQ(port.rfind("/dev/", 0), 0u) << port;
  const ToolRun run = RunTool(port + " --baud 115200 --settle 0 --runs 2 --chip ublox --start warm");
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_EQ(CountOf(run.out, "not restarted: the fix did not drop within 2 s"), 2u) << run.out;
  EXPECT_NE(run.out.find("2 runs: 0 fixed, 0 timed out, 2 not restarted"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("3D fix     runs 0"), std::string::npos) << run.out;
  sim.signal(SIGINT);
  sim.wait(5s);
  EXPECT_EQ(CountOf(sim.stderrText(), "ignored input: warm start: u-blox (--ignore-restarts)"), 2u) << sim.stderrText();

  const ToolRun missing = RunTool("ttyQV_NO_SUCH_PORT");
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.out.find("Error opening serial port"), std::string::npos) << missing.out;
  EXPECT_EQ(RunTool(port + " --start lukewarm").status, 2);
}

#ifdef QV_TTFF_NETWORK
TEST(TtffAgainstSim, TcpSourceTakesTheCommandOnTheConnection) {
  SimProcess sim({"--pace", "40", "--acquire", "60", "--tcp", "127.0.0.1:0"});
  const std::string source = sim.readLine(5s);
  ASSERT_EQ(source.rfind("tcp://127.0.0.1:", 0), 0u) << source;
  const std::string csv = testing::TempDir() + "ttff_tcp.csv";
  const ToolRun run = RunTool(source + " --settle 0 --runs 2 --timeout 10 --chip mtk --csv " + csv);
  EXPECT_EQ(run.status, 0) << run.out;
  const std::vector<std::string> rows = CsvRows(csv);
  ASSERT_EQ(rows.size(), 3u) << run.out;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const std::vector<std::string> f = Split(rows[i]);
    ASSERT_EQ(f.size(), 8u) << rows[i];
    EXPECT_EQ(f[7], "fixed");
    EXPECT_NEAR(std::stod(f[3]), kAcquire * 2.0 / 3.0 / kPace, 0.1) << rows[i];
    EXPECT_NEAR(std::stod(f[4]), kAcquire / kPace, 0.1) << rows[i];
  }
  sim.signal(SIGINT);
  EXPECT_EQ(sim.wait(5s), 0);
  EXPECT_EQ(CountOf(sim.stderrText(), "cold start: MTK\n"), 2u) << sim.stderrText();

  // Nothing can be sent back to a datagram source.
  const ToolRun udp = RunTool("udp://127.0.0.1:10110 --chip mtk");
  EXPECT_EQ(udp.status, 2);
  EXPECT_EQ(CountOf(udp.out, "\n"), 1u) << udp.out;
  EXPECT_NE(udp.out.find("udp:// only listens"), std::string::npos) << udp.out;
}
#endif
