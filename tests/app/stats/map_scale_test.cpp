#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>

#include "app/stats/deviation_map.h"
#include "app/stats/map_scale.h"
#include "app/stats/near_offsets.h"
#include "app/stats/newest_minute.h"
#include "accuracy_figures.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

stats::StatsSample At(double lat, double lon, const char* time = "120000.00", double alt = 50.0) {
  stats::StatsSample s{};
  s.Lat = lat;
  s.Lon = lon;
  s.Alt = alt;
  s.Fields = stats::StatsSample::kAltitude;
  std::memcpy(s.Time, time, std::min(std::strlen(time), sizeof s.Time));
  return s;
}

bool InRange(double halfWidth) { return halfWidth >= kMinHalfWidthM && halfWidth <= kMaxHalfWidthM; }

TEST(MapScale, FitAndZoomStayFiniteAndInRange) {
  const struct {
    std::optional<double> cep95, maxH;
    double expected;  // 0: only in range
  } fits[] = {
      {std::nullopt, std::nullopt, kMinHalfWidthM},  // no sample
      {0.0, 0.0, kMinHalfWidthM},                    // one sample, or all at one point
      {1.0, 1.5, 1.65},                              // the farthest dot, with a margin
      {1.0, 9.0, 2.2},                               // outliers beyond twice the CEP95 are left out
      {kNaN, kNaN, kMinHalfWidthM},
      {kInf, kInf, kMaxHalfWidthM},
      {std::nullopt, 2.0e7, kMaxHalfWidthM},  // the other side of the globe
      {-1.0, -1.0, kMinHalfWidthM},
  };
  for (const auto& f : fits) {
    const double w = FitHalfWidth(f.cep95, f.maxH);
    EXPECT_TRUE(InRange(w)) << w;
    EXPECT_NEAR(w, f.expected, 1e-12);
  }
  for (const double start : {kNaN, kInf, -kInf, 0.0, -5.0, 1.0, 1e9}) {
    for (const double steps : {kNaN, kInf, -kInf, -1e9, -3.0, 0.0, 2.0, 1e9}) {
      EXPECT_TRUE(InRange(ZoomHalfWidth(start, steps))) << start << " " << steps;
    }
  }
  EXPECT_NEAR(ZoomHalfWidth(10.0, 1.0), 8.0, 1e-12);
  EXPECT_NEAR(ZoomHalfWidth(8.0, -1.0), 10.0, 1e-12);
}

TEST(MapScale, ScaleBarIsTheLongestOneTwoFiveStep) {
  const struct {
    double metresPerPixel, maxPixels;
    const char* label;
    double pixels;
  } bars[] = {
      {0.01, 100, "1 m", 100},    {0.01, 99, "50 cm", 50},   {0.0025, 100, "20 cm", 80},
      {50.0, 120, "5 km", 100},   {100.0, 100, "10 km", 100}, {0.00005, 100, "5 mm", 100},
      {1e-6, 30, "0.02 mm", 20},
  };
  for (const auto& b : bars) {
    const ScaleBar bar = ChooseScaleBar(b.metresPerPixel, b.maxPixels);
    EXPECT_EQ(bar.Label, b.label) << b.metresPerPixel;
    EXPECT_NEAR(bar.Pixels, b.pixels, 1e-6) << b.label;
  }
  for (const double mpp : {kNaN, kInf, 0.0, -1.0}) {
    for (const double room : {kNaN, kInf, 0.0, -3.0, 100.0}) {
      const ScaleBar bar = ChooseScaleBar(mpp, room);
      EXPECT_TRUE(std::isfinite(bar.Pixels) && bar.Pixels > 0.0 && std::isfinite(bar.Metres)) << mpp << " " << room;
      EXPECT_FALSE(bar.Label.empty());
    }
  }
}

