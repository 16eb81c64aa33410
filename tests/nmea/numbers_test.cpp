#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <cstring>
#include <random>
#include <string>

#include "nmea_numbers.h"

namespace {

using nmea::IntegerValue;
using nmea::RealValue;

struct IntCase {
  const char* text;
  int64_t value;
};

class Integers : public testing::TestWithParam<IntCase> {};

TEST_P(Integers, ReadLikeStrtol) { EXPECT_EQ(IntegerValue(GetParam().text), GetParam().value); }

INSTANTIATE_TEST_SUITE_P(
    Numbers, Integers,
    testing::Values(IntCase{"", 0}, IntCase{"abc", 0}, IntCase{"08", 8}, IntCase{"120", 120},
                    IntCase{"  \t-42x", -42}, IntCase{"+7", 7}, IntCase{"-", 0},
                    IntCase{" 1 2", 1}, IntCase{"12.9", 12}, IntCase{"0x1F", 0},
                    IntCase{"9223372036854775807", std::numeric_limits<int64_t>::max()},
                    IntCase{"99999999999999999999999", std::numeric_limits<int64_t>::max()},
                    IntCase{"-9223372036854775808", std::numeric_limits<int64_t>::min()},
                    IntCase{"-99999999999999999999", std::numeric_limits<int64_t>::min()}));

struct RealCase {
  const char* text;
  double value;
};

class Reals : public testing::TestWithParam<RealCase> {};

TEST_P(Reals, ReadWithPointAndNothingElse) {
  const double v = RealValue(GetParam().text);
  if (std::isinf(GetParam().value)) {
    EXPECT_EQ(v, GetParam().value);
  } else {
    EXPECT_EQ(v, GetParam().value) << GetParam().text;
    EXPECT_EQ(std::signbit(v), std::signbit(GetParam().value)) << GetParam().text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, Reals,
    testing::Values(RealCase{"", 0.0}, RealCase{"545.4", 545.4}, RealCase{"  -0.66", -0.66},
                    RealCase{"+.5", 0.5}, RealCase{"5.", 5.0}, RealCase{".", 0.0},
                    RealCase{"-", 0.0}, RealCase{"1,5", 1.0}, RealCase{"-0", -0.0},
                    RealCase{"1e3", 1000.0}, RealCase{"1e", 1.0}, RealCase{"1e+", 1.0},
                    RealCase{"2E-2x", 0.02}, RealCase{"inf", 0.0}, RealCase{"nan", 0.0},
                    RealCase{"-infinity", 0.0}, RealCase{"0x1p3", 0.0},
                    RealCase{"1e400", std::numeric_limits<double>::infinity()},
                    RealCase{"-1e400", -std::numeric_limits<double>::infinity()},
                    RealCase{"1e-400", 0.0}, RealCase{"-1e-400", -0.0},
                    RealCase{"0.0001e-320", 0.0}, RealCase{"1e-320", 1e-320},
                    RealCase{"4807.038", 4807.038},
                    RealCase{"0.30000000000000004441", 0.30000000000000004441},
                    RealCase{"12345678901234567890123", 12345678901234567890123.0}));

// strtod in the C locale is the reference for everything that is a decimal number.
TEST(RealsAgainstStrtod, RandomDecimalTextsRoundTheSame) {
  ASSERT_NE(std::setlocale(LC_NUMERIC, "C"), nullptr);
  std::mt19937_64 rng(42);
  const char alphabet[] = "0123456789012345678901234567890123456789..eE+- z";
  for (int round = 0; round < 200000; ++round) {
    std::string text(1 + rng() % 30, ' ');
    for (char& c : text) c = alphabet[rng() % (sizeof alphabet - 1)];
    const double expected = std::strtod(text.c_str(), nullptr);
    const double got = RealValue(text);
    ASSERT_EQ(std::memcmp(&expected, &got, sizeof got), 0)
        << '"' << text << "\" strtod " << expected << " got " << got;
  }
}

TEST(IntegersAgainstStrtol, RandomTextsReadTheSame) {
  std::mt19937_64 rng(7);
  const char alphabet[] = "0123456789 -+x\t";
  for (int round = 0; round < 100000; ++round) {
    std::string text(rng() % 24, ' ');
    for (char& c : text) c = alphabet[rng() % (sizeof alphabet - 1)];
    ASSERT_EQ(IntegerValue(text), std::strtoll(text.c_str(), nullptr, 10)) << '"' << text << '"';
  }
}

TEST(RealViews, StopAtTheEndOfTheView) {
  const std::string_view digits = "3412.300";
  EXPECT_EQ(RealValue(digits.substr(0, 2)), 34.0);
  EXPECT_EQ(RealValue(digits.substr(2)), 12.3);
  EXPECT_EQ(IntegerValue(digits.substr(1, 2)), 41);
}

}  // namespace
