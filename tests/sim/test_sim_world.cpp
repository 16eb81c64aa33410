#include "nmea_builder.h"
#include "sim_world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

using namespace qvsim;

namespace {

WorldConfig config(double acquire, int satellites = 12, std::uint64_t seed = 7)
{
    WorldConfig c;
    c.seed = seed;
    c.acquireSeconds = acquire;
    c.satellites = satellites;
    c.startTime = 0;
    return c;
}

}  // namespace

class FixProgression : public testing::TestWithParam<int> {};

TEST_P(FixProgression, GoesFromNoneTo2DTo3DByAcquisitionTime)
{
    const int acquire = GetParam();
    World world(config(acquire));
    std::vector<FixMode> seen;
    for (int t = 0; t <= acquire + 5; ++t) {
        seen.push_back(world.fix());
        world.advance(1.0);
    }
    const int first2D = static_cast<int>(std::ceil(acquire * 2.0 / 3.0 - 1e-9));
    for (int t = 0; t <= acquire + 5; ++t) {
        const FixMode expected = t >= acquire ? FixMode::ThreeD : t >= first2D ? FixMode::TwoD : FixMode::None;
        EXPECT_EQ(seen[static_cast<std::size_t>(t)], expected) << "at second " << t;
    }
}

INSTANTIATE_TEST_SUITE_P(AcquireSeconds, FixProgression, testing::Values(0, 1, 3, 9, 30));

TEST(World, ColdStartDropsFixAndSatellitesThenAcquiresAgain)
{
    World world(config(6));
    world.advance(10.0);
    ASSERT_EQ(world.fix(), FixMode::ThreeD);
    ASSERT_EQ(world.state().inView.size(), 12u);
    world.advance(0.4);
    world.coldStart();
    EXPECT_EQ(world.fix(), FixMode::None);
    EXPECT_TRUE(world.state().inView.empty());
    EXPECT_TRUE(world.state().usedPrns.empty());
    world.advance(5.9);
    EXPECT_NE(world.fix(), FixMode::ThreeD);
    EXPECT_EQ(world.state().inView.size(), 12u);
    world.advance(0.1);
    EXPECT_EQ(world.fix(), FixMode::ThreeD);
}

TEST(World, SolutionIsTheStrongestTwelveAboveThreshold)
{
    WorldConfig c = config(0, 30);
    c.snrThreshold = 20;
    World world(c);
    for (int step = 0; step < 5; ++step) {
        const ReceiverState s = world.state();
        ASSERT_EQ(s.inView.size(), 30u);
        ASSERT_EQ(s.usedPrns.size(), 12u);
        std::vector<int> snrs;
        int weakestUsed = 99;
        for (const SatView& sat : s.inView) {
            const bool used = std::count(s.usedPrns.begin(), s.usedPrns.end(), sat.prn) > 0;
            if (used)
                weakestUsed = std::min(weakestUsed, sat.snr);
            snrs.push_back(sat.snr);
        }
        std::sort(snrs.rbegin(), snrs.rend());
        EXPECT_EQ(weakestUsed, snrs[11]);
        EXPECT_TRUE(std::is_sorted(s.usedPrns.begin(), s.usedPrns.end()));
        world.advance(20.0);
    }
}

TEST(World, SatellitesBelowThresholdAreNotUsed)
{
    WorldConfig c = config(0, 12);
    c.snrThreshold = 45;
    World world(c);
    const ReceiverState s = world.state();
    for (const SatView& sat : s.inView) {
        const bool used = std::count(s.usedPrns.begin(), s.usedPrns.end(), sat.prn) > 0;
        EXPECT_EQ(used, sat.snr >= 45) << "PRN " << sat.prn << " SNR " << sat.snr;
    }
}

TEST(World, TooFewSatellitesGiveNo3DFix)
{
    World three(config(0, 3));
    EXPECT_EQ(three.fix(), FixMode::TwoD);
    World none(config(0, 0));
    EXPECT_EQ(none.fix(), FixMode::None);
    EXPECT_TRUE(none.state().inView.empty());
}

TEST(World, SameSeedGivesSameOutputAndOtherSeedDiffers)
{
    auto run = [](std::uint64_t seed) {
        World world(config(4, 12, seed));
        std::string all;
        for (int t = 0; t < 20; ++t) {
            for (const std::string& line : buildCycle(world.state()))
                all += line;
            world.advance(1.0);
        }
        return all;
    };
    EXPECT_EQ(run(42), run(42));
    EXPECT_NE(run(42), run(43));
}

