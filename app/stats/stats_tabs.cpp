#include "app/stats/history/history_tab.h"
#include "app/stats/link/link_tab.h"
#include "app/stats/now/now_tab.h"
#include "app/stats/satellites/satellites_tab.h"
#include "app/stats/stats_window.h"

// The one place where the window's tabs are made, in the order they are shown.
void AddStatsTabs(StatsWindow& window) {
  window.AddTab(new stats::history::HistoryTab, QStringLiteral("History"));
  window.AddTab(new NowTab, QStringLiteral("Now"));
  window.AddTab(new SatellitesTab, QStringLiteral("Satellites"));
  window.AddTab(new LinkTab, QStringLiteral("Link"));
}
