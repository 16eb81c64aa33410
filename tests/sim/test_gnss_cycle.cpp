#include "gnss_builder.h"
#include "nmea_check.h"
#include "sim_options.h"
#include "sim_world.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace qvsim;
using simtest::fields;
using simtest::hasValidChecksum;

namespace {

struct Sent {
    std::map<std::string, std::vector<std::vector<std::string>>> byName;  // "GPGSV" -> field lists
    std::vector<std::string> names;
};

Sent cycleAfterFix(GnssConfig gnss, int perSystem = 8)
{
    gnss.enabled = true;
    WorldConfig c;
    c.seed = 3;
    c.acquireSeconds = 2;
    c.satellites = perSystem;
    c.gnss = gnss;
    World world(c);
    world.advance(5.0);
    Sent out;
    for (const std::string& line : buildGnssCycle(world.state())) {
        EXPECT_TRUE(hasValidChecksum(line)) << line;
        const std::vector<std::string> f = fields(line);
        out.names.push_back(f[0]);
        out.byName[f[0]].push_back(f);
    }
    return out;
}

// Satellite numbers of one GSV sequence (one signal), checking its counts.
std::multiset<int> gsvNumbers(const std::vector<std::vector<std::string>>& msgs, bool withSignal, std::string signal,
                              std::set<std::string>* signalsSeen = nullptr)
{
    std::multiset<int> numbers;
    for (const auto& f : msgs) {
        const std::size_t satFields = f.size() - 4 - (withSignal ? 1 : 0);
        EXPECT_EQ(satFields % 4, 0u) << f[0];
        if (withSignal && signalsSeen)
            signalsSeen->insert(f.back());
        if (withSignal && f.back() != signal)
            continue;
        for (std::size_t i = 4; i + 3 < 4 + satFields; i += 4)
            numbers.insert(std::stoi(f[i]));
    }
    return numbers;
}

}  // namespace

TEST(GnssCycle, DualBand410SendsGnFixAndPerSystemGsaAndGsvWithIds)
{
    GnssConfig gnss;
    gnss.dualBand = true;
    const Sent s = cycleAfterFix(gnss);
    EXPECT_EQ(s.names.front(), "GNRMC");
    EXPECT_EQ(s.names[1], "GNGGA");
    EXPECT_EQ(s.names.back(), "GNZDA");
    EXPECT_EQ(s.byName.at("GNRMC")[0].back(), "S") << "4.10 RMC ends in the navigational status";
    ASSERT_EQ(s.byName.at("GNGSA").size(), 4u);
    int usedTotal = 0;
    const std::map<std::string, std::string> talkerOfId = {{"1", "GP"}, {"2", "GL"}, {"3", "GA"}, {"4", "GB"}};
    for (const auto& gsa : s.byName.at("GNGSA")) {
        ASSERT_EQ(gsa.size(), 19u);
        EXPECT_EQ(gsa[2], "3");
        const std::string talker = talkerOfId.at(gsa.back());
        std::set<std::string> signals;
        const std::multiset<int> first = gsvNumbers(s.byName.at(talker + "GSV"), true, "1", &signals);
        EXPECT_EQ(signals.size(), 2u) << talker << " sends one sequence per signal";
        // The second band lists the same satellites, once each.
        const std::string second = *std::next(signals.begin(), signals.begin()->compare("1") == 0 ? 1 : 0);
        EXPECT_EQ(gsvNumbers(s.byName.at(talker + "GSV"), true, second), first) << talker;
        EXPECT_EQ(first.size(), 8u) << talker;
        for (int i = 3; i < 15; ++i) {
            if (gsa[static_cast<std::size_t>(i)].empty())
                continue;
            ++usedTotal;
            EXPECT_EQ(first.count(std::stoi(gsa[static_cast<std::size_t>(i)])), 1u) << "used satellites are in view";
        }
        if (talker == "GL") {
            EXPECT_GE(*first.begin(), 65);
        }
    }
    EXPECT_EQ(std::stoi(s.byName.at("GNGGA")[0][7]), usedTotal);
}

TEST(GnssCycle, Nmea23DropsIdsAndNumbersSystemsApart411GivesQzssItsOwn)
{
    GnssConfig old;
    old.version = NmeaVersion::V2_3;
    const Sent s = cycleAfterFix(old);
    for (const auto& gsa : s.byName.at("GNGSA"))
        EXPECT_EQ(gsa.size(), 18u) << "no system ID";
    EXPECT_EQ(s.byName.count("GBGSV"), 0u);
    EXPECT_GT(*gsvNumbers(s.byName.at("GAGSV"), false, "").begin(), 300);
    EXPECT_GT(*gsvNumbers(s.byName.at("BDGSV"), false, "").begin(), 400);
    EXPECT_EQ(s.byName.at("GNRMC")[0].size(), 13u);

    GnssConfig qzss;
    qzss.systems = {SimSystem::Gps, SimSystem::Qzss};
    const Sent v410 = cycleAfterFix(qzss);
    EXPECT_EQ(v410.byName.at("GNGSA").size(), 1u) << "QZSS rides in GPS's GSA";
    EXPECT_GT(*gsvNumbers(v410.byName.at("GPGSV"), true, "1").rbegin(), 192);
    qzss.version = NmeaVersion::V4_11;
    const Sent v411 = cycleAfterFix(qzss);
    ASSERT_EQ(v411.byName.at("GNGSA").size(), 2u);
    EXPECT_EQ(v411.byName.at("GNGSA")[1].back(), "5");
    EXPECT_LE(*gsvNumbers(v411.byName.at("GQGSV"), true, "1").rbegin(), 10);
}

TEST(GnssCycle, OptionsNeedGnssAndSetItsDefaults)
{
    const ParseResult r = parseOptions({"--gnss", "--systems", "gps,beidou", "--dual-band", "--nmea", "4.11"});
    ASSERT_TRUE(std::holds_alternative<SimOptions>(r));
    const SimOptions& o = std::get<SimOptions>(r);
    EXPECT_TRUE(o.world.gnss.enabled && o.world.gnss.dualBand);
    EXPECT_EQ(o.world.gnss.systems, (std::vector<SimSystem>{SimSystem::Gps, SimSystem::BeiDou}));
    EXPECT_EQ(o.world.gnss.version, NmeaVersion::V4_11);
    EXPECT_EQ(o.world.satellites, 8);
    EXPECT_EQ(o.baud, 38400);
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--dual-band"}, {"--nmea", "4.10"}, {"--gnss", "--systems", "gps,mars"},
             {"--gnss", "--nmea", "3.0"}, {"--gnss", "--nmea", "2.3", "--dual-band"}, {"--gnss", "--satellites", "17"}})
        EXPECT_TRUE(std::holds_alternative<OptionError>(parseOptions(bad))) << bad[0] << " " << bad.back();
}
