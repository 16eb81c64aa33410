#include "gnss_builder.h"

#include "nmea_builder.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace qvsim {

namespace {

std::string number(const char* fmt, int value)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, fmt, value);
    return buf;
}

// The GP sentence of the GPS-only builder under the GN talker.
std::string asGn(const std::string& sentence)
{
    const std::size_t star = sentence.rfind('*');
    return finishSentence("GN" + sentence.substr(3, star - 3));
}

// RMC from 4.10 on ends with the navigational status: S(afe), or V(oid) without a fix.
std::string buildGnssRmc(const ReceiverState& s)
{
    std::string sentence = asGn(buildRmc(s));
    if (s.gnss.version == NmeaVersion::V2_3)
        return sentence;
    const std::size_t star = sentence.rfind('*');
    return finishSentence(sentence.substr(1, star - 1) + (s.fix == FixMode::None ? ",V" : ",S"));
}

// Which GSA lists a satellite: its system ID, or in 2.3 its system (QZSS with GPS).
int gsaKey(SimSystem system, NmeaVersion version)
{
    if (version != NmeaVersion::V2_3)
        return nmeaName(system, 1, version).systemId;
    return static_cast<int>(system == SimSystem::Qzss ? SimSystem::Gps : system);
}

// One GSA per system, in the order the systems were chosen; 2.3 sends them the
// same way but without the system ID, leaving the number ranges to tell them apart.
std::vector<std::string> buildGnssGsa(const ReceiverState& s)
{
    std::vector<int> order;
    std::map<int, std::vector<int>> used;  // GSA -> numbers as sent
    for (const SimSystem system : s.gnss.systems) {
        const int key = gsaKey(system, s.gnss.version);
        if (used.emplace(key, std::vector<int>{}).second)
            order.push_back(key);
    }
    for (const SatView& sat : s.inView) {
        if (sat.used)
            used[gsaKey(sat.system, s.gnss.version)].push_back(nmeaName(sat.system, sat.prn, s.gnss.version).number);
    }
    std::vector<std::string> out;
    char dop[48];
    std::snprintf(dop, sizeof dop, ",%.1f,%.1f,%.1f", s.pdop, s.hdop, s.vdop);
    for (const int key : order) {
        std::vector<int>& numbers = used[key];
        std::sort(numbers.begin(), numbers.end());
        std::string body = number("GNGSA,A,%d", static_cast<int>(s.fix));
        for (std::size_t slot = 0; slot < 12; ++slot)
            body += slot < numbers.size() ? number(",%02d", numbers[slot]) : ",";
        body += s.fix != FixMode::None ? std::string(dop) : ",,,";
        if (s.gnss.version != NmeaVersion::V2_3)
            body += number(",%X", key);
        out.push_back(finishSentence(body));
    }
    return out;
}

struct GsvEntry {
    int number;
    const SatView* sat;
};

// One sequence of up to four satellites a message, with the signal ID last from 4.10 on.
void appendGsvSequence(std::vector<std::string>& out, const std::string& talker, const std::vector<GsvEntry>& sats,
                       int band, char signal, NmeaVersion version)
{
    const std::size_t total = sats.size();
    const std::size_t messages = std::max<std::size_t>(1, (total + 3) / 4);
    for (std::size_t m = 0; m < messages; ++m) {
        std::string body = talker + "GSV" + number(",%d", static_cast<int>(messages)) +
                           number(",%d", static_cast<int>(m + 1)) + number(",%02d", static_cast<int>(total));
        for (std::size_t i = m * 4; i < std::min(total, m * 4 + 4); ++i) {
            const SatView& sat = *sats[i].sat;
            const int snr = band == 0 ? sat.snr : sat.snr2;
            body += number(",%02d", sats[i].number) + number(",%02d", sat.elevation) + number(",%03d", sat.azimuth) + ",";
            if (snr > 0)
                body += number("%02d", snr);
        }
        if (version != NmeaVersion::V2_3)
            body += std::string(",") + signal;
        out.push_back(finishSentence(body));
    }
}

std::vector<std::string> buildGnssGsv(const ReceiverState& s)
{
    // Talkers in the order of the chosen systems; each gets its satellites by number.
    std::vector<std::string> talkers;
    std::map<std::string, std::vector<GsvEntry>> byTalker;
    std::map<std::string, SimSystem> talkerSystem;
    for (const SimSystem system : s.gnss.systems) {
        const std::string talker = nmeaName(system, 1, s.gnss.version).talker;
        if (byTalker.emplace(talker, std::vector<GsvEntry>{}).second) {
            talkers.push_back(talker);
            talkerSystem[talker] = system;
        }
    }
    for (const SatView& sat : s.inView) {
        const NmeaSatName name = nmeaName(sat.system, sat.prn, s.gnss.version);
        byTalker[name.talker].push_back({name.number, &sat});
    }
    std::vector<std::string> out;
    for (const std::string& talker : talkers) {
        std::vector<GsvEntry>& sats = byTalker[talker];
        std::stable_sort(sats.begin(), sats.end(), [](const GsvEntry& a, const GsvEntry& b) { return a.number < b.number; });
        const int bands = s.gnss.dualBand ? 2 : 1;
        for (int band = 0; band < bands; ++band)
            appendGsvSequence(out, talker, sats, band, signalId(talkerSystem[talker], band), s.gnss.version);
    }
    return out;
}

}  // namespace

std::vector<std::string> buildGnssCycle(const ReceiverState& s)
{
    std::vector<std::string> out;
    out.push_back(buildGnssRmc(s));
    out.push_back(asGn(buildGga(s)));
    for (std::string& gsa : buildGnssGsa(s))
        out.push_back(std::move(gsa));
    for (std::string& gsv : buildGnssGsv(s))
        out.push_back(std::move(gsv));
    if (s.waypoint)
        out.push_back(asGn(buildRmb(s)));
    out.push_back(asGn(buildZda(s)));
    return out;
}

}  // namespace qvsim
