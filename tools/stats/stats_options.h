#pragma once

#include <optional>
#include <string>
#include <vector>

#include "accuracy_figures.h"
#include "option_result.h"

namespace stats_tool {

struct Options {
  bool gnss = false;
  bool csv = false;
  std::optional<stats::FixedPoint> reference;
  std::string epochs;  // the per-sample CSV file; empty for none
  double duration = 0.0;  // seconds a serial port is read; 0 until Ctrl-C
  unsigned baud = 9600;
  std::vector<std::string> sources;
};

using ParseResult = tool_options::ParseResult<Options>;

ParseResult ParseOptions(const std::vector<std::string>& args);
std::string HelpText();

}  // namespace stats_tool
