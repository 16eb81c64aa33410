#include "app/stats/satellites/satellite_table_model.h"

#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <fstream>
#include <sstream>

#include "accuracy_figures.h"
#include "app/stats/satellites/satellites_tab.h"
#include "nmea/sentence.h"
#include "sample_collector.h"

namespace {

using Model = SatelliteTableModel;

// A column's display texts, top to bottom, as the tab shows them sorted by `sortBy`.
QStringList SortedColumn(SatellitesTab& tab, int sortBy, Qt::SortOrder order, int column) {
  tab.View().sortByColumn(sortBy, order);
  QStringList texts;
  const QAbstractItemModel& m = tab.Sorted();
  for (int row = 0; row < m.rowCount(); ++row) texts << m.index(row, column).data().toString();
  return texts;
}

// The record, and the figures the satellite table does not read.
struct Record {
  CNMEAParser Parser;
  stats::SampleCollector Samples{Parser};
  stats::AccuracyFigures Figures;
  StatsContext Context() const { return {Parser, Samples, Figures}; }
};

void FeedFile(CNMEAParser& parser, const char* name) {
  std::ifstream in(std::string(QV_TEST_DATA_DIR) + "/gnss/" + name);
  for (std::string line; std::getline(in, line);) Feed(parser, line);
}

TEST(SatellitesTab, DefaultModeSortsByNumberNotText) {
  Record record;
  CNMEAParser& parser = record.Parser;
  Feed(parser, Sentence("GPGSA,A,3,29,02,,,,,,,,,,,2.5,1.3,2.1") +
                   Sentence("GPGSV,2,1,05,10,40,083,9,02,05,200,45,29,71,013,38,05,12,300,") +
                   Sentence("GPGSV,2,2,05,134,30,150,40"));
  SatellitesTab tab;
  tab.Refresh(record.Context());
  EXPECT_EQ(SortedColumn(tab, Model::Number, Qt::AscendingOrder, Model::Number),
            QStringList({"2", "5", "10", "29", "134"}));
  // A missing SNR (0 in the table) sorts below every real one.
  EXPECT_EQ(SortedColumn(tab, Model::Snr, Qt::DescendingOrder, Model::Snr),
            QStringList({"45", "40", "38", "9", ""}));
  QStringList used = SortedColumn(tab, Model::Used, Qt::DescendingOrder, Model::Number).mid(0, 2);
  used.sort();
  EXPECT_EQ(used, QStringList({"2", "29"}));
  EXPECT_EQ(SortedColumn(tab, Model::System, Qt::AscendingOrder, Model::System).last(), "SBAS");
}

TEST(SatellitesTab, GnssModeListsEverySignalAndKeepsTheSelection) {
  Record record;
  CNMEAParser& parser = record.Parser;
  parser.SetGnssMode(true);
  FeedFile(parser, "dual_band_same_satellite.nmea");
  SatellitesTab tab;
  tab.Refresh(record.Context());
  EXPECT_EQ(tab.Sorted().rowCount(), parser.GnssInView());
  EXPECT_EQ(SortedColumn(tab, Model::Number, Qt::AscendingOrder, Model::Number),
            QStringList({"2", "4", "6", "9", "11", "17", "19", "19", "20", "29", "36"}));
  const QStringList snrs = SortedColumn(tab, Model::Snr, Qt::DescendingOrder, Model::Snr);
  EXPECT_EQ(snrs.first(), "47, 41");  // GPS 6: L1 C/A and L2C-L
  EXPECT_EQ(SortedColumn(tab, Model::Snr, Qt::DescendingOrder, Model::Signals).first(),
            "L1 C/A, L2C-L");

  // The selected satellite stays selected through a refresh that changes its SNR.
  tab.View().selectRow(0);
  Feed(parser, Sentence("GPGSV,2,1,05,02,41,073,40,06,65,190,20,09,35,278,43,17,22,128,36,1") +
                   Sentence("GPGSV,2,2,05,19,14,320,,1"));
  tab.Refresh(record.Context());
  const QModelIndexList selected = tab.View().selectionModel()->selectedRows(Model::Number);
  ASSERT_EQ(selected.size(), 1);
  EXPECT_EQ(selected[0].data().toString(), "6");
  EXPECT_NE(selected[0].row(), 0);  // re-sorted below the stronger ones
}

}  // namespace
