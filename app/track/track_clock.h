#pragma once

#include <QDate>

#include <string_view>

// Turns a GGA's time of day into a UTC date and time, from the dates that RMC
// and ZDA sentences bring. Until a date is known there is no time at all.
//
// GGA carries no date, so each GGA time is placed on the latest known date or
// the day before or after it, whichever puts it nearest to the time of day of
// the sentence that brought the date: a GGA at 00:00:01 after an RMC dated the
// 4th at 23:59:59 is on the 5th, and a GGA at 23:59:59 after a ZDA dated the
// 5th at 00:00:00 is on the 4th. So midnight needs no date sentence between
// the two GGAs, and time that runs back or jumps only moves the points'
// times, never their order.
class TrackClock {
 public:
  // A date and its sentence's time of day; dates before 1980 (no GPS time
  // yet: an empty ZDA year reads as year 1) and impossible ones are ignored.
  void NoteDate(int year, int month, int day, int hour, int minute, int second);
  bool DateKnown() const { return date_.isValid(); }

  // Writes "YYYY-MM-DDThh:mm:ss[.fraction]Z" and a NUL into `out` (at least 32
  // characters) for a GGA time field "hhmmss[.fraction]"; false, with `out`
  // empty, while no date is known or when the field is not a time of day.
  bool Stamp(std::string_view ggaTime, char* out) const;

  void Clear() { date_ = QDate(); }

 private:
  QDate date_;
  int secondOfDay_ = 0;
};
