#pragma once
// What a command-line tool's option parser returns, and how its main answers
// --help, --version and a usage mistake before doing its work.

#include <cstdio>
#include <optional>
#include <string>
#include <variant>

namespace tool_options {

struct HelpRequested {};
struct VersionRequested {};
struct OptionError {
  std::string message;  // one line, without the program name
};

template <typename Options>
using ParseResult = std::variant<Options, HelpRequested, VersionRequested, OptionError>;

// The exit status once help, the version or the error has been printed
// (0, 0, 2); none when `parsed` holds options to run with.
template <typename Options>
std::optional<int> AnswerWithoutRunning(const ParseResult<Options>& parsed, const char* program,
                                        const char* version, const std::string& help) {
  if (std::holds_alternative<HelpRequested>(parsed)) {
    std::fputs(help.c_str(), stdout);
    return 0;
  }
  if (std::holds_alternative<VersionRequested>(parsed)) {
    std::printf("%s %s\n", program, version);
    return 0;
  }
  if (const auto* error = std::get_if<OptionError>(&parsed)) {
    std::fprintf(stderr, "%s: %s (see --help)\n", program, error->message.c_str());
    return 2;
  }
  return std::nullopt;
}

}  // namespace tool_options
