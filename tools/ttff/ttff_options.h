#pragma once

#include "option_result.h"
#include "restart_commands.h"

#include <string>
#include <vector>

namespace ttff {

struct Options {
  std::string port;
  unsigned baud = 9600;
  restart::Chip chip = restart::Chip::Sirf;
  restart::Start start = restart::Start::Cold;
  long runs = 10;
  double timeout = 300.0;  // seconds from the command to giving up on a run
  double settle = 5.0;     // seconds a 3D fix must hold before each restart
  bool gnss = false;
  std::string csv;
};

using tool_options::HelpRequested;
using tool_options::OptionError;
using tool_options::VersionRequested;
using ParseResult = tool_options::ParseResult<Options>;

ParseResult ParseOptions(const std::vector<std::string>& args);
std::string HelpText();

}  // namespace ttff
