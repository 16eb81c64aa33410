#include "real_text.h"

#include <charconv>
#include <cmath>

namespace nmea {

void AppendReal(std::string& out, double v) {
  if (!std::isfinite(v)) {
    out += "null";
    return;
  }
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

}  // namespace nmea
