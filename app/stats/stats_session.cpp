#include "app/stats/stats_session.h"

#include "app/stats/stats_tab.h"

void StatsSession::Restart() {
  samples_.Clear();
  ++generation_;
  for (StatsTab* tab : tabs_) tab->Restart();
}

void StatsSession::LineReceived(std::string_view line) {
  for (StatsTab* tab : tabs_) tab->LineReceived(line);
}

const stats::AccuracyFigures& StatsSession::Figures() const {
  // Every sample and every rejection is a decoded GGA, so the count of those
  // and a restart's generation say whether anything changed.
  if (computed_ != CurrentVersion()) {
    figures_ = stats::ComputeFigures(samples_.Samples(), samples_.Rejected(), samples_.GgaDecoded(), reference_);
    computed_ = CurrentVersion();
  }
  return figures_;
}

StatsSession::FiguresInput StatsSession::TakeFiguresInput() const {
  return {CurrentVersion(), samples_.Samples().Snapshot(), samples_.Rejected(), samples_.GgaDecoded(), reference_};
}

stats::AccuracyFigures StatsSession::FiguresInput::Compute() const {
  return stats::ComputeFigures(Samples, Rejected, GgaDecoded, Reference);
}

void StatsSession::Adopt(const Version& version, stats::AccuracyFigures figures) {
  if (version.Generation != generation_) return;
  // Older than what is shown already: computed here in the meantime.
  if (computed_ && computed_->Generation == generation_ && computed_->GgaDecoded > version.GgaDecoded) return;
  figures_ = std::move(figures);
  computed_ = version;
}
