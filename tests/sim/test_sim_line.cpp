#include "byte_pacer.h"
#include "fault_injector.h"
#include "nmea_builder.h"
#include "nmea_check.h"

#include <gtest/gtest.h>

using namespace qvsim;
using simtest::hasValidChecksum;

TEST(BytePacer, ReleasesTenBitsPerByteAtTheBaudRate)
{
    BytePacer pacer(9600);
    pacer.push(std::string(2000, 'x'), 1.0);
    EXPECT_EQ(pacer.due(1.0), 0u);
    EXPECT_EQ(pacer.due(1.5), 480u);
    pacer.consume(480);
    EXPECT_EQ(pacer.due(1.5), 0u);
    EXPECT_NEAR(pacer.dueAt(1), 1.5 + 1.0 / 960, 1e-9);
    EXPECT_EQ(pacer.due(pacer.dueAt(8)), 8u);
    EXPECT_EQ(pacer.due(10.0), 1520u);
}

TEST(BytePacer, IdleLineStartsWithTheNewBytes)
{
    BytePacer pacer(4800);
    pacer.push("abc", 0.0);
    pacer.consume(pacer.due(5.0));
    pacer.push(std::string(48, 'y'), 7.0);
    EXPECT_EQ(pacer.due(7.05), 24u);
}

namespace {

const std::string kLine = finishSentence("GPGGA,120000.00,5128.6740,N,00000.0900,W,1,12,0.9,46.0,M,0.0,M,,");

}  // namespace

TEST(FaultInjector, NoRatesLeaveLinesAlone)
{
    FaultInjector faults({}, 1);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(faults.apply(kLine), kLine);
}

TEST(FaultInjector, BadChecksumChangesOnlyTheChecksum)
{
    FaultInjector faults({1.0, 0.0, 0.0}, 1);
    for (int i = 0; i < 100; ++i) {
        const std::string out = faults.apply(kLine);
        ASSERT_EQ(out.size(), kLine.size());
        EXPECT_FALSE(hasValidChecksum(out)) << out;
        EXPECT_EQ(out.substr(0, out.size() - 4), kLine.substr(0, kLine.size() - 4));
    }
}

TEST(FaultInjector, CutLinesStopBeforeTheChecksumEnds)
{
    FaultInjector faults({0.0, 1.0, 0.0}, 1);
    for (int i = 0; i < 100; ++i) {
        const std::string out = faults.apply(kLine);
        ASSERT_GE(out.size(), 1u);
        EXPECT_LT(out.size(), kLine.size() - 2);
        EXPECT_EQ(out, kLine.substr(0, out.size()));
    }
}

TEST(FaultInjector, GarbageGoesBeforeAnIntactLine)
{
    FaultInjector faults({0.0, 0.0, 1.0}, 1);
    for (int i = 0; i < 100; ++i) {
        const std::string out = faults.apply(kLine);
        ASSERT_GT(out.size(), kLine.size());
        EXPECT_LE(out.size(), kLine.size() + 16);
        EXPECT_EQ(out.substr(out.size() - kLine.size()), kLine);
    }
}

TEST(FaultInjector, RateIsRoughlyHonoured)
{
    FaultInjector faults({0.25, 0.0, 0.0}, 3);
    int bad = 0;
    for (int i = 0; i < 4000; ++i)
        bad += !hasValidChecksum(faults.apply(kLine));
    EXPECT_GT(bad, 800);
    EXPECT_LT(bad, 1200);
}
