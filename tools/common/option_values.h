#pragma once
// Number options of the command-line tools: the whole text must be a finite
// number within [lo, hi]. Anything else throws a UsageError whose message
// names the option, for the tool to print as a usage mistake.

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

namespace tool_options {

struct UsageError {
  std::string message;
};

inline std::string OutOfRange(const std::string& name, const std::string& text, const std::string& lo,
                              const std::string& hi) {
  return "value '" + text + "' for " + name + " is out of range (" + lo + " to " + hi + ")";
}

inline double RealValue(const std::string& name, const std::string& text, double lo, double hi) {
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(v))
    throw UsageError{"invalid value '" + text + "' for " + name + ": expected a number"};
  if (v < lo || v > hi) throw UsageError{OutOfRange(name, text, std::to_string(lo), std::to_string(hi))};
  return v;
}

inline long long IntegerValue(const std::string& name, const std::string& text, long long lo, long long hi) {
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno == ERANGE)
    throw UsageError{"invalid value '" + text + "' for " + name + ": expected a whole number"};
  if (v < lo || v > hi) throw UsageError{OutOfRange(name, text, std::to_string(lo), std::to_string(hi))};
  return v;
}

}  // namespace tool_options
