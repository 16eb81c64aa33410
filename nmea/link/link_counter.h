#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

#include "nmea_parser.h"

// Counts what a link carries, beside the decoder and without touching it: a
// reader of its own is fed the same lines, so every sentence ends here as it
// ends in the decoder, whatever state a line leaves behind for the next.
class LinkCounter : private CNMEAParser::ReaderWatch {
 public:
  using Clock = std::chrono::steady_clock;

  // The rates are the sentences and bytes of the last 5 s, kept in
  // half-second steps, over the time those steps cover; before the first
  // second has passed, per second.
  static constexpr Clock::duration kRateWindow = std::chrono::seconds(5);
  static constexpr Clock::duration kRateStep = std::chrono::milliseconds(500);

  struct Counts {
    uint64_t Sentences = 0;     // every sentence the reader ended, in any way
    uint64_t Bytes = 0;         // of the lines, without their breaks
    uint64_t BadChecksums = 0;  // mismatched, or cut short before the second digit
    uint64_t NoChecksum = 0;    // ended without "*"
    uint64_t UnknownNames = 0;  // arrived whole, of a kind no decoder of the mode reads
    uint64_t OutsideBytes = 0;  // passed over before a "$"
  };

  LinkCounter();
  LinkCounter(const LinkCounter&) = delete;
  LinkCounter& operator=(const LinkCounter&) = delete;

  // A line as the decoder is fed it, received at `now`.
  void Line(std::string_view line, Clock::time_point now);
  // The names a decoder reads depend on the mode.
  void SetGnssMode(bool on);
  // Counts start again from zero; the reader goes on where it stands, as the
  // decoder's does when its record is reset.
  void Restart();

  const Counts& Totals() const { return counts_; }
  double SentencesPerSecond(Clock::time_point now) const { return Rate(now, &Step::Sentences); }
  double BytesPerSecond(Clock::time_point now) const { return Rate(now, &Step::Bytes); }
  // Bytes arrive here a line at a time: the time since the last line.
  // Nothing before the first line since the restart.
  std::optional<Clock::duration> SinceLastByte(Clock::time_point now) const;

 private:
  struct Step {
    int64_t Index = -1;  // whole kRateStep since the clock's epoch
    uint64_t Sentences = 0;
    uint64_t Bytes = 0;
  };
  static constexpr int kSteps = static_cast<int>(kRateWindow / kRateStep);

  void SentenceEnded(SentenceEnd end, bool decoded) override;
  void BytesSkipped(uint32_t count) override { counts_.OutsideBytes += count; }
  Step& StepAt(Clock::time_point t);
  double Rate(Clock::time_point now, uint64_t Step::*field) const;

  CNMEAParser reader_;
  Counts counts_;
  std::array<Step, kSteps> steps_{};
  std::optional<Clock::time_point> first_, last_;
};
