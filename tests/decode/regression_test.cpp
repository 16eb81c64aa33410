#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "gnss_listing.h"
#include "line_feed.h"
#include "nmea_parser.h"
#include "record_json.h"
#include "recordings.h"

namespace {

enum class Mode { Lines, Raw };

// Feeds `text` in blocks of `chunk` bytes (0: all at once) the way the decode
// tool does in the given mode.
std::string Decode(const std::string& text, Mode mode, size_t chunk, bool gnss) {
  CNMEAParser parser;
  parser.SetGnssMode(gnss);
  if (chunk == 0) chunk = text.size() + 1;
  for (size_t at = 0; at < text.size(); at += chunk) {
    const size_t n = std::min(chunk, text.size() - at);
    if (mode == Mode::Raw) {
      parser.FeedBytes(text.data() + at, static_cast<uint32_t>(n));
    } else {
      FeedLines(parser, text.data() + at, n);
    }
  }
  return RecordJson(parser);
}

class Recording : public testing::TestWithParam<std::tuple<std::string, Mode>> {};

TEST_P(Recording, DecodesToExpectedRecordInAnyChunking) {
  const auto& [name, mode] = GetParam();
  const std::string text = ReadFile(kDataDir / (name + ".nmea"));
  ASSERT_FALSE(text.empty());
  // A raw stream has expected output of its own only where it decodes otherwise.
  auto expectedPath = kDataDir / (name + ".raw.json");
  if (mode == Mode::Lines || !std::filesystem::exists(expectedPath)) expectedPath = kDataDir / (name + ".json");
  const std::string expected = ReadFile(expectedPath);
  ASSERT_FALSE(expected.empty()) << expectedPath << " is missing; build regen-expected";
  for (const size_t chunk : {size_t{0}, size_t{1}, size_t{2}, size_t{3}, size_t{7}, size_t{13},
                             size_t{61}, size_t{509}}) {
    SCOPED_TRACE(testing::Message() << "chunk size " << chunk);
    EXPECT_EQ(Decode(text, mode, chunk, IsGnssRecording(name)), expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Decode, Recording,
    testing::Combine(testing::ValuesIn(RecordingNames()), testing::Values(Mode::Lines, Mode::Raw)),
    [](const testing::TestParamInfo<Recording::ParamType>& info) {
      std::string name = std::get<0>(info.param);
      std::replace(name.begin(), name.end(), '/', '_');
      return name + (std::get<1>(info.param) == Mode::Raw ? "_raw" : "_lines");
    });

// Each recording exists to show something; pin the point of the ones that
// show a mended fault, so a regenerated expectation cannot quietly lose it.
CNMEAParser DecodeRecording(const std::string& name) {
  CNMEAParser parser;
  const std::string text = ReadFile(kDataDir / (name + ".nmea"));
  FeedLines(parser, text.data(), text.size());
  return parser;
}

TEST(RecordingPoints, GoodSentencesAfterCutOnesAreDecoded) {
  const CNMEAParser p = DecodeRecording("resync_after_cut");
  EXPECT_EQ(p.SentenceTotal, 2u);
  EXPECT_EQ(p.RmcSentences, 1u);
  EXPECT_EQ(p.GgaSentences, 1u);
  EXPECT_EQ(p.GgaAltitude, 546.0);
}

TEST(RecordingPoints, SbasPrnDoesNotMarkSatelliteTwelve) {
  const CNMEAParser p = DecodeRecording("sbas_prn_in_gsa");
  ASSERT_EQ(p.GsvSat[1].Prn, 12);
  EXPECT_EQ(p.GsvSat[1].InSolution, 0);
  ASSERT_EQ(p.GsvSat[4].Prn, 120);
  EXPECT_EQ(p.GsvSat[4].InSolution, 1);
}

TEST(RecordingPoints, GsvWithoutMessageNumberChangesNothing) {
  const CNMEAParser p = DecodeRecording("gsv_without_message_number");
  EXPECT_EQ(p.SentenceTotal, 3u);
  EXPECT_EQ(p.GsvSentences, 1u);
  EXPECT_EQ(p.GsvSat[0].Prn, 1);
  EXPECT_EQ(p.GsvSat[3].Prn, 0);
}

TEST(RecordingPoints, ShortTimeReadsMissingPositionsAsZero) {
  const CNMEAParser p = DecodeRecording("short_time_and_date");
  EXPECT_EQ(p.GgaUtcHour, 12);
  EXPECT_EQ(p.GgaUtcMinute, 0);
  EXPECT_EQ(p.GgaUtcSecond, 0);
  EXPECT_EQ(p.RmcDay, 8);
  EXPECT_EQ(p.RmcMonth, 3);
  EXPECT_EQ(p.RmcYear, 2000);
  EXPECT_EQ(p.ZdaUtcHour, 7);
  EXPECT_EQ(p.ZdaUtcMinute, 0);
}

TEST(RecordingPoints, NoisyLineKeepsEverySoundSentence) {
  const CNMEAParser lines = DecodeRecording("line_endings");
  // GGA, RMC, GSA, ZDA (lowercase digits that happen to match) and the last RMC.
  EXPECT_EQ(lines.SentenceTotal, 5u);
  EXPECT_EQ(lines.ZdaSentences, 1u);
  EXPECT_EQ(lines.RmcSentences, 2u);
  EXPECT_EQ(lines.GgaAltitude, 61.7);
}

TEST(RecordingPoints, EachRecordingEndsWhereItsScriptLeftIt) {
  const CNMEAParser cold = DecodeRecording("sirf_cold_start");
  EXPECT_EQ(cold.GsaFixType, 3);
  EXPECT_EQ(cold.GgaSatsUsed, 6);
  EXPECT_DOUBLE_EQ(cold.GgaAltitude, 520.9);
  EXPECT_EQ(cold.GsvSat[7].Prn, 10);  // heard last, its SNR field still empty
  EXPECT_EQ(cold.GsvSat[7].Snr, 0);

  const CNMEAParser drive = DecodeRecording("vehicle_rmb");
  EXPECT_EQ(drive.RmcDay * 10000 + drive.RmcMonth * 100 + drive.RmcYear % 100, 10127);
  EXPECT_STREQ(drive.RmbToId, "MTKEIRA");
  EXPECT_LT(drive.GgaLat, -34.4);
  EXPECT_GT(drive.GgaLon, 150.8);

  const CNMEAParser sw = DecodeRecording("southwest");
  EXPECT_NEAR(sw.GgaLat, -34.60752, 1e-9);
  EXPECT_NEAR(sw.GgaLon, -58.3831267, 1e-7);
  EXPECT_EQ(sw.GgaQuality, 2);
  EXPECT_DOUBLE_EQ(sw.RmcVariation, -8.9);
  EXPECT_EQ(sw.ZdaZoneHours, -3);

  // The default mode decodes only the GP talker: the last GPGGA, never a GN one.
  const CNMEAParser talkers = DecodeRecording("gnss_talkers");
  EXPECT_EQ(talkers.GgaSentences, 1u);
  EXPECT_EQ(talkers.GgaSatsUsed, 7);
  EXPECT_EQ(talkers.GpFixSentences, 2u);
  EXPECT_EQ(talkers.OtherTalkerFixSentences, 12u);
}

TEST(RecordingPoints, SignalIdIsNoPhantomSatelliteInGnssMode) {
  const std::string text = ReadFile(kDataDir / "gnss/signal_id_phantom.nmea");
  CNMEAParser gnss;
  gnss.SetGnssMode(true);
  FeedLines(gnss, text.data(), text.size());
  ASSERT_EQ(gnss.GnssInView(), 7);
  for (const GnssSat& s : gnss.GnssSats()) EXPECT_NE(s.Id, 1) << GnssSystemName(s.System);
  // The default mode stays as it always was: the ID reads as satellite 1.
  EXPECT_EQ(DecodeRecording("gnss/signal_id_phantom").GsvSat[7].Prn, 1);
}

// The generated GNSS recordings, each made to show one rule, checked by hand.
TEST(RecordingPoints, GnssModeRulesHoldInTheirRecordings) {
  const struct {
    const char* name;
    int used;
    // All of it, its end, or after "..." entries found anywhere ("!G15": no G15).
    const char* listed;
  } rows[] = {
      // GPS 15 gone, Galileo 31 listed but not used; SBAS 36 and 49 used
      // (as 123 and 136), QZSS 193 listed as J1; 22 in view.
      {"ublox_m8_nmea410", 18, "...!G15 G5*:47 S123*:39 S136*:36 J1:-1 R16*:40 E31:33 "},
      // QZSS 4 used from the second epoch, MSAS 42 used as 129, Galileo 15 not.
      {"ublox_m10_nmea411", 23, "...S129*:41 E15:-1 J4*:38 "},
      // Six GPS and three GLONASS (75, 76, 85) used once 3D; untracked GPS 17 and 28.
      {"quectel_l76_nmea301", 9, "...G17:-1 G28:-1 R11*:37 R12*:42 R21*:35 "},
      // BeiDou 39 used from the second epoch; BeiDou 26 and GPS 23 silent, unused.
      {"casic_atgm336h_bdgsv", 15, "...G23:-1 C26:-1 C38*:33 C39*:36 "},
      // One entry per satellite with its strongest signal; GPS 9 back on L1.
      {"dual_band_same_satellite", 11,
       "G2*:40 G6*:47 G9*:43 G17*:39 G19*:28 E4*:44 E11*:45 E36*:40 C19*:40 C20*:41 C29*:33 "},
      // The signal ID is not GPS 1: the seven satellites sent, the last two silent.
      {"signal_id_phantom", 5, "G3*:44 G8*:38 G14*:46 G22*:35 G27*:43 G31:-1 G11:-1 "},
      // The union of two GSA sets in one epoch: all 16 that GGA counts.
      {"epoch_two_gsa_sets", 16, "G24*:42 G28*:43 G6:44 G30:45 E4*:41 E11*:43 E19:-1 "},
      // L5 (GPS 30) and E5a (Galileo 36) silent for two epochs: gone, and
      // GPS 5 and Galileo 2 back to their L1 and E1 SNR.
      {"stale_signal_sequence", 5, "G5*:44 G13*:40 G20*:36 E2*:42 E9*:39 "},
      // Galileo 111 and 136, BeiDou 207 (GSA 407), QZSS 3 (QZ 195) and 199.
      {"vendor_talkers_numbering", 9, "E11*:42 E36*:38 C7*:40 C13*:36 C19*:33 J3*:45 J7:-1 "},
  };
  for (const auto& r : rows) {
    const std::string text = ReadFile(kDataDir / "gnss" / (std::string(r.name) + ".nmea"));
    CNMEAParser p;
    p.SetGnssMode(true);
    FeedLines(p, text.data(), text.size());
    const std::string listed = GnssListing(p.GnssSats(), true);
    EXPECT_EQ(p.GnssUsed(), r.used) << r.name;
    const std::string_view want = r.listed;
    if (want.starts_with("...")) {
      for (size_t at = 3; at < want.size();) {
        const size_t end = want.find(' ', at) + 1;
        const std::string entry(want.substr(at, end - at));
        if (entry[0] == '!') {
          const std::string gone = " " + entry.substr(1, entry.size() - 2);
          EXPECT_FALSE((" " + listed).find(gone + ":") != std::string::npos ||
                       (" " + listed).find(gone + "*") != std::string::npos)
              << r.name << " lists " << gone << ": " << listed;
        } else {
          EXPECT_NE((" " + listed).find(" " + entry), std::string::npos)
              << r.name << " lacks " << entry << ": " << listed;
        }
        at = end;
      }
    } else {
      EXPECT_TRUE(listed.ends_with(want)) << r.name << ": " << listed;
    }
  }
}

}  // namespace
