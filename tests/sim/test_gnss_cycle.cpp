#include "gnss_builder.h"
#include "nmea_check.h"
#include "sim_options.h"
#include "sim_world.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace qvsim;
using Fields = std::vector<std::string>;

namespace {

// One cycle after the fix, as field lists by sentence name ("GPGSV").
std::map<std::string, std::vector<Fields>> cycleAfterFix(GnssConfig gnss)
{
    gnss.enabled = true;
    WorldConfig c;
    c.seed = 3;
    c.acquireSeconds = 2;
    c.satellites = 8;
    c.gnss = gnss;
    World world(c);
    world.advance(5.0);
    std::map<std::string, std::vector<Fields>> out;
    for (const std::string& line : buildGnssCycle(world.state())) {
        EXPECT_TRUE(simtest::hasValidChecksum(line)) << line;
        const Fields f = simtest::fields(line);
        out[f[0]].push_back(f);
    }
    return out;
}

// Satellite numbers of the GSV messages with the given signal ID ("" without
// IDs), checking that the satellite fields come in fours.
std::multiset<int> gsvNumbers(const std::vector<Fields>& msgs, const std::string& signal)
{
    std::multiset<int> numbers;
    for (const Fields& f : msgs) {
        const std::size_t end = f.size() - (signal.empty() ? 0 : 1);
        EXPECT_EQ((end - 4) % 4, 0u) << f[0];
        if (signal.empty() || f.back() == signal)
            for (std::size_t i = 4; i < end; i += 4)
                numbers.insert(std::stoi(f[i]));
    }
    return numbers;
}

}  // namespace

TEST(GnssCycle, DualBand410SendsGnFixAndPerSystemGsaAndGsvWithIds)
{
    GnssConfig gnss;
    gnss.dualBand = true;
    const auto s = cycleAfterFix(gnss);
    EXPECT_EQ(s.at("GNRMC")[0].back(), "S") << "4.10 RMC ends in the navigational status";
    ASSERT_EQ(s.at("GNGSA").size(), 4u);
    const std::map<std::string, std::pair<std::string, std::string>> byId = {
        {"1", {"GPGSV", "8"}}, {"2", {"GLGSV", "3"}}, {"3", {"GAGSV", "1"}}, {"4", {"GBGSV", "5"}}};
    int usedTotal = 0;
    for (const Fields& gsa : s.at("GNGSA")) {
        ASSERT_EQ(gsa.size(), 19u);
        const auto& [name, second] = byId.at(gsa.back());
        const std::multiset<int> first = gsvNumbers(s.at(name), name == "GAGSV" ? "7" : "1");
        EXPECT_EQ(first.size(), 8u) << name;
        EXPECT_EQ(gsvNumbers(s.at(name), second), first) << name << ": the second band lists the same satellites";
        for (std::size_t i = 3; i < 15; ++i) {
            usedTotal += !gsa[i].empty();
            EXPECT_TRUE(gsa[i].empty() || first.count(std::stoi(gsa[i])) == 1) << "used satellites are in view";
        }
        EXPECT_TRUE(name != "GLGSV" || *first.begin() >= 65);
    }
    EXPECT_EQ(std::stoi(s.at("GNGGA")[0][7]), usedTotal);
}

TEST(GnssCycle, Nmea23DropsIdsAndNumbersSystemsApart411GivesQzssItsOwn)
{
    GnssConfig old;
    old.version = NmeaVersion::V2_3;
    const auto s = cycleAfterFix(old);
    EXPECT_EQ(s.at("GNGSA")[3].size(), 18u) << "no system ID";
    EXPECT_GT(*gsvNumbers(s.at("GAGSV"), "").begin(), 300);
    EXPECT_GT(*gsvNumbers(s.at("BDGSV"), "").begin(), 400);
    EXPECT_EQ(s.at("GNRMC")[0].size(), 13u);

    GnssConfig qzss;
    qzss.systems = {SimSystem::Gps, SimSystem::Qzss};
    EXPECT_GT(*gsvNumbers(cycleAfterFix(qzss).at("GPGSV"), "1").rbegin(), 192) << "4.10 sends QZSS as GPS";
    qzss.version = NmeaVersion::V4_11;
    const auto v411 = cycleAfterFix(qzss);
    ASSERT_EQ(v411.at("GNGSA").size(), 2u);
    EXPECT_EQ(v411.at("GNGSA")[1].back(), "5");
    EXPECT_LE(*gsvNumbers(v411.at("GQGSV"), "1").rbegin(), 10);
}

TEST(GnssCycle, OptionsNeedGnssAndSetItsDefaults)
{
    const ParseResult r = parseOptions({"--gnss", "--systems", "gps,beidou", "--dual-band", "--nmea", "4.11"});
    ASSERT_TRUE(std::holds_alternative<SimOptions>(r));
    const SimOptions& o = std::get<SimOptions>(r);
    EXPECT_TRUE(o.world.gnss.enabled && o.world.gnss.dualBand && o.world.gnss.systems.size() == 2);
    EXPECT_EQ(o.world.gnss.version, NmeaVersion::V4_11);
    EXPECT_EQ(std::pair(o.world.satellites, o.baud), std::pair(8, 38400));
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--dual-band"}, {"--gnss", "--systems", "gps,mars"}, {"--gnss", "--nmea", "2.3", "--dual-band"},
             {"--gnss", "--satellites", "17"}})
        EXPECT_TRUE(std::holds_alternative<OptionError>(parseOptions(bad))) << bad.back();
}
