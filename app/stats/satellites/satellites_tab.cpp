#include "app/stats/satellites/satellites_tab.h"

#include <QHeaderView>
#include <QVBoxLayout>

SatellitesTab::SatellitesTab(QWidget* parent) : StatsTab(parent), view_(new QTableView(this)) {
  sorted_.setSourceModel(&model_);
  sorted_.setSortRole(SatelliteTableModel::kSortRole);
  view_->setModel(&sorted_);
  view_->setSortingEnabled(true);
  view_->sortByColumn(SatelliteTableModel::System, Qt::AscendingOrder);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->verticalHeader()->hide();
  // Text rows, as many on screen as fit.
  view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 4);
  view_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  view_->horizontalHeader()->setSectionResizeMode(SatelliteTableModel::Used, QHeaderView::Stretch);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);
}

void SatellitesTab::Refresh(const StatsContext& now) { model_.Refresh(now.Parser); }
