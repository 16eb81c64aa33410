// One refresh of the statistics window after a second's new fixes: the
// figures, the map's dots, the history charts and the repaint of the whole
// window, with 100,000 samples and with a day at 10 Hz (goal: 20 ms of the
// window's thread). From 100,000 samples on the figures are computed on
// another thread: BM_StatsRefresh counts only the window thread's CPU time,
// the figures' arrival included, and reports the wait for them apart.
#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QTimer>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>
#include <random>
#include <string>

#include "app/stats/deviation_map.h"
#include "app/stats/figures_panel.h"
#include "app/stats/stats_window.h"
#include "nmea/nmea_parser.h"

namespace {

constexpr int kSamples = 100000;

// A receiver standing still at 10 Hz, scattered by a metre or so: the spread
// the map draws most densely.
std::string Sentence(int i, std::mt19937& random) {
  std::normal_distribution<double> metres(0.0, 1.2);
  const double lat = 51.4779 + metres(random) / 111200.0;
  const double lon = 0.0015 + metres(random) / 69300.0;
  char body[128];
  std::snprintf(body, sizeof body, "GPGGA,%02d%02d%02d.%d,%02d%011.8f,N,%03d%011.8f,E,1,09,0.9,%.2f,M,47.0,M,,",
                i / 36000 % 24, i / 600 % 60, i / 10 % 60, i % 10, static_cast<int>(lat),
                std::fmod(lat, 1.0) * 60.0, static_cast<int>(lon), std::fmod(lon, 1.0) * 60.0,
                46.0 + metres(random));
  unsigned x = 0;
  for (const char* c = body; *c != '\0'; ++c) x ^= static_cast<unsigned char>(*c);
  char line[160];
  std::snprintf(line, sizeof line, "$%s*%02X", body, x);
  return line;
}

struct Fixture {
  CNMEAParser parser;
  std::unique_ptr<StatsWindow> window;
  std::mt19937 random{7};
  int sent = 0;

  explicit Fixture(int samples = kSamples) {
    window = std::make_unique<StatsWindow>(parser);
    window->show();
    // The benchmark stands in for the window's once-a-second timer.
    window->RefreshTimer->stop();
    QCoreApplication::processEvents();
    Feed(samples);
    // The first refresh reads every sample once; the benchmark times the
    // steady refreshes after it.
    window->RefreshNow();
  }

  void Feed(int fixes) {
    for (const int end = sent + fixes; sent < end; ++sent) {
      const std::string line = Sentence(sent, random);
      parser.FeedBytes(line.data(), static_cast<uint32_t>(line.size()));
    }
  }
};

// A second of a 10 Hz receiver, so that the figures and the map have changed
// (unchanged, the window computes and draws nothing again).
constexpr int kSecond = 10;

// CPU seconds this thread spends in `f`.
template <typename F>
double ThreadSeconds(F&& f) {
  const auto now = [] {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
  };
  const double start = now();
  f();
  return now() - start;
}

// The history tab's choice of span, found by its items.
void ShowSpan(StatsWindow& window, int span) {
  for (QComboBox* box : window.findChildren<QComboBox*>()) {
    if (box->findText(QStringLiteral("Everything")) >= 0) box->setCurrentIndex(span);
  }
  QCoreApplication::processEvents();
}

void BM_StatsRefresh(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  ShowSpan(*f.window, static_cast<int>(state.range(1)));
  double waited = 0.0;
  for (auto _ : state) {
    f.Feed(kSecond);
    double window = ThreadSeconds([&] {
      f.window->RefreshNow();
      f.window->repaint();
    });
    const auto asked = std::chrono::steady_clock::now();
    f.window->WaitForFigures();
    waited += std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count();
    window += ThreadSeconds([&] {
      QCoreApplication::processEvents();  // the figures come
      // and change the map and the panel.
      f.window->Map->repaint();
      f.window->Figures->repaint();
    });
    state.SetIterationTime(window);
  }
  state.counters["samples"] = static_cast<double>(f.window->Session().Samples().Samples().Size());
  state.counters["dots"] = static_cast<double>(f.window->Map->DotsDrawn());
  state.counters["figures_wait_ms"] = waited * 1e3 / static_cast<double>(state.iterations());
}
// The second argument is the history's span: 1 minute, 10 minutes (the
// default), 1 hour, everything.
BENCHMARK(BM_StatsRefresh)
    ->ArgsProduct({{kSamples, 864000}, {0, 1, 2, 3}})
    ->UseManualTime()->Unit(benchmark::kMillisecond);


// The parts: the figures alone, then the map's dots alone.
void BM_StatsFigures(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    f.Feed(kSecond);
    benchmark::DoNotOptimize(f.window->Session().Figures());
  }
}
BENCHMARK(BM_StatsFigures)->Arg(kSamples)->Arg(864000)->Unit(benchmark::kMillisecond);

void BM_StatsMap(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  const stats::AccuracyFigures figures = f.window->Session().Figures();
  for (auto _ : state) {
    f.Feed(kSecond);  // the map places what came since its last refresh
    f.window->Map->Refresh(f.window->Session().Samples().Samples(), figures);
    f.window->Map->repaint();
  }
}
BENCHMARK(BM_StatsMap)->Arg(kSamples)->Arg(864000)->Unit(benchmark::kMillisecond);

}  // namespace
