#include "app/stats/stats_session.h"

#include "app/stats/stats_tab.h"

void StatsSession::Restart() {
  samples_.Clear();
  for (StatsTab* tab : tabs_) tab->Restart();
}

void StatsSession::LineReceived(std::string_view line) {
  for (StatsTab* tab : tabs_) tab->LineReceived(line);
}

stats::AccuracyFigures StatsSession::Figures() const {
  return stats::ComputeFigures(samples_.Samples(), samples_.Rejected(), samples_.GgaDecoded(), reference_);
}
