// Loading a big recording: time against `wc -l` on the same file (goal: at
// most twice as long), anonymous memory per line beyond the file's own bytes
// (goal: at most 16), and the window's longest stand-still while the open
// button loads it (goal: under 50 ms). The file is made here, of
// QV_LOAD_BENCH_MB megabytes (default 1024), and removed at the end.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/dialogs/file_chooser.h"
#include "app/replay/line_loader.h"
#include "app/window/main_form.h"
#include "app/window/main_unit.h"

namespace {

class BigRecording {
 public:
  BigRecording() {
    const char* mb = std::getenv("QV_LOAD_BENCH_MB");
    megabytes_ = mb != nullptr && std::atol(mb) > 0 ? static_cast<size_t>(std::atol(mb)) : 1024;
    path_ = (std::filesystem::temp_directory_path() / ("qv_load_bench_" + std::to_string(getpid()) + ".txt")).string();
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    const std::string line = "$GPGGA,031428.00,2447.2236,N,12059.8236,E,1,10,0.9,62.6,M,15.2,M,,*5C\r\n";
    std::string block;
    while (block.size() + line.size() <= (1u << 20)) block += line;
    for (size_t i = 0; i < megabytes_; ++i) std::fwrite(block.data(), 1, block.size(), f);
    std::fclose(f);
    bytes_ = std::filesystem::file_size(path_);
  }
  ~BigRecording() { std::remove(path_.c_str()); }
  const std::string& path() const { return path_; }
  double megabytes() const { return static_cast<double>(bytes_) / (1 << 20); }
  size_t bytes() const { return bytes_; }

 private:
  size_t megabytes_ = 0;
  size_t bytes_ = 0;
  std::string path_;
};

const BigRecording& File() {
  static const BigRecording file;
  return file;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Fastest of three runs of `wc -l`, the page cache warm from the first.
double WcSeconds(const std::string& path) {
  double best = 1e9;
  const std::string command = "wc -l '" + path + "' > /dev/null";
  for (int i = 0; i < 3; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) return 0;
    best = std::min(best, Seconds(start));
  }
  return best;
}

long RssAnonKiB() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == "RssAnon:") {
      status >> value;
      return value;
    }
    status.ignore(1 << 10, '\n');
  }
  return 0;
}

void BM_LoadVersusWcL(benchmark::State& state) {
  const BigRecording& file = File();
  const double wc = WcSeconds(file.path());
  double best = 1e9;
  double extraPerLine = 0;
  size_t lines = 0;
  for (auto _ : state) {
    const long before = RssAnonKiB();
    LineStore store;
    const auto start = std::chrono::steady_clock::now();
    LoadLines(file.path(), store, [](uint64_t, uint64_t) { return true; });
    best = std::min(best, Seconds(start));
    lines = store.size();
    const double anon = static_cast<double>(RssAnonKiB() - before) * 1024.0;
    extraPerLine = (anon - static_cast<double>(file.bytes())) / static_cast<double>(lines);
  }
  std::printf("load %.3f s, wc -l %.3f s, ratio %.2f; %zu lines of %.0f MB; RssAnon beyond the file %.2f bytes/line\n",
              best, wc, best / wc, lines, file.megabytes(), extraPerLine);
  state.counters["load_s"] = best;
  state.counters["wc_l_s"] = wc;
  state.counters["ratio"] = best / wc;
  state.counters["lines"] = static_cast<double>(lines);
  state.counters["anon_B_per_line"] = extraPerLine;
}
BENCHMARK(BM_LoadVersusWcL)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The open button on the window's event loop: a 10 ms watchdog timer notes the
// longest gap between its ticks from the click until 1.5 s after the lines are in.
void BM_WindowStallWhileOpening(benchmark::State& state) {
  const BigRecording& file = File();
  CreateModuleObjects();
  TMainForm form;
  form.show();
  QCoreApplication::processEvents();
  SetFileChooser([&file](QFileDialog&) { return QString::fromStdString(file.path()); });
  QElapsedTimer sinceTick;
  qint64 longest = 0;
  QTimer watchdog;
  watchdog.setTimerType(Qt::PreciseTimer);
  QObject::connect(&watchdog, &QTimer::timeout, [&] {
    longest = std::max(longest, sinceTick.restart());
  });
  double seconds = 0;
  qint64 worst = 0;
  std::vector<qint64> stalls;
  bool barShown = false;
  for (auto _ : state) {
    longest = 0;
    watchdog.start(10);
    sinceTick.start();
    const auto start = std::chrono::steady_clock::now();
    form.LoadButtonClick();
    const qint64 click = sinceTick.restart();
    longest = std::max(longest, click);
    while (form.LoadRunning()) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
      barShown = barShown || form.height() > 475;
    }
    seconds = Seconds(start);
    // The views take in the lines once they are there: that counts too.
    QElapsedTimer after;
    after.start();
    while (after.elapsed() < 1500) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    longest = std::max(longest, sinceTick.elapsed());
    watchdog.stop();
    std::printf("  run: %.3f s, longest stall %lld ms, of which the click %lld ms\n", seconds,
                static_cast<long long>(longest), static_cast<long long>(click));
    worst = std::max(worst, longest);
    stalls.push_back(longest);
  }
  std::sort(stalls.begin(), stalls.end());
  const qint64 median = stalls.empty() ? 0 : stalls[stalls.size() / 2];
  std::printf("window: %zu lines in %.3f s, longest event-loop stall %lld ms (median of the runs %lld ms), load strip %s\n",
              form.ListBox2Lines->count(), seconds, static_cast<long long>(worst), static_cast<long long>(median),
              barShown ? "shown" : "not shown");
  state.counters["longest_stall_ms"] = static_cast<double>(worst);
  state.counters["median_stall_ms"] = static_cast<double>(median);
  state.counters["load_s"] = seconds;
  SetFileChooser({});
  form.close();
}
BENCHMARK(BM_WindowStallWhileOpening)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace
