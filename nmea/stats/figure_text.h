#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "accuracy_figures.h"

// The figures as text, one writer for every place that shows, copies or
// prints them, so that the window and quorvane-stats never disagree.
namespace stats {

// A CSV cell: quoted when it holds a comma, a quote or a line break, quotes doubled.
void AppendCsvText(std::string& out, std::string_view s);

struct FigureText {
  std::string_view Name;
  std::string_view Unit;          // "" for a count or ratio
  std::optional<double> Value;    // none: the figure has no value
  std::string Text;               // Value in full precision; "" for none
};

// Samples, Rejected and GgaDecoded, then every figure of kFigureNames.
inline constexpr size_t kFigureRows = 3 + kFigureCount;
std::array<FigureText, kFigureRows> FigureTexts(const AccuracyFigures& f);

// A line `name<TAB>value<TAB>unit` per row of FigureTexts, for pasting into a report.
std::string FiguresTabText(const AccuracyFigures& f);

}  // namespace stats
