#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "accuracy_figures.h"

namespace stats_tool {

struct Options {
  bool gnss = false;
  bool csv = false;
  std::optional<stats::FixedPoint> reference;
  std::string epochs;  // the per-sample CSV file; empty for none
  std::vector<std::string> sources;
};

struct HelpRequested {};
struct VersionRequested {};
struct OptionError {
  std::string message;  // one line, without the program name
};

using ParseResult = std::variant<Options, HelpRequested, VersionRequested, OptionError>;

ParseResult ParseOptions(const std::vector<std::string>& args);
std::string HelpText();

}  // namespace stats_tool
