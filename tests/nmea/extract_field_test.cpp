#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "field_index.h"
#include "nmea_parser.h"

namespace {

struct FieldCase {
  const char* data;
  int32_t index;
  bool found;
  const char* text;
};

class ExtractField : public testing::TestWithParam<FieldCase> {};

TEST_P(ExtractField, CopiesTheFieldOrReportsItMissing) {
  const FieldCase& c = GetParam();
  char buf[25];
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(CNMEAParser::ExtractField(c.data, c.index, buf, sizeof buf), c.found);
  EXPECT_STREQ(buf, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ExtractField,
    testing::Values(FieldCase{"A,,C", 0, true, "A"}, FieldCase{"A,,C", 1, false, ""},
                    FieldCase{"A,,C", 2, true, "C"}, FieldCase{"A,,C", 3, false, ""},
                    FieldCase{"A,B,", 2, false, ""}, FieldCase{"", 0, false, ""},
                    FieldCase{"", 5, false, ""}, FieldCase{"AB*C,D", 0, true, "AB"},
                    FieldCase{"*C,D", 0, false, ""}, FieldCase{"*C,D", 1, true, "D"},
                    FieldCase{"A,B", -1, false, ""},
                    FieldCase{"123456789012345678901234567890", 0, true,
                              "123456789012345678901234"}));

TEST(ExtractFieldLimits, AbsentInputsLeaveDestinationUntouched) {
  char buf[4] = "abc";
  EXPECT_FALSE(CNMEAParser::ExtractField(nullptr, 0, buf, 4));
  EXPECT_FALSE(CNMEAParser::ExtractField("A", 0, buf, 0));
  EXPECT_FALSE(CNMEAParser::ExtractField("A", 0, buf, -3));
  EXPECT_STREQ(buf, "abc");
  EXPECT_FALSE(CNMEAParser::ExtractField("A", 0, nullptr, 4));
}

TEST(ExtractFieldLimits, SmallLimitCutsButStillFinds) {
  char buf[3];
  EXPECT_TRUE(CNMEAParser::ExtractField("ABCD,E", 0, buf, 3));
  EXPECT_STREQ(buf, "AB");
}

// The decoders read fields through FieldIndex; it must agree with ExtractField
// on every field of any text.
TEST(FieldIndexAgreement, MatchesExtractFieldOnRandomText) {
  std::mt19937 rng(20261208);
  const char alphabet[] = ",,,,**01234567.-+ A\t";
  for (int round = 0; round < 20000; ++round) {
    std::string data(rng() % 64, ' ');
    for (char& c : data) c = alphabet[rng() % (sizeof alphabet - 1)];
    if (rng() % 4 == 0) data += std::string(rng() % 40, '7');
    const nmea::FieldIndex index(data.c_str());
    for (int k = 0; k < nmea::FieldIndex::kMaxFields; ++k) {
      char buf[25];
      const bool found = CNMEAParser::ExtractField(data.c_str(), k, buf, sizeof buf);
      ASSERT_EQ(index.Found(k), found) << '"' << data << "\" field " << k;
      ASSERT_EQ(index[k], std::string_view(buf)) << '"' << data << "\" field " << k;
    }
  }
}

}  // namespace

namespace {

// The reader notes the commas itself while a sentence arrives; what the
// decoders then see must be what ExtractField gives on the stored data part,
// NUL bytes and long comma runs included.
TEST(FieldIndexAgreement, ReaderFieldsMatchExtractField) {
  std::mt19937 rng(8);
  const char alphabet[] = ",,,,,,ABC01.- ";
  for (int round = 0; round < 5000; ++round) {
    std::string data(rng() % 120, ' ');
    for (char& c : data) c = alphabet[rng() % (sizeof alphabet - 1)];
    if (rng() % 3 == 0 && !data.empty()) data[rng() % data.size()] = '\0';
    unsigned x = 0;
    const std::string body = "GPRMB," + data;
    for (const char c : body) x ^= static_cast<unsigned char>(c);
    char sum[4];
    std::snprintf(sum, sizeof sum, "%02X", x);
    const std::string sentence = "$" + body + "*" + sum;
    CNMEAParser p;
    p.FeedBytes(sentence.data(), static_cast<uint32_t>(sentence.size()));
    ASSERT_EQ(p.RmbSentences, 1u);

    const char* text = data.c_str();  // the decoder sees the part up to a NUL
    char buf[25];
    const std::string shown = std::string(text) + "|";
    EXPECT_EQ(p.RmbStatus, CNMEAParser::ExtractField(text, 0, buf, 25) ? buf[0] : 'V') << shown;
    EXPECT_EQ(p.RmbSteer, CNMEAParser::ExtractField(text, 2, buf, 25) ? buf[0] : '?') << shown;
    CNMEAParser::ExtractField(text, 3, buf, 25);
    EXPECT_STREQ(p.RmbFromId, buf) << shown;
    CNMEAParser::ExtractField(text, 4, buf, 25);
    EXPECT_STREQ(p.RmbToId, buf) << shown;
    EXPECT_EQ(p.RmbArrival, CNMEAParser::ExtractField(text, 12, buf, 25) ? buf[0] : 'V') << shown;
  }
}

}  // namespace

namespace {

// Integer fields of one to three plain digits take a short path; the value
// must still be the general conversion's, whatever the text holds.
TEST(FieldIndexAgreement, IntegersMatchGeneralConversionOfTheField) {
  std::mt19937 rng(1208);
  const char alphabet[] = ",,,,*0123456789 +-.e";
  for (int round = 0; round < 20000; ++round) {
    std::string data(rng() % 64, ' ');
    for (char& c : data) c = alphabet[rng() % (sizeof alphabet - 1)];
    if (rng() % 4 == 0) data.insert(rng() % (data.size() + 1), std::string(rng() % 30, '9'));
    const nmea::FieldIndex index(data.c_str());
    int64_t values[nmea::FieldIndex::kMaxFields + 2];
    const uint32_t absent = index.Integers(-1, nmea::FieldIndex::kMaxFields + 2, -7, values);
    for (int k = -1; k <= nmea::FieldIndex::kMaxFields; ++k) {
      const std::string_view field = index[k];
      ASSERT_EQ(values[k + 1], field.empty() ? -7 : nmea::IntegerValueGeneral(field))
          << '"' << data << "\" field " << k;
      ASSERT_EQ(absent >> (k + 1) & 1, field.empty() ? 1u : 0u);
      ASSERT_EQ(nmea::IntegerValue(field), nmea::IntegerValueGeneral(field));
    }
  }
}

}  // namespace
