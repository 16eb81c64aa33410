#pragma once

#include "restart_commands.h"

#include <string>
#include <variant>
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

struct HelpRequested {};
struct VersionRequested {};
struct OptionError {
  std::string message;  // one line, without the program name
};

using ParseResult = std::variant<Options, HelpRequested, VersionRequested, OptionError>;

ParseResult ParseOptions(const std::vector<std::string>& args);
std::string HelpText();

}  // namespace ttff
