#include "app/track/track_clock.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kDay = 86400;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int Pair(std::string_view s, size_t at) { return (s[at] - '0') * 10 + (s[at + 1] - '0'); }

}  // namespace

void TrackClock::NoteDate(int year, int month, int day, int hour, int minute, int second) {
  if (year < 1980 || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 60) return;
  const QDate date(year, month, day);
  if (!date.isValid()) return;
  date_ = date;
  secondOfDay_ = hour * 3600 + minute * 60 + second;
}

bool TrackClock::Stamp(std::string_view t, char* out) const {
  out[0] = '\0';
  if (!date_.isValid() || t.size() < 6) return false;
  for (size_t i = 0; i < 6; ++i) {
    if (!IsDigit(t[i])) return false;
  }
  std::string_view fraction;
  if (t.size() > 6) {
    // Only a dot and digits may follow; a lone dot is as good as none.
    if (t[6] != '.') return false;
    fraction = t.substr(7);
    for (char c : fraction) {
      if (!IsDigit(c)) return false;
    }
  }
  const int hour = Pair(t, 0), minute = Pair(t, 2), second = Pair(t, 4);
  // A leap second has no place in an xsd:dateTime.
  if (hour > 23 || minute > 59 || second > 59) return false;

  const int delta = hour * 3600 + minute * 60 + second - secondOfDay_;
  QDate day = date_;
  if (delta < -kDay / 2) day = day.addDays(1);
  if (delta > kDay / 2) day = day.addDays(-1);
  if (!day.isValid() || day.year() > 9999) return false;
  // Written digit by digit: a formatted print here cost a tenth of the export.
  const auto put = [&out](int at, int value, int digits) {
    for (int i = digits - 1; i >= 0; --i, value /= 10) out[at + i] = static_cast<char>('0' + value % 10);
  };
  std::memcpy(out, "0000-00-00T00:00:00", 19);
  put(0, day.year(), 4);
  put(5, day.month(), 2);
  put(8, day.day(), 2);
  put(11, hour, 2);
  put(14, minute, 2);
  put(17, second, 2);
  size_t end = 19;
  // The time field holds at most 15 characters, so the fraction at most 8 digits.
  if (!fraction.empty()) {
    const size_t n = std::min<size_t>(fraction.size(), 8);
    out[end++] = '.';
    std::memcpy(out + end, fraction.data(), n);
    end += n;
  }
  out[end++] = 'Z';
  out[end] = '\0';
  return true;
}
