#include "app/stats/satellites/satellite_table_model.h"

#include <QStringList>
#include <algorithm>

#include "nmea_parser.h"
#include "satellite_view.h"
#include "signal_names.h"

namespace {

// GNSS mode leaves a missing value at -1; the default mode's table holds 0
// where a field was empty, and an SNR of 0 is no signal there either.
bool Missing(int32_t value, bool gnss) { return value < 0 || (!gnss && value == 0); }

QString Value(int32_t value, bool gnss) {
  return Missing(value, gnss) ? QString() : QString::number(value);
}

// The signal's name; without one (no signal ID before NMEA 4.10, the system
// ID where PQ puts it, an ID the standard leaves free) the talker that sent
// it, so that several reports still tell apart, or nothing for a lone one.
QString SignalText(const GnssSky::SignalSnr& s, GnssSystem system, bool lone) {
  const char* name = s.Talker == nmea::Talker::PQ ? nullptr : SignalName(system, s.Signal);
  if (name != nullptr) return QString::fromLatin1(name);
  static constexpr const char* kTalkers[] = {"GP", "GN", "GL", "GA", "GB",
                                             "BD", "GQ", "GI", "PQ", ""};
  static_assert(std::size(kTalkers) == nmea::kTalkerCount + 1, "a name per talker, and None");
  return lone ? QString() : QString::fromLatin1(kTalkers[static_cast<int>(s.Talker)]);
}

}  // namespace

std::vector<SatelliteTableModel::Row> SatelliteTableModel::RowsOf(const CNMEAParser& record) {
  const bool gnss = record.GnssMode();
  const SatelliteView view(record);
  std::vector<Row> rows;
  rows.reserve(static_cast<size_t>(view.Count()));
  for (int i = 0; i < view.Count(); ++i) {
    const GnssSat& sat = view[i];
    // The default mode's table keeps a place for an entry without a PRN.
    if (sat.Nmea == 0 && !gnss) continue;
    Row row{sat, {}, {}, 0, gnss};
    if (gnss) {
      GnssSky::SignalSnr heard[GnssSky::kMaxSignals];
      row.SignalCount = record.GnssSignals(i, heard);
      QStringList names, snrs;
      for (int s = 0; s < row.SignalCount; ++s) {
        names << SignalText(heard[s], sat.System, row.SignalCount == 1);
        snrs << (heard[s].Snr < 0 ? QStringLiteral("-") : QString::number(heard[s].Snr));
      }
      row.SignalText = names.join(QStringLiteral(", "));
      row.SnrText = snrs.join(QStringLiteral(", "));
    } else {
      row.SnrText = Value(sat.Snr, false);
    }
    rows.push_back(row);
  }
  return rows;
}

bool SatelliteTableModel::SameSatellite(const GnssSat& a, const GnssSat& b) {
  // A number no system uses has Id 0: then the number as sent tells it.
  return a.System == b.System && a.Id == b.Id && (a.Id != 0 || a.Nmea == b.Nmea);
}

void SatelliteTableModel::Refresh(const CNMEAParser& record) {
  std::vector<Row> fresh = RowsOf(record);
  const auto inFresh = [&](const Row& row) {
    return std::any_of(fresh.begin(), fresh.end(),
                       [&](const Row& f) { return SameSatellite(f.Sat, row.Sat); });
  };
  for (int i = static_cast<int>(rows_.size()) - 1; i >= 0; --i) {
    if (inFresh(rows_[static_cast<size_t>(i)])) continue;
    beginRemoveRows({}, i, i);
    rows_.erase(rows_.begin() + i);
    endRemoveRows();
  }
  std::vector<Row> added;
  for (Row& row : fresh) {
    const auto kept = std::find_if(rows_.begin(), rows_.end(),
                                   [&](const Row& r) { return SameSatellite(r.Sat, row.Sat); });
    if (kept == rows_.end()) {
      added.push_back(row);
    } else {
      *kept = row;
    }
  }
  if (!rows_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1));
  if (added.empty()) return;
  const int first = rowCount();
  beginInsertRows({}, first, first + static_cast<int>(added.size()) - 1);
  rows_.insert(rows_.end(), added.begin(), added.end());
  endInsertRows();
}

int SatelliteTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int SatelliteTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant SatelliteTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const Row& row = rows_[static_cast<size_t>(index.row())];
  const GnssSat& sat = row.Sat;
  const bool known = sat.Id != 0;
  if (role == kSortRole) {
    switch (index.column()) {
      case System:
        return known ? static_cast<int>(sat.System) : kGnssSystemCount;
      case Number:
        return known ? sat.Id : sat.Nmea;
      case Signals:
        return row.SignalCount;
      case Snr:
        return Missing(sat.Snr, row.Gnss) ? -1 : sat.Snr;
      case Elevation:
        return sat.Elevation;
      case Azimuth:
        return sat.Azimuth;
      case Used:
        return sat.Used ? 1 : 0;
      default:
        return {};
    }
  }
  if (role == Qt::TextAlignmentRole) {
    // Numbers to the right, where their digits line up; words to the left.
    const int c = index.column();
    const bool words =
        c == System || c == Signals || c == Used || (c == Snr && row.SignalCount > 1);
    return QVariant(words ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
  }
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case System:
      return known ? QString::fromLatin1(GnssSystemName(sat.System)) : QStringLiteral("?");
    case Number:
      return QString::number(known ? sat.Id : sat.Nmea);
    case Signals:
      return row.SignalText;
    case Snr:
      return row.SnrText;
    case Elevation:
      return Value(sat.Elevation, true);
    case Azimuth:
      return Value(sat.Azimuth, true);
    case Used:
      return sat.Used ? QStringLiteral("yes") : QString();
    default:
      return {};
  }
}

QVariant SatelliteTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static constexpr const char* kTitles[kColumnCount] = {"System",    "Number",  "Signals", "SNR",
                                                        "Elevation", "Azimuth", "Used"};
  return section >= 0 && section < kColumnCount ? QString::fromLatin1(kTitles[section])
                                                : QVariant();
}
