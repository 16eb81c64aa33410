// Figures for the display: the line list at a million lines, loading a large
// recording, and one full refresh of the charts and status texts.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QListView>
#include <QLocale>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/views/line_list_model.h"
#include "app/window/fixed_row_delegate.h"
#include "app/views/signal_chart.h"
#include "app/views/sky_view.h"
#include "app/views/status_text.h"

namespace {

constexpr size_t kMillion = 1000000;

size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

std::string SeventyByteLine(size_t i) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "$GPGGA,%06zu.00,2433.1234,N,12112.5678,E,1,08,0.9,123.4,M,15.0,M,,*4", i % 1000000);
  std::string line(buf);
  line.resize(70, '0');
  return line;
}

void BM_AppendMillionLines(benchmark::State& state) {
  const std::string line = SeventyByteLine(42);
  for (auto _ : state) {
    const size_t before = HeapInUse();
    LineListModel model;
    for (size_t i = 0; i < kMillion; ++i) {
      model.appendLine(line);
    }
    model.flush();
    state.counters["bytes_per_line"] = static_cast<double>(HeapInUse() - before) / kMillion;
    benchmark::DoNotOptimize(model.rowCount());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kMillion));
}
BENCHMARK(BM_AppendMillionLines)->Unit(benchmark::kMillisecond)->Iterations(3);

// A list view showing a model of a million lines, as the window's list box
// holds them after a long session.
struct ShownMillionLines {
  explicit ShownMillionLines(const std::string& line) {
    for (size_t i = 0; i < kMillion; ++i) {
      model.appendLine(line);
    }
    model.flush();
    view.setUniformItemSizes(true);
    view.resize(345, 209);
    view.setModel(&model);
    view.show();
    QCoreApplication::processEvents();
  }

  LineListModel model;
  QListView view;
};

// What a replay tick costs the shown list once it holds a million lines:
// five lines appended, the view told, scrolled to the last line and repainted.
void BM_ReplayTickOnShownListAtMillionLines(benchmark::State& state) {
  const std::string line = SeventyByteLine(7);
  ShownMillionLines shown(line);
  LineListModel& model = shown.model;
  QListView& view = shown.view;
  for (auto _ : state) {
    for (int i = 0; i < 5; ++i) {
      model.appendLine(line);
    }
    model.flush();
    view.scrollTo(model.index(model.rowCount() - 1));
    QCoreApplication::processEvents();
    view.viewport()->repaint();
  }
}
BENCHMARK(BM_ReplayTickOnShownListAtMillionLines)->Unit(benchmark::kMillisecond);

void BM_RepaintViewAtMillionLines(benchmark::State& state) {
  const std::string line = SeventyByteLine(3);
  ShownMillionLines shown(line);
  LineListModel& model = shown.model;
  QListView& view = shown.view;
  int row = 0;
  for (auto _ : state) {
    row = (row + 99991) % static_cast<int>(kMillion);
    view.scrollTo(model.index(row), QAbstractItemView::PositionAtTop);
    view.viewport()->repaint();
  }
}
BENCHMARK(BM_RepaintViewAtMillionLines)->Unit(benchmark::kMicrosecond);

// One repaint of a list box whose rows hold a line of ten million bytes, as a
// file without line breaks loads (goal: as cheap as a row of a sentence).
void BM_PaintRowsOfTenMegabyteLine(benchmark::State& state) {
  LineListModel model;
  const std::string line(10u << 20, 'x');
  for (int i = 0; i < 3; ++i) model.appendLine(line);
  model.flush();
  QListView view;
  view.setUniformItemSizes(true);
  view.setItemDelegate(new FixedRowDelegate(13, &view));
  view.resize(345, 209);
  view.setModel(&model);
  view.show();
  QCoreApplication::processEvents();
  for (auto _ : state) {
    view.viewport()->repaint();
    benchmark::DoNotOptimize(view.sizeHintForIndex(model.index(0)));
  }
  state.counters["line_MB"] = 10;
}
BENCHMARK(BM_PaintRowsOfTenMegabyteLine)->Unit(benchmark::kMicrosecond);

class RecordingFile {
 public:
  RecordingFile() {
    path_ = (std::filesystem::temp_directory_path() / ("qv_bench_" + std::to_string(getpid()) + ".txt")).string();
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    std::string block;
    size_t written = 0;
    for (size_t i = 0; written < (100u << 20); ++i) {
      block += SeventyByteLine(i);
      block += "\r\n";
      if (block.size() > (1u << 20)) {
        written += std::fwrite(block.data(), 1, block.size(), f);
        block.clear();
      }
    }
    std::fclose(f);
    size_ = written;
  }
  ~RecordingFile() { std::remove(path_.c_str()); }
  const std::string& path() const { return path_; }
  size_t size() const { return size_; }

 private:
  std::string path_;
  size_t size_ = 0;
};

void BM_Load100MBFile(benchmark::State& state) {
  static const RecordingFile file;
  size_t lines = 0;
  for (auto _ : state) {
    LineStore store;
    LoadLinesFromFile(file.path(), store);
    lines = store.size();
  }
  state.counters["lines"] = static_cast<double>(lines);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_Load100MBFile)->Unit(benchmark::kMillisecond)->Iterations(3);

// One refresh's drawing and texts with 36 satellites in view.
void BM_RefreshWith36Satellites(benchmark::State& state) {
  CNMEAParser record;
  record.GsvInView = 36;
  record.GsaFixType = 3;
  for (int i = 0; i < CNMEAParser::kSatTableSize; ++i) {
    record.GsvSat[i] = {static_cast<uint16_t>(i + 1), static_cast<uint16_t>(20 + i), i % 3 != 0,
                        static_cast<uint16_t>(i * 10), static_cast<uint16_t>(i * 5 % 90)};
  }
  record.GgaLat = 24.5520567;
  record.GgaLon = -121.2094633;
  record.GgaAltitude = 123.4;
  record.RmcSpeedKnots = 5.2;
  QImage earth(182, 181, QImage::Format_RGB32);
  earth.fill(0xFF1B2E4C);
  QImage chart(342, 153, QImage::Format_RGB32);
  QImage sky(182, 180, QImage::Format_RGB32);
  const QLocale locale;
  for (auto _ : state) {
    DrawSkyBackground(sky, earth);
    DrawSignalChartBackground(chart);
    QString texts = LatitudeText(record.GgaLat, locale) + LongitudeText(record.GgaLon, locale) +
                    AltitudeText(record.GgaAltitude, locale) + FixText(record.GsaFixType);
    DrawSignalBars(chart, SatelliteView(record));
    DrawSkyDots(sky, SatelliteView(record));
    texts += GpsTimeText(record) + TtffText(34) + SpeedText(record.RmcSpeedKnots, locale);
    benchmark::DoNotOptimize(texts);
  }
}
BENCHMARK(BM_RefreshWith36Satellites)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