TEST(World, SatellitesDriftAndStayInRange)
{
    World world(config(0, 36));
    const ReceiverState before = world.state();
    std::set<int> prns;
    for (const SatView& sat : before.inView)
        prns.insert(sat.prn);
    EXPECT_EQ(prns.size(), 36u);
    world.advance(600.0);
    const ReceiverState after = world.state();
    ASSERT_EQ(after.inView.size(), before.inView.size());
    int moved = 0;
    for (std::size_t i = 0; i < after.inView.size(); ++i) {
        const SatView& a = after.inView[i];
        EXPECT_EQ(a.prn, before.inView[i].prn);
        EXPECT_GE(a.elevation, 5);
        EXPECT_LE(a.elevation, 88);
        EXPECT_GE(a.azimuth, 0);
        EXPECT_LT(a.azimuth, 360);
        EXPECT_GE(a.snr, 15);
        EXPECT_LE(a.snr, 55);
        moved += a.azimuth != before.inView[i].azimuth || a.elevation != before.inView[i].elevation;
    }
    EXPECT_GT(moved, 30);
}

TEST(World, VehicleFollowsSpeedAndCourse)
{
    WorldConfig c = config(0);
    c.lat = 10.0;
    c.lon = 20.0;
    c.speedKmh = 36.0;  // 10 m/s
    c.courseDeg = 0.0;
    World north(c);
    north.advance(100.0);
    EXPECT_NEAR(north.state().lat, 10.0 + 1000.0 / 111194.9, 1e-6);
    EXPECT_NEAR(north.state().lon, 20.0, 1e-9);
    EXPECT_NEAR(north.state().speedKnots, 36.0 / 1.852, 1e-9);

    c.courseDeg = 270.0;
    World west(c);
    west.advance(100.0);
    EXPECT_NEAR(west.state().lat, 10.0, 1e-6);
    EXPECT_NEAR(west.state().lon, 20.0 - 1000.0 / (111194.9 * std::cos(10.0 * 3.14159265358979 / 180)), 1e-6);
}

TEST(World, TimeAdvancesWithTheWorld)
{
    WorldConfig c = config(0);
    c.startTime = 86399 * 100;
    World world(c);
    world.advance(2.0);
    EXPECT_EQ(formatTime(world.time()), "000001.00");
    EXPECT_EQ(formatDate(world.time()), "020170");
}

TEST(World, WaypointAheadIsApproachedAndOnTrack)
{
    WorldConfig c = config(0);
    c.lat = 0.0;
    c.lon = 0.0;
    c.courseDeg = 90.0;
    c.speedKmh = 185.2;  // 100 knots
    c.waypoint = Waypoint{0.0, 1.0, "EAST"};
    World world(c);
    const WaypointReport start = *world.state().waypoint;
    EXPECT_NEAR(start.rangeNm, 60.0, 0.1);
    EXPECT_NEAR(start.bearingDeg, 90.0, 1e-6);
    EXPECT_NEAR(start.closingKnots, 100.0, 1e-6);
    world.advance(360.0);
    const WaypointReport later = *world.state().waypoint;
    EXPECT_NEAR(later.rangeNm, 50.0, 0.1);
    EXPECT_NEAR(later.crossTrackNm, 0.0, 1e-6);
    EXPECT_EQ(later.destId, "EAST");
    EXPECT_FALSE(later.arrived);
}

TEST(World, EachStartKindTakesItsOwnTimeAndTheSpreadVariesItBySeed)
{
    WorldConfig c = config(30);
    World plain(c);
    EXPECT_DOUBLE_EQ(plain.restart(StartKind::Warm), 10.0);
    EXPECT_DOUBLE_EQ(plain.restart(StartKind::Hot), 2.0);
    plain.advance(1.9);
    EXPECT_EQ(plain.fix(), FixMode::TwoD);
    plain.advance(0.1);
    EXPECT_EQ(plain.fix(), FixMode::ThreeD);

    c.acquireSpread = 5.0;
    World a(c), b(c);
    std::set<double> drawn;
    for (int i = 0; i < 20; ++i) {
        const double t = a.restart(StartKind::Cold);
        EXPECT_DOUBLE_EQ(b.restart(StartKind::Cold), t);
        EXPECT_GE(t, 25.0);
        EXPECT_LE(t, 35.0);
        drawn.insert(t);
    }
    EXPECT_EQ(drawn.size(), 20u);
}
