#include "stats_report.h"

#include <cmath>
#include <optional>

#include "record_json.h"

namespace stats_tool {

namespace {

using stats::AccuracyFigures;
using stats::kFigureNames;

// Quoted when it holds a comma, a quote or a line break, quotes doubled.
void AppendCsvText(std::string& out, std::string_view s) {
  if (s.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += s;
    return;
  }
  out += '"';
  for (const char c : s) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

// Reals as JSON writes them, so that they read back exactly; empty for none.
void AppendCsvReal(std::string& out, std::optional<double> v) {
  if (v) AppendJsonReal(out, *v);
}

}  // namespace

std::string FiguresJson(std::string_view file, const AccuracyFigures& f) {
  std::string out = "{\"File\":";
  AppendJsonString(out, file);
  out += ",\"Samples\":" + std::to_string(f.Samples);
  out += ",\"Rejected\":" + std::to_string(f.Rejected);
  out += ",\"GgaDecoded\":" + std::to_string(f.GgaDecoded);
  for (size_t i = 0; i < kFigureNames.size(); ++i) {
    out += ",\"";
    out += kFigureNames[i].Name;
    out += "\":";
    if (f.Values[i]) {
      AppendJsonReal(out, *f.Values[i]);
    } else {
      out += "null";
    }
  }
  out += "}\n";
  return out;
}

std::string FiguresCsvHeader() {
  std::string out = "File,Samples,Rejected,GgaDecoded";
  for (const auto& figure : kFigureNames) {
    out += ',';
    out += figure.Name;
  }
  out += '\n';
  return out;
}

std::string FiguresCsvRow(std::string_view file, const AccuracyFigures& f) {
  std::string out;
  AppendCsvText(out, file);
  out += ',' + std::to_string(f.Samples) + ',' + std::to_string(f.Rejected) + ',' + std::to_string(f.GgaDecoded);
  for (const auto& v : f.Values) {
    out += ',';
    AppendCsvReal(out, v);
  }
  out += '\n';
  return out;
}

std::string EpochsCsvHeader() {
  return "utc,lat,lon,alt,east_m,north_m,up_m,horizontal_m,quality,sats,hdop,snr_top4\n";
}

std::string EpochsCsvRows(const stats::SampleStore& samples, const AccuracyFigures& f) {
  std::string out;
  if (!f.Reference) return out;
  samples.ForEach([&](const stats::StatsSample& s) {
    const stats::Enu o = stats::SampleOffsets(*f.Reference, s);
    AppendCsvText(out, s.TimeText());
    for (const double v : {s.Lat, s.Lon}) {
      out += ',';
      AppendJsonReal(out, v);
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

}  // namespace stats_tool
