#include "gnss_sky.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "gnss_listing.h"

namespace {

using nmea::Talker;

class Sky : public testing::Test {
 protected:
  // Message `number` of `total` of `talker`'s sequence for `signal`, its
  // satellites as "5:30 7": the number as sent and the SNR where one was
  // heard.
  void Gsv(Talker talker, int number, int total, const std::string& sats, int signal = 0) {
    int64_t fields[16] = {};
    GnssSky::GsvReport r{talker, talker, static_cast<uint8_t>(signal), static_cast<uint8_t>(total),
                         static_cast<uint8_t>(number), 0, 0, fields};
    std::istringstream in(sats);
    for (std::string word; in >> word; ++r.Count) {
      const size_t colon = word.find(':');
      fields[4 * r.Count] = std::stoi(word);
      // Elevation and azimuth empty, and the SNR unless one was heard.
      r.Empty = static_cast<uint16_t>(r.Empty | 6u << 4 * r.Count);
      if (colon == std::string::npos) {
        r.Empty = static_cast<uint16_t>(r.Empty | 8u << 4 * r.Count);
      } else {
        fields[4 * r.Count + 3] = std::stoi(word.substr(colon + 1));
      }
    }
    sky.Gsv(r);
  }
  // A GSA of `fixType` naming `used` in `numbering`'s numbers, for `system`
  // when it has a system ID.
  int Gsa(Talker numbering, int fixType, const std::string& used, int system = -1) {
    GnssSky::GsaReport r{numbering, static_cast<uint8_t>(system < 0 ? 0 : 1 << system),
                         static_cast<uint8_t>(fixType), {}};
    std::istringstream in(used);
    for (uint16_t& number : r.Used) in >> number;
    return sky.Gsa(r);
  }
  std::string Listed(bool snr = false) const { return GnssListing(sky.Satellites(), snr); }

  GnssSky sky;
};

TEST_F(Sky, EachSequencesCompleteCycleReplacesOnlyItsOwnEntries) {
  const struct {
    Talker talker;
    int number, total;
    const char* sats;
    const char* listed;  // afterwards, where it is checked
  } steps[] = {
      {Talker::GP, 1, 2, "2 5 7 9", nullptr},
      {Talker::GP, 2, 2, "13", nullptr},
      {Talker::GL, 1, 1, "65 66", "G2 G5 G7 G9 G13 R1 R2 "},
      // GPS 5 and 13 set. The first message alone removes nothing yet.
      {Talker::GP, 1, 2, "2:35 7:32 9:33 20:22", "G2 G5 G7 G9 G13 R1 R2 G20 "},
      {Talker::GP, 2, 2, "", "G2 G7 G9 R1 R2 G20 "},
      // A cycle that lost a message cannot tell who left: nothing is removed.
      {Talker::GL, 1, 2, "67 68", nullptr},
      {Talker::GL, 1, 2, "67 68", "G2 G7 G9 R1 R2 G20 R3 R4 "},
      {Talker::GL, 2, 2, "", "G2 G7 G9 G20 R3 R4 "},
      {Talker::GL, 1, 1, "", "G2 G7 G9 G20 "},
  };
  for (const auto& s : steps) {
    Gsv(s.talker, s.number, s.total, s.sats);
    if (s.listed != nullptr) {
      EXPECT_EQ(Listed(), s.listed) << s.sats;
    }
  }
  EXPECT_EQ(Listed(true), "G2:35 G7:32 G9:33 G20:22 ");
}

TEST_F(Sky, EachSatelliteShowsItsStrongestSignal) {
  // GPS 3 on L1 (signal 1) and L2 (signal 6) is one entry with the stronger
  // SNR; a cycle of one signal without it leaves the other's report standing.
  const struct {
    int signal;
    const char* sats;
    const char* listed;
  } steps[] = {{1, "3:30", "G3:30 "}, {6, "3:41", "G3:41 "}, {1, "3:44", "G3:44 "}, {1, "", "G3:41 "}, {6, "", ""}};
  for (const auto& s : steps) {
    Gsv(Talker::GP, 1, 1, s.sats, s.signal);
    EXPECT_EQ(Listed(true), s.listed) << s.signal << " " << s.sats;
  }
}

TEST_F(Sky, UsedIsTheUnionOfTheEpochsGsaReports) {
  constexpr int kGps = 0, kGlonass = 2, kGalileo = 3;
  sky.FixTime(120000);
  Gsv(Talker::GP, 1, 1, "5 7 36");
  Gsv(Talker::GL, 1, 1, "65 66");
  Gsv(Talker::GA, 1, 1, "5", 7);
  Gsa(Talker::GP, 3, "5 7 36", kGps);
  Gsa(Talker::GL, 3, "65", kGlonass);
  Gsa(Talker::GA, 3, "5", kGalileo);
  EXPECT_EQ(Listed(), "G5* G7* S123* R1* R2 E5* ");
  // A new time: the last epoch's marks stand until the next GSA arrives.
  sky.FixTime(120001);
  EXPECT_EQ(sky.Used(), 5);
  EXPECT_EQ(Gsa(Talker::GP, 2, "7", kGps), 2);
  EXPECT_EQ(Listed(), "G5 G7* S123 R1 R2 E5 ");
  // Within one fix time every GSA adds to the set, a second one for a system
  // too. Without a system ID, the satellites name the systems. The fix type
  // is the best of the epoch's.
  Gsa(Talker::GL, 3, "66", kGlonass);
  Gsa(Talker::GA, 1, "", kGalileo);
  EXPECT_EQ(Gsa(Talker::GN, 3, "65 5"), 3);
  EXPECT_EQ(Listed(), "G5* G7* S123 R1* R2* E5 ");
  // No time: a second GSA for a system begins the next epoch.
  sky.FixTime(-1);
  Gsa(Talker::GP, 3, "5", kGps);
  Gsa(Talker::GP, 3, "7", kGps);
  EXPECT_EQ(Listed(), "G5 G7* S123 R1 R2 E5 ");
  sky.FixTime(120002);
  EXPECT_EQ(Gsa(Talker::GP, 1, "", kGps), 1);
  EXPECT_EQ(sky.Used(), 0);
}

TEST_F(Sky, SequenceSilentForTwoOfItsCyclesLeavesTheList) {
  // GSV every third fix, as SiRF and MediaTek receivers may be set to send it:
  // from its second cycle on, a sequence stays until it misses two of them.
  for (int s = 0; s < 16; ++s) {
    sky.FixTime(120010 + s);
    if (s >= 4) {
      EXPECT_EQ(Listed(), s < 13 ? "G5 R1 " : "G5 ") << s;
    }
    if (s % 3 == 0) Gsv(Talker::GP, 1, 1, "5");
    if (s % 3 == 0 && s <= 6) Gsv(Talker::GL, 1, 1, "65");
  }
}

}  // namespace
