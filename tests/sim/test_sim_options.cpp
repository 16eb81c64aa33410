#include "sim_options.h"

#include <gtest/gtest.h>

using namespace qvsim;

namespace {

SimOptions parsed(const std::vector<std::string>& args)
{
    const ParseResult r = parseOptions(args);
    if (const auto* e = std::get_if<OptionError>(&r))
        ADD_FAILURE() << e->message;
    return std::holds_alternative<SimOptions>(r) ? std::get<SimOptions>(r) : SimOptions{};
}

}  // namespace

TEST(SimOptions, ValuesReachTheirSettingsInBothSpellings)
{
    const SimOptions o = parsed({"--seed", "99", "--lat=-33.5", "--lon", "151.25", "--alt", "12", "--acquire=20",
                                 "--pace", "50", "--baud", "4800", "--cycles", "3", "--satellites", "20",
                                 "--waypoint", "1.5,-2.5,DOCK", "--start-time", "2026-12-08T10:00:00Z",
                                 "--garbage-rate", "0.1", "--stall-after", "4", "--hangup-after", "9", "--wait-open"});
    EXPECT_EQ(o.world.seed, 99u);
    EXPECT_EQ(o.world.lat, -33.5);
    EXPECT_EQ(o.world.lon, 151.25);
    EXPECT_EQ(o.world.acquireSeconds, 20.0);
    EXPECT_EQ(o.pace, 50.0);
    EXPECT_EQ(o.baud, 4800);
    EXPECT_EQ(o.cycles, 3);
    EXPECT_EQ(o.world.satellites, 20);
    ASSERT_TRUE(o.world.waypoint);
    EXPECT_EQ(o.world.waypoint->name, "DOCK");
    EXPECT_EQ(o.world.waypoint->lon, -2.5);
    EXPECT_TRUE(o.startTimeGiven);
    EXPECT_EQ(o.world.startTime % (86400 * 100), 10 * 3600 * 100);
    EXPECT_EQ(o.faults.garbage, 0.1);
    EXPECT_EQ(*o.stallAfter, 4.0);
    EXPECT_EQ(o.stallFor, 5.0);
    EXPECT_EQ(*o.hangupAfter, 9.0);
    EXPECT_TRUE(o.waitOpen);
}

TEST(SimOptions, HelpWinsAndMentionsEveryOption)
{
    EXPECT_TRUE(std::holds_alternative<HelpRequested>(parseOptions({"--seed", "1", "--help"})));
    for (const char* name : {"--seed", "--lat", "--lon", "--alt", "--speed", "--course", "--turn", "--satellites",
                             "--snr-min", "--acquire", "--start-time", "--waypoint", "--baud", "--pace", "--cycles",
                             "--wait-open", "--transcript", "--play", "--rate", "--loop", "--bad-checksum-rate",
                             "--cut-rate", "--garbage-rate", "--stall-after", "--stall-for", "--hangup-after"}) {
        EXPECT_NE(helpText().find(name), std::string::npos) << name;
        if (std::string(name) != "--loop" && std::string(name) != "--wait-open") {
            EXPECT_TRUE(std::holds_alternative<OptionError>(parseOptions({name})))
                << name << " without a value must be an error";
        }
    }
}
