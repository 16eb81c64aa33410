#include "figure_text.h"

#include "real_text.h"

namespace stats {

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

std::array<FigureText, kFigureRows> FigureTexts(const AccuracyFigures& f) {
  std::array<FigureText, kFigureRows> rows;
  const std::pair<const char*, uint64_t> counts[] = {
      {"Samples", f.Samples}, {"Rejected", f.Rejected}, {"GgaDecoded", f.GgaDecoded}};
  size_t i = 0;
  for (const auto& [name, count] : counts) {
    rows[i++] = {name, "", static_cast<double>(count), std::to_string(count)};
  }
  for (size_t k = 0; k < kFigureCount; ++k, ++i) {
    rows[i] = {kFigureNames[k].Name, kFigureNames[k].Unit, f.Values[k], {}};
    if (f.Values[k]) nmea::AppendReal(rows[i].Text, *f.Values[k]);
  }
  return rows;
}

std::string FiguresTabText(const AccuracyFigures& f) {
  std::string out;
  for (const FigureText& row : FigureTexts(f)) {
    out.append(row.Name).append(1, '\t').append(row.Text).append(1, '\t').append(row.Unit).append(1, '\n');
  }
  return out;
}

}  // namespace stats
