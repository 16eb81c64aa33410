#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "sim_process.h"

using namespace std::chrono_literals;

namespace {

// The simulated receiver at forty times real speed, with its fix after one
// simulated second: two seconds of reading hold some eighty fixes.
TEST(StatsAgainstSim, ReadsASerialPortForTheDuration) {
  simtest::SimProcess sim({"--pace", "40", "--acquire", "1", "--baud", "115200"});
  const std::string port = sim.readLine(5s);
  ASSERT_FALSE(port.empty()) << sim.stderrText();
  std::FILE* pipe = popen((std::string(QV_STATS_TOOL) + " --duration 2 --baud 115200 " + port).c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
  const int status = pclose(pipe);
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0) << out;
  EXPECT_EQ(out.rfind("{\"File\":\"" + port + "\",\"Samples\":", 0), 0u) << out;
  const int samples = std::stoi(out.substr(out.find("\"Samples\":") + 10));
  EXPECT_GT(samples, 40) << out;
  // The simulator's satellites reach the figures too.
  EXPECT_EQ(out.find("\"MeanSnrTop4\":null"), std::string::npos) << out;
}

}  // namespace
