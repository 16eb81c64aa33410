// Seeking in a large recording and playing it as fast as possible, through
// the window. The recording's size is QV_BENCH_REPLAY_MB (default 256); the
// goals are for 1024: a seek anywhere within 100 ms, the fastest replay at
// 200 MB/s or more through the decoder and the line list.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "app/dialogs/file_chooser.h"
#include "app/replay_strip/replay_strip.h"
#include "app/window/main_form.h"
#include "app/window/main_unit.h"

namespace {

size_t RecordingMB() {
  const QByteArray mb = qgetenv("QV_BENCH_REPLAY_MB");
  return mb.isEmpty() ? 256 : std::max<size_t>(1, static_cast<size_t>(mb.toULongLong()));
}

std::string WithChecksum(const std::string& body) {
  unsigned x = 0;
  for (const char c : body) x ^= static_cast<unsigned char>(c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", x);
  return "$" + body + tail;
}

// A receiver's second: GGA, GSA, three GSV and RMC, its time going on
// across midnight, written until the file has `mb` megabytes.
class BigRecording {
 public:
  explicit BigRecording(size_t mb) : mb_(mb) {
    path_ = (std::filesystem::temp_directory_path() / ("qv_seek_bench_" + std::to_string(getpid()) + ".txt")).string();
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    std::string block;
    size_t written = 0;
    for (long second = 0; written < mb << 20; ++second) {
      char t[16];
      const long s = (second + 80000) % 86400;
      std::snprintf(t, sizeof t, "%02ld%02ld%02ld.00", s / 3600, s / 60 % 60, s % 60);
      const std::string time = t;
      block += WithChecksum("GPGGA," + time + ",2447.2236,N,12059.8236,E,1,10,0.9,62.6,M,15.2,M,,");
      block += WithChecksum("GPGSA,A,3,02,05,07,09,13,16,20,23,26,29,,,1.6,0.9,1.3");
      block += WithChecksum("GPGSV,3,1,12,02,72,040,45,05,15,310,30,07,55,200,41,09,33,095,38");
      block += WithChecksum("GPGSV,3,2,12,13,08,160,22,16,64,300,44,20,41,250,40,23,27,020,35");
      block += WithChecksum("GPGSV,3,3,12,26,50,130,42,29,19,075,33,30,05,230,,31,86,010,");
      block += WithChecksum("GPRMC," + time + ",A,2447.2236,N,12059.8236,E,0.5,54.7,080327,,,A");
      if (block.size() >= 1 << 20) {
        std::fwrite(block.data(), 1, block.size(), f);
        written += block.size();
        block.clear();
      }
    }
    std::fclose(f);
  }
  ~BigRecording() { std::remove(path_.c_str()); }
  QString path() const { return QString::fromStdString(path_); }
  size_t bytes() const { return std::filesystem::file_size(path_); }

 private:
  size_t mb_;
  std::string path_;
};

const BigRecording& Recording() {
  static const BigRecording file(RecordingMB());
  return file;
}

double MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void BM_SeekAnywhere(benchmark::State& state) {
  const BigRecording& file = Recording();
  CreateModuleObjects();
  TMainForm form;
  form.show();
  QCoreApplication::processEvents();
  SetFileChooser([&file](QFileDialog&) { return file.path(); });
  form.LoadButtonClick();
  const auto building = std::chrono::steady_clock::now();
  while (!form.ReplaySeeks.Complete()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  state.counters["index_build_s"] = MsSince(building) / 1000;
  const size_t lines = form.ListBox2Lines->count();
  std::mt19937_64 random(7);
  double worst = 0;
  double total = 0;
  int seeks = 0;
  for (auto _ : state) {
    for (int i = 0; i < 200; ++i) {
      const size_t k = std::uniform_int_distribution<size_t>(0, lines)(random);
      const auto start = std::chrono::steady_clock::now();
      form.SeekReplay(k);
      QCoreApplication::processEvents();
      const double ms = MsSince(start);
      worst = std::max(worst, ms);
      total += ms;
      ++seeks;
    }
  }
  state.counters["MB"] = static_cast<double>(file.bytes()) / (1 << 20);
  state.counters["seek_worst_ms"] = worst;
  state.counters["seek_mean_ms"] = total / seeks;
  state.counters["states"] = static_cast<double>(form.ReplaySeeks.StatesReady());
  SetFileChooser({});
  form.close();
}
BENCHMARK(BM_SeekAnywhere)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The whole file at "As fast as possible" on the event loop, from the start
// button to "Finish", display refreshes and all.
void BM_AsFastAsPossible(benchmark::State& state) {
  const BigRecording& file = Recording();
  CreateModuleObjects();
  TMainForm form;
  form.show();
  QCoreApplication::processEvents();
  SetFileChooser([&file](QFileDialog&) { return file.path(); });
  form.LoadButtonClick();
  form.Strip->SpeedBox->setCurrentIndex(form.Strip->SpeedBox->count() - 1);
  double seconds = 0;
  double longestTurnMs = 0;
  for (auto _ : state) {
    form.ParserButtonClick();
    const auto start = std::chrono::steady_clock::now();
    while (form.ParserButton->text() != QStringLiteral("Finish")) {
      const auto turn = std::chrono::steady_clock::now();
      QCoreApplication::processEvents(QEventLoop::AllEvents);
      longestTurnMs = std::max(longestTurnMs, MsSince(turn));
    }
    seconds = MsSince(start) / 1000;
  }
  const double mb = static_cast<double>(file.bytes()) / (1 << 20);
  state.counters["MB"] = mb;
  state.counters["MB_per_s"] = mb / seconds;
  state.counters["longest_turn_ms"] = longestTurnMs;
  state.counters["list_lines"] = static_cast<double>(form.ListBox1Lines->count());
  SetFileChooser({});
  form.close();
}
BENCHMARK(BM_AsFastAsPossible)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
