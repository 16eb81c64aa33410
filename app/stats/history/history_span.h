#pragma once

#include <array>
#include <cstddef>

#include "history_buckets.h"
#include "history_store.h"

namespace stats::history {

// The spans of history the charts can show, as the choice lists them.
struct HistorySpan {
  const char* Text;
  double Seconds;  // 0: everything
};
inline constexpr std::array<HistorySpan, 4> kHistorySpans = {{
    {"1 minute", 60.0},
    {"10 minutes", 600.0},
    {"1 hour", 3600.0},
    {"Everything", 0.0},
}};
inline constexpr size_t kDefaultSpan = 1;

// The times a span shows: the last `seconds` up to the newest sample, or
// everything, and never less than a minute, so that an axis always has a
// length. Without samples, the span's length from the start of the line.
TimeRange ShownRange(const HistoryStore& store, const HistorySpan& span);

}  // namespace stats::history
