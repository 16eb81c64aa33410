#pragma once

#include <string>
#include <string_view>

#include "accuracy_figures.h"

namespace stats_tool {

// One source's figures as one compact JSON object and a newline; null for a
// figure without a value.
std::string FiguresJson(std::string_view file, const stats::AccuracyFigures& f);

// The CSV form: a header, and one row per source with empty cells for none.
std::string FiguresCsvHeader();
std::string FiguresCsvRow(std::string_view file, const stats::AccuracyFigures& f);

}  // namespace stats_tool
