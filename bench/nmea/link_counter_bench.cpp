// What counting a link costs per line beside the decoder: the statistics
// window feeds every line to its LinkCounter, shown or not.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "line_splitter.h"
#include "link_counter.h"

namespace {

// The lines of a multi-constellation recording, as the replay cuts them.
std::vector<std::string> RecordingLines() {
  std::ifstream in(QV_TEST_DATA_DIR "/gnss/ublox_m8_nmea410.nmea", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  std::vector<std::string> lines;
  LineSplitter split(LineSplitter::Breaks::Any);
  const auto keep = [&](std::string_view line) { lines.emplace_back(line); };
  split.Feed(text.data(), text.size(), keep);
  split.Finish(keep);
  return lines;
}

const std::vector<std::string> kLines = RecordingLines();

void SetCounters(benchmark::State& state) {
  const auto lines = static_cast<double>(state.iterations() * kLines.size());
  state.counters["ns_per_line"] =
      benchmark::Counter(lines, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["lines"] = static_cast<double>(kLines.size());
}

void BM_DecoderAlone(benchmark::State& state) {
  CNMEAParser decoder;
  decoder.SetGnssMode(true);
  for (auto _ : state) {
    for (const std::string& line : kLines) {
      decoder.FeedBytes(line.data(), static_cast<uint32_t>(line.size()));
    }
    benchmark::DoNotOptimize(decoder.SentenceTotal);
  }
  SetCounters(state);
}

void BM_LinkCounter(benchmark::State& state) {
  LinkCounter counter;
  counter.SetGnssMode(true);
  for (auto _ : state) {
    const auto now = LinkCounter::Clock::now();
    for (const std::string& line : kLines) counter.Line(line, now);
    benchmark::DoNotOptimize(counter.Totals());
  }
  SetCounters(state);
}

BENCHMARK(BM_DecoderAlone);
BENCHMARK(BM_LinkCounter);

}  // namespace

BENCHMARK_MAIN();
