#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "sentence.h"

namespace {

const std::string kGga =
    Sentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");

struct FramingCase {
  const char* what;
  std::string bytes;
  uint32_t total;  // SentenceTotal afterwards
  uint32_t gga;    // GgaSentences afterwards
};

class Framing : public testing::TestWithParam<FramingCase> {};

TEST_P(Framing, CountsAndDecodesOnlyWhatPasses) {
  CNMEAParser p;
  Feed(p, GetParam().bytes);
  EXPECT_EQ(p.SentenceTotal, GetParam().total);
  EXPECT_EQ(p.GgaSentences, GetParam().gga);
}

INSTANTIATE_TEST_SUITE_P(
    Reader, Framing,
    testing::Values(
        FramingCase{"valid", kGga, 1, 1},
        FramingCase{"valid with CR LF", kGga + "\r\n", 1, 1},
        FramingCase{"one data character changed",
                    [] {
                      std::string s = kGga;
                      s[20] = '9';
                      return s;
                    }(),
                    0, 0},
        FramingCase{"leading garbage and NUL bytes", std::string("\0\0\xff#junk", 9) + kGga, 1, 1},
        FramingCase{"missing checksum, ended by CR", "$GPGGA,123519,4807.038,N\r", 1, 1},
        FramingCase{"missing checksum, no CR", "$GPGGA,123519,4807.038,N", 0, 0},
        FramingCase{"unknown name counted only", Sentence("GPXTE,A,A,0.67,L,N"), 1, 0},
        FramingCase{"other talker counted only", Sentence("GNGGA,123519,4807.038,N"), 1, 0},
        FramingCase{"lowercase talker counted only", Sentence("gpgga,123519"), 1, 0},
        FramingCase{"empty name counted", Sentence(",1,2"), 1, 0},
        FramingCase{"name ended by star still reads data", Sentence("GPGGA*123519"), 1, 1},
        FramingCase{"seven-character name accepted", Sentence("PSRFTXT,x"), 1, 0},
        FramingCase{"eight-character name dropped", Sentence("PSRFTXTS,x"), 0, 0},
        FramingCase{"data of 255 characters accepted", Sentence("GPGGA," + std::string(255, '1')),
                    1, 1},
        FramingCase{"data of 256 characters dropped", Sentence("GPGGA," + std::string(256, '1')),
                    0, 0},
        FramingCase{"two sentences back to back", kGga + kGga, 2, 2}));

// Checksum 0x3A has bit 0x20 set, so a lowercase "a" as second digit still
// matches; 0x1A has it clear, so "1a" fails.
TEST(Reader, LowercaseSecondDigitPassesOnlyWithBit20Set) {
  const std::string body3a = "GPXXA,@";
  const std::string body1a = "GPXXA,`";
  ASSERT_EQ(Sentence(body3a).substr(8), "*3A");
  ASSERT_EQ(Sentence(body1a).substr(8), "*1A");
  CNMEAParser p;
  Feed(p, "$" + body3a + "*3a");
  EXPECT_EQ(p.SentenceTotal, 1u);
  Feed(p, "$" + body1a + "*1a");
  EXPECT_EQ(p.SentenceTotal, 1u);
  Feed(p, "$" + body1a + "*1A");
  EXPECT_EQ(p.SentenceTotal, 2u);
}

// Only bytes above 0x7F can push the first digit to a letter.
TEST(Reader, LowercaseFirstDigitReadsAsUppercase) {
  const std::string body = "GPXXA,\xD0";
  ASSERT_EQ(Sentence(body).substr(8), "*AA");
  CNMEAParser p;
  Feed(p, "$" + body + "*aA");
  EXPECT_EQ(p.SentenceTotal, 1u);
}

// A "$" inside a sentence starts a new one, whatever state the reader is in.
struct ResyncCase {
  const char* what;
  std::string cut;
};

class Resync : public testing::TestWithParam<ResyncCase> {};

TEST_P(Resync, NextSentenceSurvivesAnUnfinishedOne) {
  CNMEAParser p;
  Feed(p, GetParam().cut + kGga + kGga);
  EXPECT_EQ(p.SentenceTotal, 2u);
  EXPECT_EQ(p.GgaSentences, 2u);
}

INSTANTIATE_TEST_SUITE_P(Reader, Resync,
                         testing::Values(ResyncCase{"in the name", "$GPG"},
                                         ResyncCase{"in the data", "$GPRMC,1234,A,"},
                                         ResyncCase{"right after the star", "$GPRMC,1234*"},
                                         ResyncCase{"after one checksum digit", "$GPRMC,1234*4"},
                                         ResyncCase{"a lone dollar", "$"}));

TEST(Reader, UnfinishedSentenceIsNotCountedWhenAbandoned) {
  CNMEAParser p;
  Feed(p, "$GPGGA,123519,4807.038,N");
  Feed(p, kGga);
  EXPECT_EQ(p.SentenceTotal, 1u);
  EXPECT_EQ(p.GgaUtcSecond, 19);
  EXPECT_NEAR(p.GgaLon, 11.5166666666, 1e-9);
}

TEST(Reader, AnyChunkingDecodesTheSame) {
  const std::string stream = "junk" + kGga + "\r\n" + Sentence("GPZDA,201530.00,04,07,2002,-5,00") +
                             "\r\n$GPRMC,12*\r\n" + kGga;
  for (size_t chunk = 1; chunk <= stream.size(); ++chunk) {
    CNMEAParser p;
    for (size_t at = 0; at < stream.size(); at += chunk) {
      Feed(p, std::string_view(stream).substr(at, chunk));
    }
    ASSERT_EQ(p.SentenceTotal, 3u) << "chunk " << chunk;
    ASSERT_EQ(p.GgaSentences, 2u) << "chunk " << chunk;
    ASSERT_EQ(p.ZdaYear, 2002) << "chunk " << chunk;
    ASSERT_EQ(p.ZdaZoneHours, -5) << "chunk " << chunk;
  }
}

TEST(Reader, ResetRecordBetweenHalvesKeepsTheSentence) {
  CNMEAParser p;
  Feed(p, kGga);
  Feed(p, kGga.substr(0, 20));
  p.ResetRecord();
  EXPECT_EQ(p.GgaSentences, 0u);
  EXPECT_EQ(p.SentenceTotal, 1u);
  Feed(p, kGga.substr(20));
  EXPECT_EQ(p.GgaSentences, 1u);
  EXPECT_EQ(p.SentenceTotal, 2u);
  EXPECT_NEAR(p.GgaLat, 48.1173, 1e-9);
}

TEST(Reader, EmptyFeedIsHarmless) {
  CNMEAParser p;
  EXPECT_TRUE(p.FeedBytes(nullptr, 0));
  EXPECT_EQ(p.SentenceTotal, 0u);
}

TEST(Record, ResetRestoresStartValues) {
  CNMEAParser p;
  Feed(p, kGga + Sentence("GPGSA,A,3,04,05,,,,,,,,,,,2.5,1.3,2.1") +
              Sentence("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W") +
              Sentence("GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,A") +
              Sentence("GPZDA,201530.00,04,07,2002,00,00") +
              Sentence("GPGSV,1,1,01,04,15,270,40"));
  ASSERT_EQ(p.SentenceTotal, 6u);
  p.ResetRecord();
  EXPECT_EQ(p.SentenceTotal, 6u);
  EXPECT_EQ(p.GgaSentences + p.GsaSentences + p.GsvSentences + p.RmbSentences + p.RmcSentences +
                p.ZdaSentences,
            0u);
  EXPECT_EQ(p.GgaLat, 0.0);
  EXPECT_EQ(p.GgaClimbRate, 0.0);
  EXPECT_EQ(p.GgaPrevTimeSec, 0);
  EXPECT_EQ(p.GsaFixType, 1);
  EXPECT_EQ(p.GsaSelection, 'M');
  EXPECT_EQ(p.GsaActivePrn[0], 0);
  EXPECT_EQ(p.GsvSat[0].Prn, 0);
  EXPECT_EQ(p.GsvSat[0].Snr, 0);
  EXPECT_EQ(p.RmbStatus, 'V');
  EXPECT_EQ(p.RmbSteer, '?');
  EXPECT_EQ(p.RmbArrival, 'V');
  EXPECT_STREQ(p.RmbToId, "");
  EXPECT_EQ(p.RmbToLon, 0.0);
  EXPECT_EQ(p.RmcStatus, 'V');
  EXPECT_EQ(p.RmcYear, 2000);
  EXPECT_EQ(p.RmcDay, 1);
  EXPECT_EQ(p.RmcVariation, 0.0);
  EXPECT_EQ(p.ZdaYear, 2000);
  EXPECT_EQ(p.ZdaMonth, 1);
}

}  // namespace
