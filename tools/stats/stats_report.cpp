#include "stats_report.h"

#include "figure_text.h"
#include "record_json.h"

namespace stats_tool {

std::string FiguresJson(std::string_view file, const stats::AccuracyFigures& f) {
  std::string out = "{\"File\":";
  AppendJsonString(out, file);
  for (const stats::FigureText& row : stats::FigureTexts(f)) {
    out += ",\"";
    out += row.Name;
    out += "\":";
    out += row.Value ? row.Text : "null";
  }
  out += "}\n";
  return out;
}

std::string FiguresCsvHeader() {
  std::string out = "File";
  for (const stats::FigureText& row : stats::FigureTexts({})) {
    out += ',';
    out += row.Name;
  }
  out += '\n';
  return out;
}

std::string FiguresCsvRow(std::string_view file, const stats::AccuracyFigures& f) {
  std::string out;
  stats::AppendCsvText(out, file);
  for (const stats::FigureText& row : stats::FigureTexts(f)) {
    out += ',';
    out += row.Text;
  }
  out += '\n';
  return out;
}

}  // namespace stats_tool
