#include <benchmark/benchmark.h>

#include <QIODevice>

#include <cstdio>
#include <string>
#include <vector>

#include "app/track/track_export.h"
#include "tests/nmea/sentence.h"

namespace {

// Takes every byte and keeps none, so only the export's own work is timed.
class NullDevice : public QIODevice {
 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char*, qint64 length) override { return length; }
};

// An hour at 10 Hz of a receiver on the move: GGA, GSA and RMC each epoch.
std::vector<std::string> Recording() {
  std::vector<std::string> lines;
  char body[160];
  for (int i = 0; i < 36000; ++i) {
    const int s = i / 10;
    const int h = 10 + s / 3600, m = s / 60 % 60, sec = s % 60, tenth = i % 10;
    const double minutes = 7.038 + i * 1e-5;
    std::snprintf(body, sizeof body, "GPGGA,%02d%02d%02d.%d0,48%07.4f,N,01131.0000,E,1,09,0.9,%.1f,M,46.9,M,,", h, m,
                  sec, tenth, minutes, 545.4 + i % 50 * 0.1);
    lines.push_back(Sentence(body));
    lines.push_back(Sentence("GPGSA,A,3,04,05,09,12,17,20,24,25,29,,,,1.6,0.9,1.3"));
    std::snprintf(body, sizeof body, "GPRMC,%02d%02d%02d.%d0,A,48%07.4f,N,01131.0000,E,12.4,84.4,100326,,", h, m, sec,
                  tenth, minutes);
    lines.push_back(Sentence(body));
  }
  return lines;
}

const std::vector<std::string> kLines = Recording();

void Counters(benchmark::State& state, uint64_t points) {
  size_t bytes = 0;
  for (const std::string& line : kLines) bytes += line.size() + 2;
  state.counters["ns_per_point"] =
      benchmark::Counter(static_cast<double>(points), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_DecoderAlone(benchmark::State& state) {
  uint64_t points = 0;
  for (auto _ : state) {
    CNMEAParser decoder;
    for (const std::string& line : kLines) decoder.FeedBytes(line.data(), static_cast<uint32_t>(line.size()));
    points += decoder.GgaSentences;
  }
  Counters(state, points);
}

void BM_Export(benchmark::State& state, TrackFormat format) {
  uint64_t points = 0;
  for (auto _ : state) {
    NullDevice device;
    device.open(QIODevice::WriteOnly);
    TrackExport exporter(device, format, QStringLiteral("bench"), false);
    for (const std::string& line : kLines) exporter.FeedLine(line);
    exporter.Finish();
    points += exporter.Points();
  }
  Counters(state, points);
}

BENCHMARK(BM_DecoderAlone)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Export, Gpx, TrackFormat::Gpx)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Export, Kml, TrackFormat::Kml)->Unit(benchmark::kMillisecond);

}  // namespace
