// The history tab with a day of fixes at 10 Hz (864,000 samples): the time of
// one refresh of its charts for each span, with the reference moving as the
// mean does, and the memory the history holds; times are CPU times. The goals are 20 ms a refresh
// and 100 MB. With recordings named, replays them instead and, with
// --picture, saves a picture of the tab.
//   history_bench [--picture FILE.png] [--gnss] [--span TEXT] [RECORDING...]
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "bench/commit_context.h"
#include "accuracy_figures.h"
#include "history_span.h"
#include "history_tab.h"
#include "sample_collector.h"

namespace {

using stats::history::HistoryTab;

constexpr int kRate = 10;
constexpr int kFixes = 24 * 3600 * kRate;

std::string Sentence(const std::string& body) {
  unsigned x = 0;
  for (char c : body) x ^= static_cast<unsigned char>(c);
  char sum[8];
  std::snprintf(sum, sizeof sum, "*%02X\r\n", x);
  return "$" + body + sum;
}

// Fix k of a day from 00:00:00: a wander of a few metres near Munich, an
// altitude swinging by a metre, and once a second the satellites in view.
std::string Epoch(int k) {
  const int s = k / kRate;
  char time[16], body[200];
  std::snprintf(time, sizeof time, "%02d%02d%02d.%d", s / 3600 % 24, s / 60 % 60, s % 60, k % kRate);
  std::string out;
  if (k % kRate == 0) {
    const int inView = 8 + s / 600 % 5;
    std::string gsv = "GPGSV,1,1," + std::to_string(inView);
    for (int i = 0; i < 4; ++i) {
      std::snprintf(body, sizeof body, ",%02d,40,100,%02d", i + 1, 30 + (s / 60 + i * 7) % 20);
      gsv += body;
    }
    out += Sentence(gsv);
  }
  const double lat = 7.038 + 0.00003 * (k * 37 % 101) + 0.0002 * std::sin(k * 1e-4);
  const double lon = 31.000 + 0.00004 * (k * 53 % 97);
  std::snprintf(body, sizeof body, "GPGGA,%s,48%08.5f,N,011%08.5f,E,1,%02d,%.1f,%.1f,M,46.9,M,,", time, lat, lon,
                6 + s / 900 % 5, 0.8 + (s / 300 % 7) * 0.1, 545.0 + std::sin(k * 3e-4) + (k % 13) * 0.05);
  return out + Sentence(body);
}

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

struct Receiver {
  CNMEAParser parser;
  stats::SampleCollector samples{parser};
  stats::AccuracyFigures figures;

  void Feed(const std::string& bytes) { parser.FeedBytes(bytes.data(), static_cast<uint32_t>(bytes.size())); }
  StatsContext Context() { return {parser, samples, figures}; }
};

// CPU time of this thread: the machine is shared, and wall time would count
// the other tenants' work too.
class CpuTimer {
 public:
  CpuTimer() { restart(); }
  void restart() { start_ = Now(); }
  double Millis() const { return (Now() - start_) * 1e3; }

 private:
  static double Now() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
  }
  double start_;
};

void Save(HistoryTab& tab, const char* picture) {
  if (picture == nullptr) return;
  QApplication::processEvents();
  if (!tab.grab().save(QString::fromLocal8Bit(picture))) std::fprintf(stderr, "cannot save %s\n", picture);
}

