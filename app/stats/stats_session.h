#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "accuracy_figures.h"
#include "sample_collector.h"

class CNMEAParser;
class StatsTab;

// What the statistics window gathers while it exists, shown or hidden: the
// samples of the decoder it watches, the reference the user chose, and the
// tabs that hear of every line and every restart.
class StatsSession {
 public:
  explicit StatsSession(CNMEAParser& parser) : parser_(parser), samples_(parser) {}

  // The tab is told of lines and restarts from now on; it must outlive the session's use of it.
  void AddTab(StatsTab* tab) { tabs_.push_back(tab); }
  const std::vector<StatsTab*>& Tabs() const { return tabs_; }

  // The samples start again: a connection opened, a cold start, a replay started, Clear.
  void Restart();
  // Every line the decoder is about to be fed.
  void LineReceived(std::string_view line);

  // None: the samples' mean.
  void SetReference(const std::optional<stats::FixedPoint>& fixed) {
    reference_ = fixed;
    ++generation_;
  }
  const std::optional<stats::FixedPoint>& Reference() const { return reference_; }

  const CNMEAParser& Parser() const { return parser_; }
  const stats::SampleCollector& Samples() const { return samples_; }
  // The figures as they stand. They are computed again only when a GGA came,
  // the samples restarted or the reference changed: a paused replay of a day
  // costs nothing a second.
  const stats::AccuracyFigures& Figures() const;
  // Changes whenever Figures would.
  struct Version {
    uint64_t Generation, GgaDecoded;
    size_t Samples;
    bool operator==(const Version&) const = default;
  };
  Version CurrentVersion() const {
    return {generation_, samples_.GgaDecoded(), samples_.Samples().Size()};
  }

  // What the figures are computed from, taken now, to compute them on
  // another thread while samples go on arriving.
  struct FiguresInput {
    Version For;
    stats::SampleStore Samples;  // a snapshot
    uint64_t Rejected, GgaDecoded;
    std::optional<stats::FixedPoint> Reference;
    stats::AccuracyFigures Compute() const;
  };
  FiguresInput TakeFiguresInput() const;
  // Figures computed elsewhere from TakeFiguresInput; dropped when the
  // samples have restarted or the reference changed since.
  void Adopt(const Version& version, stats::AccuracyFigures figures);
  // The figures last computed, here or elsewhere, and what they were computed
  // from: they may lag the samples by one computation.
  const stats::AccuracyFigures& LatestFigures() const { return figures_; }
  const std::optional<Version>& LatestVersion() const { return computed_; }

 private:
  CNMEAParser& parser_;
  stats::SampleCollector samples_;
  std::optional<stats::FixedPoint> reference_;
  std::vector<StatsTab*> tabs_;
  uint64_t generation_ = 0;  // restarts and reference changes
  mutable std::optional<Version> computed_;
  mutable stats::AccuracyFigures figures_;
};
