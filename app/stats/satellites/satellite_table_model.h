#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <vector>

#include "gnss_satellites.h"

class CNMEAParser;

// Every satellite the record holds, a row each, in the order the record
// lists them. A refresh updates the rows of the satellites still there in
// place, removes the ones gone and appends the new ones, so that a view's
// selection and sort order outlive it.
class SatelliteTableModel : public QAbstractTableModel {
 public:
  enum Column { System, Number, Signals, Snr, Elevation, Azimuth, Used, kColumnCount };
  // Numbers to sort by, where the texts would sort "9" after "10".
  static constexpr int kSortRole = Qt::UserRole;

  using QAbstractTableModel::QAbstractTableModel;

  void Refresh(const CNMEAParser& record);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  struct Row {
    GnssSat Sat;
    QString SignalText;  // GNSS mode: the signals' names; empty otherwise
    QString SnrText;     // GNSS mode: each signal's SNR
    int SignalCount = 0;
    bool Gnss = false;  // read in GNSS mode
  };
  static std::vector<Row> RowsOf(const CNMEAParser& record);
  static bool SameSatellite(const GnssSat& a, const GnssSat& b);

  std::vector<Row> rows_;
};
