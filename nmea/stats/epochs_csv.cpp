#include "epochs_csv.h"

#include <cmath>
#include <optional>

#include "figure_text.h"
#include "real_text.h"

namespace stats {

namespace {

// Empty for none.
void AppendCsvReal(std::string& out, std::optional<double> v) {
  if (v) nmea::AppendReal(out, *v);
}

}  // namespace

std::string EpochsCsvHeader() {
  return "utc,lat,lon,alt,east_m,north_m,up_m,horizontal_m,quality,sats,hdop,snr_top4\n";
}

std::string EpochsCsvRows(const SampleStore& samples, const AccuracyFigures& f) {
  std::string out;
  if (!f.Reference) return out;
  samples.ForEach([&](const StatsSample& s) {
    const Enu o = SampleOffsets(*f.Reference, s);
    AppendCsvText(out, s.TimeText());
    for (const double v : {s.Lat, s.Lon}) {
      out += ',';
      nmea::AppendReal(out, v);
    }
    out += ',';
    // Up is measured only where the sentence sent an altitude.
    const bool alt = s.HasAltitude();
    AppendCsvReal(out, alt ? std::optional<double>(s.Alt) : std::nullopt);
    for (const std::optional<double> v :
         {std::optional<double>(o.East), std::optional<double>(o.North),
          alt ? std::optional<double>(o.Up) : std::nullopt,
          std::optional<double>(std::sqrt(o.East * o.East + o.North * o.North))}) {
      out += ',';
      AppendCsvReal(out, v);
    }
    out += ',' + std::to_string(s.Quality) + ',';
    if (s.HasSatsUsed()) out += std::to_string(s.SatsUsed);
    out += ',';
    AppendCsvReal(out, s.HasHdop() ? std::optional<double>(s.Hdop) : std::nullopt);
    out += ',';
    AppendCsvReal(out, s.SnrCount > 0 ? std::optional<double>(static_cast<double>(s.SnrSum) / s.SnrCount)
                                      : std::nullopt);
    out += '\n';
  });
  return out;
}

}  // namespace stats
