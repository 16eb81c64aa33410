#include "run_watch.h"
#include "ttff_stats.h"

#include <gtest/gtest.h>

using namespace ttff;

TEST(Summarise, PercentilesInterpolateBetweenSortedRuns) {
  const Summary s = Summarise({30.0, 10.0, 20.0, 50.0, 40.0});
  EXPECT_EQ(s.runs, 5u);
  EXPECT_DOUBLE_EQ(s.min, 10.0);
  EXPECT_DOUBLE_EQ(s.median, 30.0);
  EXPECT_DOUBLE_EQ(s.mean, 30.0);
  EXPECT_DOUBLE_EQ(s.p90, 46.0);
  EXPECT_DOUBLE_EQ(s.max, 50.0);
  EXPECT_DOUBLE_EQ(Summarise({12.0, 13.0}).median, 12.5);
  EXPECT_EQ(SummaryLine("3D fix", Summarise({})), "3D fix     runs 0");
  EXPECT_EQ(UtcStamp(1796767445.1234), "2026-12-08T22:04:05.123Z");
}

TEST(RunWatch, FixStillOnItsWayWhenTheCommandWentOutDoesNotCount) {
  RunWatch watch(100.0, 300.0);
  watch.OnReport({FixReport::Gsa, true, true, 8, 1.1}, 100.3);
  watch.OnReport({FixReport::Gga, true, false, 8, 1.1}, 100.4);
  EXPECT_EQ(watch.outcome(), Outcome::Running);
  EXPECT_FALSE(watch.firstFix());
  watch.OnReport({FixReport::Gga, false, false, 0, 0.0}, 101.0);
  watch.OnTime(103.0);
  EXPECT_EQ(watch.outcome(), Outcome::Running);
  watch.OnReport({FixReport::Rmc, true, false, 5, 2.0}, 112.5);
  watch.OnReport({FixReport::Gsa, true, false, 5, 2.0}, 112.5);
  EXPECT_EQ(watch.outcome(), Outcome::Running);
  watch.OnReport({FixReport::Gsa, true, true, 7, 1.4}, 120.25);
  ASSERT_EQ(watch.outcome(), Outcome::Fixed);
  EXPECT_DOUBLE_EQ(watch.firstFix()->seconds, 12.5);
  EXPECT_DOUBLE_EQ(watch.fix3D()->seconds, 20.25);
  EXPECT_EQ(watch.fix3D()->satellites, 7);

  RunWatch ignored(0.0, 300.0);
  ignored.OnReport({FixReport::Gga, true, false, 8, 1.1}, 1.0);
  EXPECT_DOUBLE_EQ(ignored.NextDeadline(), RunWatch::kRestartWindow);
  ignored.OnTime(RunWatch::kRestartWindow);
  EXPECT_EQ(ignored.outcome(), Outcome::NotRestarted);

  RunWatch slow(0.0, 30.0);
  slow.OnReport({FixReport::Gsa, false, false, 0, 0.0}, 0.5);
  slow.OnTime(29.9);
  EXPECT_EQ(slow.outcome(), Outcome::Running);
  slow.OnTime(30.0);
  EXPECT_EQ(slow.outcome(), Outcome::TimedOut);
}