int Day(HistoryTab& tab, const char* picture) {
  auto r = std::make_unique<Receiver>();
  std::string bytes;
  for (int k = 0; k < kFixes; ++k) bytes += Epoch(k);
  r->Feed(bytes);
  r->figures = stats::ComputeFigures(r->samples.Samples(), 0, 0, std::nullopt);

  const long rssBefore = ResidentKb();
  CpuTimer timer;
  tab.Refresh(r->Context());
  std::printf("first refresh, reading %zu samples: %.1f ms\n", r->samples.Samples().Size(), timer.Millis());
  std::printf("history held: %.1f MB (%.1f bytes a sample; goal <= 100 MB); resident memory grew %.1f MB\n",
              static_cast<double>(tab.BytesHeld()) / 1e6, static_cast<double>(tab.BytesHeld()) / kFixes, static_cast<double>(ResidentKb() - rssBefore) / 1e3);

  auto* span = tab.findChild<QComboBox*>();
  int next = kFixes;
  for (size_t s = 0; s < stats::history::kHistorySpans.size(); ++s) {
    // Choosing the span redraws at once, laying every axis out anew.
    timer.restart();
    span->setCurrentIndex(static_cast<int>(s));
    QApplication::processEvents();
    QImage chosen(tab.size(), QImage::Format_ARGB32_Premultiplied);
    tab.render(&chosen);
    const double choosing = timer.Millis();
    std::vector<double> refresh, painted;
    for (int i = 0; i < 20; ++i) {
      // A second more of fixes, and the mean where they take it.
      std::string second;
      for (int j = 0; j < kRate; ++j) second += Epoch(next++ % kFixes);
      r->Feed(second);
      r->figures = stats::ComputeFigures(r->samples.Samples(), 0, 0, std::nullopt);
      timer.restart();
      tab.Refresh(r->Context());
      refresh.push_back(timer.Millis());
      // The layout the charts asked for, then the picture, as the event loop would.
      QApplication::processEvents();
      QImage image(tab.size(), QImage::Format_ARGB32_Premultiplied);
      tab.render(&image);
      painted.push_back(timer.Millis());
    }
    std::sort(refresh.begin(), refresh.end());
    std::sort(painted.begin(), painted.end());
    std::printf("%-10s refresh median %5.2f ms, worst %5.2f ms; with layout and painting median %5.2f ms, worst %5.2f ms "
                "(goal <= 20 ms); choosing the span %5.2f ms\n",
                stats::history::kHistorySpans[s].Text, refresh[refresh.size() / 2], refresh.back(),
                painted[painted.size() / 2], painted.back(), choosing);
  }
  // The user gives a point of their own: every error is summed up again.
  std::vector<double> moved;
  for (int i = 0; i < 5; ++i) {
    r->figures = stats::ComputeFigures(r->samples.Samples(), 0, 0, stats::FixedPoint{48.1173 + i * 1e-4, 11.5167, {}});
    timer.restart();
    tab.Refresh(r->Context());
    moved.push_back(timer.Millis());
  }
  std::sort(moved.begin(), moved.end());
  std::printf("Everything, the reference moved by 11 m: refresh median %.2f ms, worst %.2f ms\n", moved[2], moved[4]);
  Save(tab, picture);
  return 0;
}

int Replay(HistoryTab& tab, const std::vector<const char*>& files, bool gnss, const char* picture) {
  Receiver r;
  r.parser.SetGnssMode(gnss);
  for (const char* file : files) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", file);
      return 2;
    }
    r.Feed(std::string(std::istreambuf_iterator<char>(in), {}));
  }
  r.figures = stats::ComputeFigures(r.samples.Samples(), 0, 0, std::nullopt);
  tab.Refresh(r.Context());
  std::printf("%zu samples replayed\n", r.samples.Samples().Size());
  Save(tab, picture);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::printf("commit: %s\n", BenchCommit().c_str());
  const char* picture = nullptr;
  bool gnss = false;
  const char* span = nullptr;
  std::vector<const char*> files;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--picture" && i + 1 < argc) {
      picture = argv[++i];
    } else if (a == "--gnss") {
      gnss = true;
    } else if (a == "--span" && i + 1 < argc) {
      span = argv[++i];
    } else {
      files.push_back(argv[i]);
    }
  }
  HistoryTab tab;
  tab.resize(900, 900);
  tab.show();
  if (span != nullptr) tab.findChild<QComboBox*>()->setCurrentText(QString::fromUtf8(span));
  QApplication::processEvents();
  return files.empty() ? Day(tab, picture) : Replay(tab, files, gnss, picture);
}
