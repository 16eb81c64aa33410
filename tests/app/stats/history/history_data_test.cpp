#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <set>
#include <vector>

#include "history_buckets.h"
#include "history_span.h"
#include "history_store.h"
#include "history_summary.h"
#include "accuracy_figures.h"
#include "sample_clock.h"

namespace stats::history {
namespace {

// A sample at a second of the day with `sats` used.
StatsSample At(double second, int sats) {
  StatsSample s{};
  s.Lat = 48.1 + second * 1e-6;
  s.Lon = 11.5;
  const int whole = static_cast<int>(second);
  std::snprintf(s.Time, sizeof s.Time, "%02d%02d%02d.%02d", whole / 3600 % 24, whole / 60 % 60, whole % 60,
                static_cast<int>((second - whole) * 100 + 0.5));
  s.SatsUsed = static_cast<int8_t>(sats);
  s.InView = 20;
  s.Fields = StatsSample::kSatsUsed;
  return s;
}

TEST(SampleClock, PlacesTimesOnOneLine) {
  struct Case {
    const char* name;
    std::vector<const char*> fields;
    std::vector<std::optional<double>> placed;
  };
  const Case cases[] = {
      {"fractions", {"000001.5", "120000.25"}, {1.5, 43200.25}},
      {"midnight wraps", {"235959.90", "000000.00", "000000.10"}, {86399.9, 86400.0, 86400.1}},
      {"two midnights", {"230000", "010000", "230000", "010000"}, {82800.0, 90000.0, 169200.0, 176400.0}},
      {"a stale time stays put", {"120005", "120001", "120006"}, {43205.0, 43205.0, 43206.0}},
      {"no time before any", {"", "12345", "ab0000", "120000"}, {std::nullopt, std::nullopt, std::nullopt, 43200.0}},
      {"no time after one", {"120000", "", "250000", "120001"}, {43200.0, 43200.0, 43200.0, 43201.0}},
  };
  for (const Case& c : cases) {
    SampleClock clock;
    for (size_t i = 0; i < c.fields.size(); ++i) {
      const std::optional<double> t = clock.Place(c.fields[i]);
      ASSERT_EQ(t.has_value(), c.placed[i].has_value()) << c.name << " " << i;
      EXPECT_NEAR(t.value_or(0.0), c.placed[i].value_or(0.0), 1e-9) << c.name << " " << i;
    }
  }
}

TEST(Decimate, KeepsEveryExtremeAndCountsEverySample) {
  SampleStore samples;
  // A saw from 4 to 12 with one dip to 1 and one peak at 30, going north.
  for (int i = 0; i < 5000; ++i) samples.Add(At(3600.0 + i * 0.1, i == 1234 ? 1 : i == 4321 ? 30 : 4 + i % 9));
  StatsSample untimed = At(0.0, 40);
  std::memset(untimed.Time, 0, sizeof untimed.Time);
  samples.Add(untimed);  // drawn where the sample before it is
  HistoryStore store;
  store.Update(samples, 0.0);
  ASSERT_EQ(store.Size(), 5001u);
  const LocalFrame reference(48.1, 11.5, 0.0);
  // Summed against a point far off first, then against the reference again.
  HistorySummary summary;
  summary.Update(store, LocalFrame(48.0, 11.0, 0.0));
  summary.Update(store, reference);
  // From the summary's rows (the first two) and from the points.
  for (size_t buckets : {1u, 7u, 333u, 20000u}) {
    const Decimated d = Decimate(store, summary, {3600.0, 4099.9}, buckets, reference);
    // No more buckets than asked for and one, and the last sample in the last.
    ASSERT_LE(d.Rows.size(), buckets + 1);
    EXPECT_EQ(static_cast<size_t>(d.Place(store[store.Size() - 1].Time)), d.Rows.size() - 1);
    std::vector<BucketRow> expected(d.Rows.size());
    for (size_t i = 0; i < store.Size(); ++i) {
      const size_t k = std::min(static_cast<size_t>(d.Place(store[i].Time)), d.Rows.size() - 1);
      expected[k][0].Add(store[i].SatsUsed);
      const Enu e = SampleOffsets(reference, samples[i]);
      expected[k][1].Add(std::hypot(e.East, e.North));
    }
    double lo = 99.0, hi = 0.0;
    for (size_t k = 0; k < d.Rows.size(); ++k) {
      const Bucket& used = d.At(k, Series::SatsUsed);
      const Bucket& h = d.At(k, Series::Horizontal);
      EXPECT_EQ(used.Count, expected[k][0].Count) << buckets << " " << k;
      EXPECT_EQ(h.Count, expected[k][1].Count) << buckets << " " << k;
      if (used.Count == 0) continue;
      EXPECT_EQ(used.Min, expected[k][0].Min) << buckets << " " << k;
      EXPECT_EQ(used.Max, expected[k][0].Max) << buckets << " " << k;
      EXPECT_EQ(used.MinFirst, expected[k][0].MinFirst) << buckets << " " << k;
      EXPECT_NEAR(h.Min, expected[k][1].Min, 1e-3) << buckets << " " << k;
      EXPECT_NEAR(h.Max, expected[k][1].Max, 1e-3) << buckets << " " << k;
      lo = std::min(lo, used.Min), hi = std::max(hi, used.Max);
    }
    EXPECT_EQ(lo, 1.0);
    EXPECT_EQ(hi, 40.0);
  }
  // A range growing by a second at a time keeps its bucket width, and so its
  // axes, for long stretches, and still fits the buckets asked for.
  std::set<double> widths;
  for (double to = 4000.0; to < 4100.0; to += 1.0) {
    const double width = Decimate(store, summary, {3600.0, to}, 333, reference).Width;
    EXPECT_GE(width * 333.0, to - 3600.0);
    widths.insert(width);
  }
  EXPECT_LE(widths.size(), 2u);
}

TEST(ShownRange, EachSpanEndsAtTheNewestSample) {
  SampleStore samples;
  for (int i = 0; i < 7200; ++i) samples.Add(At(82800.0 + i, 8));  // 23:00 to 00:59:59
  HistoryStore store;
  store.Update(samples, 0.0);
  const double last = 82800.0 + 7199.0;
  // Both ends are included: a minute at 1 Hz is 61 samples.
  const size_t counts[] = {61, 601, 3601, 7200};
  for (size_t s = 0; s < kHistorySpans.size(); ++s) {
    const TimeRange r = ShownRange(store, kHistorySpans[s]);
    EXPECT_EQ(r.To, last) << kHistorySpans[s].Text;
    const Decimated d = Decimate(store, HistorySummary(), r, 100, std::nullopt);
    size_t n = 0;
    for (size_t k = 0; k < d.Rows.size(); ++k) n += d.At(k, Series::InView).Count;
    EXPECT_EQ(n, counts[s]) << kHistorySpans[s].Text;
  }
  EXPECT_EQ(ShownRange(store, kHistorySpans[3]).From, 82800.0);
  EXPECT_EQ(ShownRange(HistoryStore(), kHistorySpans[0]).To, 60.0);
}

}  // namespace
}  // namespace stats::history
