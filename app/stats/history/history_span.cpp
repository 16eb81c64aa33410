#include "history_span.h"

#include <algorithm>

namespace stats::history {

TimeRange ShownRange(const HistoryStore& store, const HistorySpan& span) {
  constexpr double kShortest = 60.0;
  const double length = std::max(span.Seconds, kShortest);
  if (store.Empty()) return {0.0, length};
  const double last = store[store.Size() - 1].Time;
  if (span.Seconds > 0.0) return {last - length, last};
  return {std::min(store[0].Time, last - kShortest), last};
}

}  // namespace stats::history
