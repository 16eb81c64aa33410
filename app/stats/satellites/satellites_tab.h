#pragma once

#include <QSortFilterProxyModel>
#include <QTableView>

#include "app/stats/satellites/satellite_table_model.h"
#include "app/stats/stats_tab.h"

// Every satellite the record holds, in a table the user sorts by any column.
class SatellitesTab : public StatsTab {
 public:
  explicit SatellitesTab(QWidget* parent = nullptr);

  void Refresh(const StatsContext& now) override;

  QTableView& View() { return *view_; }
  const QSortFilterProxyModel& Sorted() const { return sorted_; }

 private:
  SatelliteTableModel model_;
  QSortFilterProxyModel sorted_;
  QTableView* view_;
};
