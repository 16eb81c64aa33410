#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "circle_recording.h"
#include "recordings.h"

namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

class StatsTool : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("qv_stats_tool_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Write(const std::string& name, const std::string& text) {
    const fs::path p = dir_ / name;
    std::ofstream(p, std::ios::binary) << text;
    return p;
  }

  ToolRun Run(const std::string& args) {
    const std::string cmd = std::string("'") + QV_STATS_TOOL + "' " + args + " >'" + (dir_ / "out").string() +
                            "' 2>'" + (dir_ / "err").string() + "'";
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(dir_ / "out"), ReadFile(dir_ / "err")};
  }

  fs::path dir_;
};

std::string Quoted(const fs::path& p) { return "'" + p.string() + "'"; }

// The number after "Key": in a compact JSON line, or "null".
std::string JsonValue(const std::string& json, const std::string& key) {
  const size_t at = json.find("\"" + key + "\":");
  if (at == std::string::npos) return "missing";
  const size_t from = at + key.size() + 3;
  return json.substr(from, json.find_first_of(",}", from) - from);
}

TEST_F(StatsTool, CirclesGiveTheirRadiiAsFigures) {
  // 19 fixes at 2 m and one at 6 m around a surveyed point: CEP95 at index
  // 18.05 lies between them.
  const fs::path file = Write("rings.nmea", CircleRecording({51.4779, -0.0015, 46.0}, {{2.0, 19}, {6.0, 1}}, 1.0));
  const ToolRun r = Run("--ref 51.4779,-0.0015,46 " + Quoted(file));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.find("{\"File\":\"" + file.string() + "\",\"Samples\":20,\"Rejected\":0,\"GgaDecoded\":20,"), 0u)
      << r.out;
  EXPECT_NEAR(std::stod(JsonValue(r.out, "Cep50")), 2.0, 1e-4);
  EXPECT_NEAR(std::stod(JsonValue(r.out, "Cep95")), 2.0 + 0.05 * 4.0, 1e-4);
  EXPECT_NEAR(std::stod(JsonValue(r.out, "Drms2")), 2.0 * std::sqrt((19 * 4.0 + 36.0) / 20.0), 1e-4);
  EXPECT_EQ(JsonValue(r.out, "MeanSnrTop4"), "null");
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);
}

TEST_F(StatsTool, CsvAndEpochsAgreeWithTheJson) {
  const fs::path file = Write("ring.nmea", CircleRecording({-33.8568, 151.2153, 12.0}, {{5.0, 4}}, 0.0));
  const fs::path epochs = dir_ / "epochs.csv";
  const std::string json = Run(Quoted(file)).out;
  const ToolRun r = Run("--csv --epochs " + Quoted(epochs) + " " + Quoted(file));
  EXPECT_EQ(r.status, 0) << r.err;
  std::istringstream csv(r.out);
  std::string header, row;
  std::getline(csv, header);
  std::getline(csv, row);
  EXPECT_EQ(header.rfind("File,Samples,Rejected,GgaDecoded,MeanLat,", 0), 0u) << header;
  EXPECT_NE(row.find("," + JsonValue(json, "Cep95") + ","), std::string::npos) << row << "\n" << json;

  std::istringstream rows(ReadFile(epochs));
  std::getline(rows, header);
  EXPECT_EQ(header, "utc,lat,lon,alt,east_m,north_m,up_m,horizontal_m,quality,sats,hdop,snr_top4");
  int n = 0;
  while (std::getline(rows, row)) {
    ++n;
    // Time as sent, then the position; horizontal_m is the ring's radius.
    EXPECT_EQ(row.rfind(n == 1 ? "120000.00,-33.85" : "12000", 0), 0u) << row;
    const size_t h = row.find(",1,8,0.8,");
    ASSERT_NE(h, std::string::npos) << row;
    EXPECT_NEAR(std::stod(row.substr(row.rfind(',', h - 1) + 1)), 5.0, 1e-4) << row;
  }
  EXPECT_EQ(n, 4);
}

// 0 with figures; 1 for a source without fixes, its null figures still
// printed; 2 with a one-line message for a usage or source error.
TEST_F(StatsTool, ExitStatusSaysWhatWentWrong) {
  const std::string ring = Quoted(Write("ring.nmea", CircleRecording({10.0, 10.0, 0.0}, {{1.0, 4}}, 0.0)));
  const fs::path nofix = Write("nofix.nmea", Sentence("GPGGA,120000,,,,,0,00,,,M,,M,,") + "\r\n");
  const std::string nofixJson = "{\"File\":\"" + nofix.string() + "\",\"Samples\":0,\"Rejected\":0,\"GgaDecoded\":1,";
  const std::string oneLine = "one line";
  const struct {
    std::string args;
    int status;
    std::string outStart;  // empty: nothing on standard output
    std::string outHolds;
    std::string err;  // to the letter, or oneLine: any one line
  } cases[] = {
      {Quoted(nofix), 1, nofixJson + "\"MeanLat\":null,", "\"Cep50\":null",
       "quorvane-stats: no position fixes in " + nofix.string() + "\n"},
      {"--ref 91,0 " + ring, 2, "", "", oneLine},
      {"--ref 45,181 " + ring, 2, "", "", oneLine},
      {"--ref 45 " + ring, 2, "", "", oneLine},
      {"--ref 45,x " + ring, 2, "", "", oneLine},
      {"--bogus " + ring, 2, "", "", oneLine},
      {"/nonexistent/recording.nmea", 2, "", "", oneLine},
      {"", 2, "", "", oneLine},
      {"--help", 0, "Usage: quorvane-stats ", "--ref", ""},
      {"--version", 0, "quorvane-stats ", "", ""},
  };
  for (const auto& t : cases) {
    const ToolRun r = Run(t.args);
    EXPECT_EQ(r.status, t.status) << t.args;
    EXPECT_EQ(r.out.rfind(t.outStart, 0), 0u) << t.args << ": " << r.out;
    EXPECT_EQ(r.out.empty(), t.outStart.empty()) << t.args << ": " << r.out;
    EXPECT_NE(r.out.find(t.outHolds), std::string::npos) << t.args << ": " << r.out;
    if (t.err == oneLine) {
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << t.args << ": " << r.err;
    } else {
      EXPECT_EQ(r.err, t.err) << t.args;
    }
  }
}

}  // namespace
