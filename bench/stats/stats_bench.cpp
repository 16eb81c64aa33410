// quorvane-stats against quorvane-decode on the same recording of 1,000,000
// fixes (a day at about 12 Hz), and the sample storage per fix. The goals are
// at most 1.25 times the decoder's time and 64 bytes a sample.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "accuracy_figures.h"
#include "bench/commit_context.h"
#include "line_feed.h"
#include "nmea_parser.h"
#include "sample_collector.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kFixes = 1000000;

std::string Sentence(const char* body) {
  unsigned x = 0;
  for (const char* c = body; *c != '\0'; ++c) x ^= static_cast<unsigned char>(*c);
  char sum[8];
  std::snprintf(sum, sizeof sum, "*%02X\r\n", x);
  return "$" + std::string(body) + sum;
}

// Each epoch a GGA and an RMC; once a second a GSA and three GSV, as a
// receiver at a high rate typically sends them. With `ggaOnly`, nothing but
// the GGA: the stats tool's worst case against the decoder.
void WriteDay(const fs::path& path, bool ggaOnly) {
  std::ofstream out(path, std::ios::binary);
  std::string block;
  char body[160];
  for (int k = 0; k < kFixes; ++k) {
    const int centis = k % 12 * 8;
    const int s = k / 12;
    char time[16];
    std::snprintf(time, sizeof time, "%02d%02d%02d.%02d", s / 3600 % 24, s / 60 % 60, s % 60, centis);
    // A wander of a few metres around a point near Munich.
    const double lat = 7.038 + 0.00003 * (k * 37 % 101);
    const double lon = 31.000 + 0.00004 * (k * 53 % 97);
    std::snprintf(body, sizeof body, "GPGGA,%s,48%08.5f,N,011%08.5f,E,1,%02d,0.9,%.1f,M,46.9,M,,", time, lat, lon,
                  7 + k % 5, 545.0 + (k % 13) * 0.1);
    block += Sentence(body);
    if (!ggaOnly) {
      std::snprintf(body, sizeof body, "GPRMC,%s,A,48%08.5f,N,011%08.5f,E,0.02,54.7,081226,,,A", time, lat, lon);
      block += Sentence(body);
      if (k % 12 == 0) {
        block += Sentence("GPGSA,A,3,02,05,06,12,13,19,24,25,29,,,,1.72,0.95,1.43");
        block += Sentence("GPGSV,3,1,11,02,23,302,41,05,61,285,46,06,14,203,35,12,52,089,44");
        block += Sentence("GPGSV,3,2,11,13,18,045,37,19,08,148,30,24,33,125,42,25,47,224,45");
        block += Sentence("GPGSV,3,3,11,29,72,178,47,31,05,344,,120,28,197,39");
      }
    }
    if (block.size() > (1 << 20)) {
      out << block;
      block.clear();
    }
  }
  out << block;
}

double ThreadSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// CPU seconds (user and system) of one run of `tool` on `file`, output discarded.
double RunSeconds(const char* tool, const fs::path& file) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::string path = file.string();
  char* argv[] = {const_cast<char*>(tool), path.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, tool, &actions, nullptr, argv, environ) != 0) return -1.0;
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1.0;
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// The best of several runs of each, taken in turn: the machine is shared, and
// the best run is the one least disturbed by other work.
void Compare(const char* what, const fs::path& file) {
  double decode = 1e300;
  double stats = 1e300;
  for (int i = 0; i < 5; ++i) {
    decode = std::min(decode, RunSeconds(QV_DECODE_TOOL, file));
    stats = std::min(stats, RunSeconds(QV_STATS_TOOL, file));
  }
  std::printf("%-34s %8.0f MB  decode %6.3f s  stats %6.3f s  ratio %.2f (goal <= 1.25)\n", what,
              static_cast<double>(fs::file_size(file)) / 1e6, decode, stats, stats / decode);
}

}  // namespace

int main() {
  std::printf("commit: %s\n", BenchCommit().c_str());
  const fs::path dir = fs::temp_directory_path() / ("qv_stats_bench_" + std::to_string(getpid()));
  fs::create_directories(dir);
  const fs::path day = dir / "day_12hz.nmea";
  const fs::path ggaOnly = dir / "day_12hz_gga_only.nmea";
  WriteDay(day, false);
  WriteDay(ggaOnly, true);

  Compare("GGA+RMC, GSA+GSV each second", day);
  Compare("GGA only", ggaOnly);

  // In this process, where the other tenants' work disturbs less: the
  // decoder alone, the decoder collecting samples, and the figures.
  double decodeOnly = 1e300, collect = 1e300, figures = 1e300;
  std::string error;
  for (int i = 0; i < 3; ++i) {
    const auto plain = std::make_unique<CNMEAParser>();
    double t0 = ThreadSeconds();
    if (!FeedFile(*plain, day.c_str(), false, error)) std::fprintf(stderr, "%s\n", error.c_str());
    decodeOnly = std::min(decodeOnly, ThreadSeconds() - t0);
    const auto parser = std::make_unique<CNMEAParser>();
    stats::SampleCollector samples(*parser);
    t0 = ThreadSeconds();
    FeedFile(*parser, day.c_str(), false, error);
    collect = std::min(collect, ThreadSeconds() - t0);
    t0 = ThreadSeconds();
    const auto f = stats::ComputeFigures(samples.Samples(), samples.Rejected(), samples.GgaDecoded(), std::nullopt);
    figures = std::min(figures, ThreadSeconds() - t0);
    if (f.Samples != kFixes) std::fprintf(stderr, "expected %d samples, got %llu\n", kFixes,
                                          static_cast<unsigned long long>(f.Samples));
  }
  std::printf("in process, %s: decode %.3f s, decode and collect %.3f s, figures %.3f s: ratio %.2f\n",
              day.filename().c_str(), decodeOnly, collect, figures, (collect + figures) / decodeOnly);

  const auto parser = std::make_unique<CNMEAParser>();
  stats::SampleCollector samples(*parser);
  if (!FeedFile(*parser, day.c_str(), false, error)) std::fprintf(stderr, "%s\n", error.c_str());
  const auto& store = samples.Samples();
  std::printf("samples %zu  storage %zu bytes  %.1f bytes per sample (goal <= 64; sizeof %zu)\n", store.Size(),
              store.BytesHeld(), static_cast<double>(store.BytesHeld()) / static_cast<double>(store.Size()),
              sizeof(stats::StatsSample));
  fs::remove_all(dir);
  return 0;
}
