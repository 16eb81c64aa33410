#include "app/window/gnss_mode.h"

void GnssOfferWatch::Start(uint32_t gpSentences, uint32_t otherSentences) {
  watching_ = !asked_;
  gpBase_ = gpSentences;
  otherBase_ = otherSentences;
}

bool GnssOfferWatch::Due(uint32_t gpSentences, uint32_t otherSentences, int64_t elapsedMs) {
  if (!watching_) return false;
  // The record's reset on connecting clears the counters: count from there.
  if (gpSentences < gpBase_ || otherSentences < otherBase_) gpBase_ = otherBase_ = 0;
  if (elapsedMs > kWindowMs || gpSentences != gpBase_) {
    watching_ = false;
    return false;
  }
  if (otherSentences - otherBase_ < kOtherSentences) return false;
  watching_ = false;
  asked_ = true;
  return true;
}
