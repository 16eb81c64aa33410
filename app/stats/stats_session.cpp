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
