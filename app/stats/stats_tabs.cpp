#include "app/stats/link/link_tab.h"
#include "app/stats/now/now_tab.h"
#include "app/stats/satellites/satellites_tab.h"
#include "app/stats/stats_window.h"

// The one place where the window's tabs are made, in the order they are shown.
// The history charts join them ahead of "Now".
void AddStatsTabs(StatsWindow& window) {
  window.AddTab(new NowTab, QStringLiteral("Now"));
  window.AddTab(new SatellitesTab, QStringLiteral("Satellites"));
  window.AddTab(new LinkTab, QStringLiteral("Link"));
}
