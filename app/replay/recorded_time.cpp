#include "app/replay/recorded_time.h"

#include <cstdio>
#include <string>

#include "nmea/civil_days.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int Two(std::string_view s, size_t at) { return (s[at] - '0') * 10 + (s[at + 1] - '0'); }

// "hhmmss[.fff...]" at the start of `field` (up to its comma or checksum).
std::optional<int32_t> SentenceTime(std::string_view field) {
  if (field.size() < 6) return std::nullopt;
  for (size_t i = 0; i < 6; ++i) {
    if (!IsDigit(field[i])) return std::nullopt;
  }
  const int h = Two(field, 0);
  const int m = Two(field, 2);
  const int s = Two(field, 4);
  // A leap second (60) is allowed; it reads as the next midnight, which wraps.
  if (h > 23 || m > 59 || s > 60) return std::nullopt;
  int32_t ms = ((h * 60 + m) * 60 + s) * 1000;
  size_t i = 6;
  if (i < field.size() && field[i] == '.') {
    int scale = 100;
    for (++i; i < field.size() && IsDigit(field[i]); ++i, scale /= 10) ms += (field[i] - '0') * scale;
  }
  if (i < field.size() && field[i] != ',' && field[i] != '*') return std::nullopt;
  return ms;
}

// Field `index` (1 = the first after the name) of a sentence's data part.
std::string_view Field(std::string_view line, int index) {
  size_t at = 5;
  for (int n = 0; n < index; ++n) {
    at = line.find(',', at);
    if (at == std::string_view::npos) return {};
    ++at;
  }
  const size_t end = line.find_first_of(",*", at);
  return line.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
}

std::optional<int> Number(std::string_view s) {
  if (s.empty() || s.size() > 4) return std::nullopt;
  int v = 0;
  for (const char c : s) {
    if (!IsDigit(c)) return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

std::optional<int32_t> Date(int d, int m, int y) {
  if (d < 1 || d > 31 || m < 1 || m > 12) return std::nullopt;
  return static_cast<int32_t>(DaysFromCivil(y, m, d));
}

// RMC's ddmmyy; two-digit years are 1980-2079, as GPS receivers send them.
std::optional<int32_t> RmcDate(std::string_view f) {
  if (f.size() != 6) return std::nullopt;
  const auto d = Number(f.substr(0, 2));
  const auto m = Number(f.substr(2, 2));
  const auto y = Number(f.substr(4, 2));
  if (!d || !m || !y) return std::nullopt;
  return Date(*d, *m, *y < 80 ? 2000 + *y : 1900 + *y);
}

std::optional<int32_t> ZdaDate(std::string_view line) {
  const auto d = Number(Field(line, 2));
  const auto m = Number(Field(line, 3));
  const auto y = Number(Field(line, 4));
  if (!d || !m || !y) return std::nullopt;
  return Date(*d, *m, *y);
}

}  // namespace

std::optional<int32_t> LineUtcMs(std::string_view line) {
  const auto time = ReadLineTime(line);
  if (!time) return std::nullopt;
  return time->ms;
}

std::optional<LineTime> ReadLineTime(std::string_view line) {
  const size_t dollar = line.find('$');
  if (dollar == std::string_view::npos) return std::nullopt;
  line.remove_prefix(dollar + 1);
  // Two-letter talker and a three-letter type, then the fields.
  if (line.size() < 6 || line[5] != ',') return std::nullopt;
  const std::string_view type = line.substr(2, 3);
  int field;
  if (type == "GGA" || type == "RMC" || type == "ZDA" || type == "GNS") {
    field = 1;
  } else if (type == "GLL") {
    field = 5;
  } else {
    return std::nullopt;
  }
  const auto ms = SentenceTime(Field(line, field));
  if (!ms) return std::nullopt;
  LineTime time{*ms, std::nullopt};
  if (type == "RMC") time.day = RmcDate(Field(line, 9));
  if (type == "ZDA") time.day = ZdaDate(line);
  return time;
}

std::string_view FormatUtcMs(int32_t ms, char (&out)[16]) {
  const int whole = ms / 1000;
  const int rest = ms % 1000;
  const int n = rest == 0 ? std::snprintf(out, sizeof out, "%02d:%02d:%02d", whole / 3600, whole / 60 % 60, whole % 60)
                          : std::snprintf(out, sizeof out, "%02d:%02d:%02d.%03d", whole / 3600, whole / 60 % 60,
                                          whole % 60, rest);
  return {out, static_cast<size_t>(n)};
}

std::optional<int32_t> ParseUtcText(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.size() == 5 && text[2] == ':') {
    std::string s{text.substr(0, 2)};
    s += text.substr(3, 2);
    s += "00";
    return SentenceTime(s);
  }
  if (text.size() >= 8 && text[2] == ':' && text[5] == ':') {
    std::string s{text.substr(0, 2)};
    s += text.substr(3, 2);
    s += text.substr(6);
    return SentenceTime(s);
  }
  if (text.size() >= 6 && text.find(':') == std::string_view::npos) return SentenceTime(text);
  return std::nullopt;
}

RecordedPace::Wait RecordedPace::Next(std::string_view line) {
  const std::optional<LineTime> time = ReadLineTime(line);
  if (!time) return {};
  const int64_t dated = time->day ? static_cast<int64_t>(*time->day) * kDayMs + time->ms : 0;
  if (!last_) {
    last_ = time->day ? dated : time->ms;
    dated_ = time->day.has_value();
    return {};
  }
  int64_t gap;
  if (time->day && dated_) {
    gap = dated - *last_;
  } else {
    // The time of day alone: the nearest reading, forwards across midnight
    // or back by less than half a day.
    gap = (time->ms - *last_) % kDayMs;
    if (gap < 0) gap += kDayMs;
    if (gap > kDayMs / 2) gap -= kDayMs;
  }
  if (time->day) {
    last_ = dated;
    dated_ = true;
  } else {
    *last_ += gap;
  }
  Wait wait;
  wait.ms = gap;
  if (gap < 0 || gap > kLongestGapMs) {
    wait.skippedMs = gap;
    wait.ms = kShortenedGapMs;
  }
  return wait;
}
