#pragma once

#include <QLabel>
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>

#include "app/stats/stats_tab.h"

// What a tester asks first and the main window's seven fields leave out: the
// fix quality in words, the satellite counts, the three DOPs, the altitude
// with its unit, the course and how old the last fix is. A value the record
// does not hold, or that the last sentence left empty, shows as "-". In GNSS
// mode the satellites used are those of the epoch's GSA sentences, since many
// receivers' GGA stops counting at 12.
class NowTab : public StatsTab {
 public:
  enum Row { Quality, Used, InView, Pdop, Hdop, Vdop, Altitude, Course, FixAge, kRowCount };

  explicit NowTab(QWidget* parent = nullptr);

  void Refresh(const StatsContext& now) override;
  void Restart() override;

  QString Text(Row row) const { return values_[row]->text(); }

 private:
  using Clock = std::chrono::steady_clock;

  // A new fix since the last refresh counts from this refresh, so the age is
  // in whole seconds.
  void NoteFix(const CNMEAParser& record, Clock::time_point now);

  std::array<QLabel*, kRowCount> values_{};
  uint32_t ggaSeen_ = 0;
  std::optional<Clock::time_point> lastFix_;
};
