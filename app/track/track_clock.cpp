#include "app/track/track_clock.h"

#include <algorithm>
#include <cstdio>

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
  // The time field holds at most 15 characters, so the fraction at most 8 digits.
  std::snprintf(out, 32, "%04d-%02d-%02dT%02d:%02d:%02d%s%.*sZ", day.year(), day.month(), day.day(), hour, minute,
                second, fraction.empty() ? "" : ".", static_cast<int>(std::min<size_t>(fraction.size(), 8)),
                fraction.data());
  return true;
}