TEST(MapScale, MapOfDegenerateSamplesHasAFiniteScale) {
  const struct {
    const char* what;
    std::vector<stats::StatsSample> samples;
    std::optional<stats::FixedPoint> fixed;
    size_t offMap;
  } cases[] = {
      {"none", {}, std::nullopt, 0},
      {"one", {At(51.0, 0.0)}, std::nullopt, 0},
      {"across the globe", {At(51.0, 0.0), At(-51.0, 179.9), At(0.0, -179.9)}, std::nullopt, 0},
      {"far from the fixed point", {At(51.0, 0.0), At(51.0, 0.00001)}, stats::FixedPoint{-51.0, 179.0, {}}, 2},
      {"altitude not finite", {At(51.0, 0.0, "120000", kInf), At(51.0, 0.00001)}, std::nullopt, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    stats::SampleStore store;
    for (const auto& s : c.samples) store.Add(s);
    DeviationMap map;
    map.resize(300, 300);
    map.Refresh(store, stats::ComputeFigures(store, 0, store.Size(), c.fixed));
    EXPECT_TRUE(InRange(map.HalfWidth())) << map.HalfWidth();
    EXPECT_TRUE(std::isfinite(map.MetresPerPixel()) && map.MetresPerPixel() > 0.0);
    EXPECT_GE(map.OffMap(), c.offMap);
    EXPECT_LE(map.DotsDrawn() + map.OffMap(), store.Size());
    EXPECT_FALSE(map.grab().isNull());
  }
}

TEST(MapScale, WheelZoomsAndDoubleClickFitsAgain) {
  stats::SampleStore store;
  for (const double lat : {51.0, 51.00001, 51.00002}) store.Add(At(lat, 0.0));
  DeviationMap map;
  map.resize(300, 300);
  map.Refresh(store, stats::ComputeFigures(store, 0, store.Size(), std::nullopt));
  const double fitted = map.HalfWidth();
  QWheelEvent wheel({150, 150}, map.mapToGlobal(QPointF(150, 150)), {}, {0, 240}, Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(&map, &wheel);
  EXPECT_TRUE(map.Zoomed());
  EXPECT_NEAR(map.HalfWidth(), fitted / 1.5625, 1e-12);
  QTest::mouseDClick(&map, Qt::LeftButton);
  EXPECT_FALSE(map.Zoomed());
  EXPECT_EQ(map.HalfWidth(), fitted);
}

// Second by second the map places only the new samples and moves those that
// leave the newest minute; the picture must be the one a single placing of
// every sample gives, outliers off the map included.
TEST(MapScale, RefreshingSecondBySecondDrawsWhatOnePlacingDraws) {
  stats::SampleStore store;
  DeviationMap map;
  map.resize(300, 300);
  const stats::FixedPoint fixed{51.0, 0.0, 50.0};
  for (int second = 0; second < 150; ++second) {
    char time[16];
    std::snprintf(time, sizeof time, "12%02d%02d.00", second / 60, second % 60);
    // Each second in a cell of its own, so that a lost dot shows.
    store.Add(At(51.0 + 1e-6 * ((second * 37) % 101 - 50), 1e-6 * ((second * 53) % 97 - 48), time));
    if (second % 40 == 0) store.Add(At(51.01, 0.01, time));  // a kilometre away
    map.Refresh(store, stats::ComputeFigures(store, 0, store.Size(), fixed));
  }
  const QImage stepwise = map.grab().toImage();
  const size_t dots = map.DotsDrawn(), offMap = map.OffMap();
  map.Forget();
  map.Refresh(store, stats::ComputeFigures(store, 0, store.Size(), fixed));
  EXPECT_EQ(map.DotsDrawn(), dots);
  EXPECT_EQ(map.OffMap(), offMap);
  EXPECT_GT(offMap, 0u);
  EXPECT_TRUE(map.grab().toImage() == stepwise);
}

TEST(MapScale, NearOffsetsAreTheExactOnes) {
  const stats::LocalFrame frames[] = {{51.4779, -0.0015, 46.0}, {-33.9, 151.2, -20.0}, {89.99, 179.999, 0.0}};
  const double steps[] = {0.0, 1e-7, -3e-5, 4e-4, 0.3, -0.57, 7.0, 179.0};
  for (const stats::LocalFrame& frame : frames) {
    const NearOffsets near(frame);
    for (const double dLat : steps) {
      for (const double dLon : steps) {
        const double lat = std::clamp(frame.Lat() + dLat, -90.0, 90.0);
        const double lon = frame.Lon() + dLon;
        const stats::Enu exact = frame.Offset(lat, lon, 100.0);
        const NearOffsets::EastNorth o = near.Offset(lat, lon, 100.0);
        EXPECT_NEAR(o.East, exact.East, 1e-6) << frame.Lat() << " " << dLat << " " << dLon;
        EXPECT_NEAR(o.North, exact.North, 1e-6) << frame.Lat() << " " << dLat << " " << dLon;
      }
    }
  }
}

TEST(MapScale, NewestMinuteFollowsTheReceiversTime) {
  const struct {
    std::vector<const char*> times;
    size_t start;
  } cases[] = {
      {{}, 0},
      {{"120000"}, 0},
      {{"115859.5", "115900.00", "115930", "115959.99"}, 1},
      {{"235930", "000010", "000029"}, 0},  // across midnight
      {{"120000", "", "120010"}, 2},        // no time ends the minute
      {{"120000", "120010", ""}, 2},        // the last without a time: only itself
      {{"130000", "120000", "120001"}, 1},  // time went back
  };
  for (const auto& c : cases) {
    stats::SampleStore store;
    for (const char* t : c.times) store.Add(At(0, 0, t));
    EXPECT_EQ(NewestMinuteStart(store), c.start) << (c.times.empty() ? "" : c.times.front());
  }
}

}  // namespace
