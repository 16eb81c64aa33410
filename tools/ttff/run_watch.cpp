#include "run_watch.h"

namespace ttff {

void RunWatch::OnReport(const FixReport& report, double now) {
  if (outcome_ != Outcome::Running) return;
  if (!report.valid) {
    dropped_ = true;
    return;
  }
  if (!dropped_) return;
  const FixTime at{now - commandAt_, report.satellites, report.hdop};
  if (!firstFix_ && report.kind != FixReport::Gsa) firstFix_ = at;
  if (report.threeD) {
    // A 3D fix is a position as well, for a receiver that sends no GGA or RMC.
    if (!firstFix_) firstFix_ = at;
    fix3D_ = at;
    outcome_ = Outcome::Fixed;
  }
}

void RunWatch::OnTime(double now) {
  if (outcome_ != Outcome::Running) return;
  if (!dropped_ && now - commandAt_ >= kRestartWindow)
    outcome_ = Outcome::NotRestarted;
  else if (now - commandAt_ >= timeout_)
    outcome_ = Outcome::TimedOut;
}

double RunWatch::NextDeadline() const {
  if (!dropped_ && kRestartWindow < timeout_) return commandAt_ + kRestartWindow;
  return commandAt_ + timeout_;
}

void SettleWatch::OnReport(const FixReport& report, double now) {
  if (report.kind != FixReport::Gsa) return;
  if (!report.threeD)
    since_.reset();
  else if (!since_)
    since_ = now;
}

std::optional<double> SettleWatch::ReadyAt() const {
  if (!since_) return std::nullopt;
  return *since_ + settle_;
}

}  // namespace ttff
