#pragma once

#include <cstdint>

// GNSS mode: decoding every satellite-system talker (GN, GL, GA, GB, ...), not
// just GP. Switched by "--gnss", by the window's context menu, or by accepting
// the offer below; the menu's choice is remembered between runs.

inline constexpr const char* kGnssMenuText = "Decode all GNSS talkers";
inline constexpr const char* kGnssOfferText =
    "This receiver sends multi-constellation (GN) sentences, which are not decoded now. "
    "Decode all GNSS talkers?";

// Watches the first seconds of a connection or a replay for a receiver that
// speaks only other talkers: at least three checksummed fix sentences
// (RMC/GGA/GSA) from them and none from GP within 10 s.
class GnssOfferWatch {
 public:
  static constexpr int64_t kWindowMs = 10000;
  static constexpr uint32_t kOtherSentences = 3;

  // A session starts; the counters are taken as they stand.
  void Start(uint32_t gpSentences, uint32_t otherSentences);
  // Whether to ask now: within the window and not asked yet in this run.
  // Asking is once per run, so a true answer is given only once.
  bool Due(uint32_t gpSentences, uint32_t otherSentences, int64_t elapsedMs);
  bool Asked() const { return asked_; }

 private:
  bool watching_ = false;
  bool asked_ = false;
  uint32_t gpBase_ = 0;
  uint32_t otherBase_ = 0;
};
