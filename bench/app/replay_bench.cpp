// How long the open button takes to load a 100 MB recording (the window
// answers meanwhile: load_bench.cpp), and one replay tick after it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <vector>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/window/application.h"
#include "app/dialogs/file_chooser.h"
#include "app/window/main_form.h"
#include "app/window/main_unit.h"

namespace {

class Recording100MB {
 public:
  Recording100MB() {
    path_ = (std::filesystem::temp_directory_path() / ("qv_replay_bench_" + std::to_string(getpid()) + ".txt"))
                .string();
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    const std::string line = "$GPGGA,031428.00,2447.2236,N,12059.8236,E,1,10,0.9,62.6,M,15.2,M,,*5C\r\n";
    std::string block;
    while (block.size() < (1u << 20)) block += line;
    for (size_t written = 0; written < (100u << 20); written += block.size()) {
      std::fwrite(block.data(), 1, block.size(), f);
    }
    std::fclose(f);
  }
  ~Recording100MB() { std::remove(path_.c_str()); }
  QString path() const { return QString::fromStdString(path_); }

 private:
  std::string path_;
};

void BM_OpenRecordingOf100MB(benchmark::State& state) {
  static const Recording100MB file;
  CreateModuleObjects();
  TMainForm form;
  form.show();
  QCoreApplication::processEvents();
  SetFileChooser([](QFileDialog&) { return file.path(); });
  for (auto _ : state) {
    form.LoadButtonClick();
    while (form.LoadRunning()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  state.counters["lines"] = static_cast<double>(form.ListBox2Lines->count());
  state.counters["MB"] = 100;

  // A replay tick after the load, with the list shown.
  form.ParserButtonClick();
  const auto start = std::chrono::steady_clock::now();
  form.ParserTimerTimer();
  QCoreApplication::processEvents();
  state.counters["tick_ms"] =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  SetFileChooser({});
  form.close();
}
BENCHMARK(BM_OpenRecordingOf100MB)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The replay's pace on the event loop, timers and all (goal: 5 lines a second,
// ticks 1000 ms apart): lines played per second of wall time over 10 s.
void BM_ReplayPace(benchmark::State& state) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("qv_pace_" + std::to_string(getpid()) + ".txt")).string();
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    for (int i = 0; i < 1000; ++i) std::fputs("$GPGGA,031428.00,2447.2236,N,12059.8236,E,1,10,0.9,62.6,M,15.2,M,,*5C\r\n", f);
    std::fclose(f);
  }
  CreateModuleObjects();
  TMainForm form;
  form.show();
  SetFileChooser([&path](QFileDialog&) { return QString::fromStdString(path); });
  form.LoadButtonClick();
  while (form.LoadRunning()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  std::vector<double> gaps;
  auto last = std::chrono::steady_clock::now();
  QObject::connect(form.ParserTimer, &QTimer::timeout, [&] {
    const auto now = std::chrono::steady_clock::now();
    gaps.push_back(std::chrono::duration<double, std::milli>(now - last).count());
    last = now;
  });
  double seconds = 0;
  for (auto _ : state) {
    form.ParserButtonClick();
    last = std::chrono::steady_clock::now();
    const auto start = last;
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    form.ParserButtonClick();
  }
  state.counters["lines"] = static_cast<double>(form.ListBox1Lines->count());
  state.counters["run_s"] = seconds;
  if (!gaps.empty()) {
    double total = 0;
    for (const double gap : gaps) total += gap;
    // Every tick plays five lines: the file is far longer than the run.
    state.counters["lines_per_s"] = 5000.0 * static_cast<double>(gaps.size()) / total;
    state.counters["tick_min_ms"] = *std::min_element(gaps.begin(), gaps.end());
    state.counters["tick_max_ms"] = *std::max_element(gaps.begin(), gaps.end());
  }
  SetFileChooser({});
  form.close();
  std::remove(path.c_str());
}
BENCHMARK(BM_ReplayPace)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
