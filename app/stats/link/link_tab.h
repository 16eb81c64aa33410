#pragma once

#include <QLabel>
#include <array>

#include "app/stats/stats_tab.h"
#include "link_counter.h"

// What the link carries beside what the decoder makes of it, so that a noisy
// cable or a wrong baud rate shows at once: the rates, the sentences that fail
// their checksum, lack one or are of a kind no decoder reads, the bytes
// between sentences, and the time since anything arrived. Counted since the
// last restart.
class LinkTab : public StatsTab {
 public:
  enum Row {
    Sentences,
    Bytes,
    BadChecksums,
    NoChecksum,
    UnknownNames,
    OutsideBytes,
    SinceLast,
    kRowCount
  };

  explicit LinkTab(QWidget* parent = nullptr);

  void Refresh(const StatsContext& now) override;
  void Restart() override { counter_.Restart(); }
  void LineReceived(std::string_view line) override {
    counter_.Line(line, LinkCounter::Clock::now());
  }

  QString Text(Row row) const { return values_[row]->text(); }

 private:
  LinkCounter counter_;
  std::array<QLabel*, kRowCount> values_{};
};
