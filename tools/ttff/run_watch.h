#pragma once

#include <optional>
#include <string>

namespace ttff {

// What one decoded sentence says about the fix. Times are seconds on a steady
// clock.
struct FixReport {
  enum Kind { Gga, Rmc, Gsa } kind;
  bool valid = false;  // GGA quality 1 or more, RMC status A, GSA fix type 2 or 3
  bool threeD = false;  // GSA fix type 3
  int satellites = 0;
  double hdop = 0.0;
};

enum class Outcome { Running, Fixed, TimedOut, NotRestarted };

struct FixTime {
  double seconds = 0.0;  // from the command
  int satellites = 0;
  double hdop = 0.0;
};

// One restart, from the command's last byte on. A fix counts only once the
// receiver has shown that it lost the old one: sentences already on their way
// when the command went out still carry it.
class RunWatch {
 public:
  // How long a receiver may keep its fix before the command counts as ignored.
  static constexpr double kRestartWindow = 2.0;

  RunWatch(double commandAt, double timeout) : commandAt_(commandAt), timeout_(timeout) {}

  void OnReport(const FixReport& report, double now);
  // Ends the run once its time is up.
  void OnTime(double now);
  // When OnTime has something to decide next.
  double NextDeadline() const;

  Outcome outcome() const { return outcome_; }
  bool restarted() const { return dropped_; }
  const std::optional<FixTime>& firstFix() const { return firstFix_; }
  const std::optional<FixTime>& fix3D() const { return fix3D_; }

 private:
  double commandAt_;
  double timeout_;
  bool dropped_ = false;
  Outcome outcome_ = Outcome::Running;
  std::optional<FixTime> firstFix_;
  std::optional<FixTime> fix3D_;
};

// Holds off the next restart until a 3D fix has lasted `settle` seconds.
class SettleWatch {
 public:
  explicit SettleWatch(double settle) : settle_(settle) {}
  void OnReport(const FixReport& report, double now);
  bool Ready(double now) const { return since_ && now - *since_ >= settle_; }
  std::optional<double> ReadyAt() const;

 private:
  double settle_;
  std::optional<double> since_;
};

}  // namespace ttff
