#pragma once

#include <cstdint>

#include "nmea_parser.h"
#include "sample_store.h"
#include "stats_sample.h"

namespace stats {

enum class SampleKind { NotAFix, Rejected, Taken };

// Whether the GGA just decoded is a sample: quality sent and not 0, latitude
// and longitude both sent; Rejected when they lie outside ±90° and ±180°.
// Fills `out` for Taken.
SampleKind TakeSample(const CNMEAParser& parser, const GgaSent& sent, StatsSample& out);

// Collects a sample from every GGA the parser decodes while it is attached.
class SampleCollector {
 public:
  explicit SampleCollector(CNMEAParser& parser);
  ~SampleCollector();
  SampleCollector(const SampleCollector&) = delete;
  SampleCollector& operator=(const SampleCollector&) = delete;

  void Clear();

  const SampleStore& Samples() const { return samples_; }
  uint64_t Rejected() const { return rejected_; }
  uint64_t GgaDecoded() const { return ggaDecoded_; }

 private:
  static void OnGga(void* self, const CNMEAParser& parser, const GgaSent& sent);

  CNMEAParser& parser_;
  SampleStore samples_;
  uint64_t rejected_ = 0;
  uint64_t ggaDecoded_ = 0;
};

}  // namespace stats
