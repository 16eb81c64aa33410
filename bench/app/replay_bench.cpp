// How long the window stands still while the open button loads a 100 MB
// recording (goal: a second or two at most), and one replay tick after it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "application.h"
#include "file_chooser.h"
#include "main_form.h"
#include "main_unit.h"

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
    QCoreApplication::processEvents();
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

}  // namespace
