#include <cstdio>
#include <memory>
#include <string>

#include "accuracy_figures.h"
#include "epochs_csv.h"
#include "line_feed.h"
#include "live_source.h"
#include "nmea_parser.h"
#include "sample_collector.h"
#include "stats_options.h"
#include "stats_report.h"
#ifdef QV_WITH_SOURCES
#include "source_input.h"
#endif

namespace {

bool Write(std::FILE* f, const std::string& text) { return std::fwrite(text.data(), 1, text.size(), f) == text.size(); }

}  // namespace

int main(int argc, char** argv) {
  using namespace stats_tool;
  const ParseResult parsed = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (const auto status = tool_options::AnswerWithoutRunning(parsed, "quorvane-stats", QV_VERSION, HelpText())) {
    return *status;
  }
  const Options& o = std::get<Options>(parsed);

  std::FILE* epochs = nullptr;
  if (!o.epochs.empty()) {
    epochs = std::fopen(o.epochs.c_str(), "wb");
    if (epochs == nullptr) {
      std::perror(("quorvane-stats: " + o.epochs).c_str());
      return 2;
    }
    Write(epochs, stats::EpochsCsvHeader());
  }
  if (o.csv) Write(stdout, FiguresCsvHeader());

  int status = 0;
  for (const std::string& source : o.sources) {
    // A decoder of its own for each source, so that one recording's state
    // does not leak into the next one's figures.
    const auto parser = std::make_unique<CNMEAParser>();
    parser->SetGnssMode(o.gnss);
    stats::SampleCollector samples(*parser);
    std::string error;
    bool read = false;
#ifdef QV_WITH_SOURCES
    if (IsSourceName(source.c_str())) {
      std::string ended;
      read = FeedSource(*parser, source.c_str(), o.duration, error, ended);
      if (!ended.empty()) std::fprintf(stderr, "quorvane-stats: %s; figures so far\n", ended.c_str());
    } else
#endif
      read = IsSerialPort(source) ? ReadSerialPort(*parser, samples, source, o.baud, o.duration, error)
                                  : FeedFile(*parser, source.c_str(), false, error);
    if (!read) {
      std::fprintf(stderr, "quorvane-stats: %s\n", error.c_str());
      status = 2;
      break;
    }
    const stats::AccuracyFigures figures =
        stats::ComputeFigures(samples.Samples(), samples.Rejected(), samples.GgaDecoded(), o.reference);
    Write(stdout, o.csv ? FiguresCsvRow(source, figures) : FiguresJson(source, figures));
    if (epochs != nullptr) Write(epochs, stats::EpochsCsvRows(samples.Samples(), figures));
    if (figures.Samples == 0) {
      std::fprintf(stderr, "quorvane-stats: no position fixes in %s\n", source.c_str());
      status = 1;
    }
  }
  if (epochs != nullptr && (std::ferror(epochs) || std::fclose(epochs) != 0)) {
    std::perror(("quorvane-stats: " + o.epochs).c_str());
    status = 2;
  }
  if (std::fflush(stdout) != 0) status = 2;
  return status;
}
