// Seeking in a large recording and playing it as fast as possible, through
// the window. The recording's size is QV_BENCH_REPLAY_MB (default 256); the
// goals are for 1024: a seek anywhere within 100 ms, the fastest replay at
// 200 MB/s or more through the decoder and the line list.
#include <benchmark/benchmark.h>
#include <time.h>
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

// Built by appending: GCC 12 at -O3 takes the chain of + in the tests'
// Sentence() for an overlapping copy (-Wrestrict).
std::string Line(std::string_view body) {
  unsigned sum = 0;
  for (const char c : body) sum ^= static_cast<unsigned char>(c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
  std::string line(1, '$');
  line.append(body).append(tail);
  return line;
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
      const long s = (second + 80000) % 86400;
      char gga[96];
      char rmc[96];
      std::snprintf(gga, sizeof gga, "GPGGA,%02ld%02ld%02ld.00,2447.2236,N,12059.8236,E,1,10,0.9,62.6,M,15.2,M,,",
                    s / 3600, s / 60 % 60, s % 60);
      std::snprintf(rmc, sizeof rmc, "GPRMC,%02ld%02ld%02ld.00,A,2447.2236,N,12059.8236,E,0.5,54.7,080327,,,A",
                    s / 3600, s / 60 % 60, s % 60);
      block += Line(gga);
      block += Line("GPGSA,A,3,02,05,07,09,13,16,20,23,26,29,,,1.6,0.9,1.3");
      block += Line("GPGSV,3,1,12,02,72,040,45,05,15,310,30,07,55,200,41,09,33,095,38");
      block += Line("GPGSV,3,2,12,13,08,160,22,16,64,300,44,20,41,250,40,23,27,020,35");
      block += Line("GPGSV,3,3,12,26,50,130,42,29,19,075,33,30,05,230,,31,86,010,");
      block += Line(rmc);
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

// The window thread's own processor time: the machine running the benchmark
// may be busy with other work, which inflates wall times.
double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// A shown window with the recording loaded through its open button.
struct LoadedWindow {
  TMainForm form;
  LoadedWindow() {
    form.show();
    QCoreApplication::processEvents();
    SetFileChooser([](QFileDialog&) { return Recording().path(); });
    form.LoadButtonClick();
  }
  ~LoadedWindow() {
    SetFileChooser({});
    form.close();
  }
};

void BM_SeekAnywhere(benchmark::State& state) {
  const BigRecording& file = Recording();
  CreateModuleObjects();
  LoadedWindow window;
  TMainForm& form = window.form;
  const auto building = std::chrono::steady_clock::now();
  while (!form.ReplaySeeks.Complete()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  state.counters["index_build_s"] = MsSince(building) / 1000;
  const size_t lines = form.ListBox2Lines->count();
  std::mt19937_64 random(7);
  double worst = 0;
  double total = 0;
  double cpuWorst = 0;
  double cpuTotal = 0;
  double decoderWorst = 0;
  double decoderTotal = 0;
  int seeks = 0;
  CNMEAParser sought;
  for (auto _ : state) {
    for (int i = 0; i < 100; ++i) {
      const size_t k = std::uniform_int_distribution<size_t>(0, lines)(random);
      // The decoder's part alone: the nearest saved state and the decode after it.
      const auto decoding = std::chrono::steady_clock::now();
      form.ReplaySeeks.StateAt(k, sought);
      const double decoderMs = MsSince(decoding);
      decoderWorst = std::max(decoderWorst, decoderMs);
      decoderTotal += decoderMs;
      const auto start = std::chrono::steady_clock::now();
      const double cpuStart = ThreadCpuMs();
      form.SeekReplay(k);
      QCoreApplication::processEvents();
      const double ms = MsSince(start);
      const double cpu = ThreadCpuMs() - cpuStart;
      cpuWorst = std::max(cpuWorst, cpu);
      cpuTotal += cpu;
      worst = std::max(worst, ms);
      total += ms;
      ++seeks;
    }
  }
  state.counters["MB"] = static_cast<double>(file.bytes()) / (1 << 20);
  state.counters["seek_worst_ms"] = worst;
  state.counters["seek_mean_ms"] = total / seeks;
  state.counters["seek_cpu_worst_ms"] = cpuWorst;
  state.counters["seek_cpu_mean_ms"] = cpuTotal / seeks;
  state.counters["decoder_worst_ms"] = decoderWorst;
  state.counters["decoder_mean_ms"] = decoderTotal / seeks;
  state.counters["states"] = static_cast<double>(form.ReplaySeeks.StatesReady());
}
BENCHMARK(BM_SeekAnywhere)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The whole file at "As fast as possible" on the event loop, from the start
// button to "Finish", display refreshes and all.
void BM_AsFastAsPossible(benchmark::State& state) {
  const BigRecording& file = Recording();
  CreateModuleObjects();
  LoadedWindow window;
  TMainForm& form = window.form;
  form.Strip->SpeedBox->setCurrentIndex(form.Strip->SpeedBox->count() - 1);
  double seconds = 0;
  double cpuMs = 0;
  double longestTurnMs = 0;
  for (auto _ : state) {
    form.ParserButtonClick();
    const auto start = std::chrono::steady_clock::now();
    cpuMs = ThreadCpuMs();
    while (form.ParserButton->text() != QStringLiteral("Finish")) {
      const auto turn = std::chrono::steady_clock::now();
      QCoreApplication::processEvents(QEventLoop::AllEvents);
      longestTurnMs = std::max(longestTurnMs, MsSince(turn));
    }
    seconds = MsSince(start) / 1000;
    cpuMs = ThreadCpuMs() - cpuMs;
  }
  const double mb = static_cast<double>(file.bytes()) / (1 << 20);
  state.counters["MB"] = mb;
  state.counters["MB_per_s"] = mb / seconds;
  state.counters["MB_per_cpu_s"] = mb / (cpuMs / 1000);
  state.counters["longest_turn_ms"] = longestTurnMs;
  state.counters["list_lines"] = static_cast<double>(form.ListBox1Lines->count());
}
BENCHMARK(BM_AsFastAsPossible)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
