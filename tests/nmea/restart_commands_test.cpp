#include "restart_commands.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using restart::Chip;
using restart::Start;

namespace {

std::string Hex(const std::string& bytes) {
  std::string out;
  char buf[4];
  for (char c : bytes) {
    std::snprintf(buf, sizeof buf, "%02X ", static_cast<uint8_t>(c));
    out += buf;
  }
  if (!out.empty()) out.pop_back();
  return out;
}

// Checks the framing and checksum each family's manual defines, computed here
// independently of the builder.
void ExpectValidFrame(Chip chip, const std::string& b) {
  if (chip == Chip::Sirf || chip == Chip::Mtk) {
    ASSERT_GE(b.size(), 6u);
    ASSERT_EQ(b.front(), '$');
    ASSERT_EQ(b.substr(b.size() - 2), "\r\n");
    const std::size_t star = b.size() - 5;
    ASSERT_EQ(b[star], '*');
    uint8_t sum = 0;
    for (std::size_t i = 1; i < star; ++i) sum ^= static_cast<uint8_t>(b[i]);
    EXPECT_EQ(std::stoul(b.substr(star + 1, 2), nullptr, 16), sum) << b;
  } else if (chip == Chip::Skytraq) {
    ASSERT_EQ(b.size(), 22u);
    EXPECT_EQ(Hex(b.substr(0, 4)), "A0 A1 00 0F");
    uint8_t sum = 0;
    for (std::size_t i = 4; i < 19; ++i) sum ^= static_cast<uint8_t>(b[i]);
    EXPECT_EQ(static_cast<uint8_t>(b[19]), sum);
    EXPECT_EQ(b.substr(20), "\r\n");
  } else {
    ASSERT_EQ(b.size(), 12u);
    uint8_t ckA = 0, ckB = 0;
    for (std::size_t i = 2; i < 10; ++i) {
      ckA = static_cast<uint8_t>(ckA + static_cast<uint8_t>(b[i]));
      ckB = static_cast<uint8_t>(ckB + ckA);
    }
    EXPECT_EQ(static_cast<uint8_t>(b[10]), ckA);
    EXPECT_EQ(static_cast<uint8_t>(b[11]), ckB);
  }
}

struct Case {
  Chip chip;
  Start start;
  std::string expected;  // as the vendor's manual writes the message
};

const std::string kSirfBody = "$PSRF101,-2686700,-4304200,3851624,96000,497260,921,12,";
const std::string kSkytraqZeros = " 00 00 00 00 00 00 00 00 00 00 00 00 00 ";

}  // namespace

TEST(RestartCommands, EveryCommandHasItsPublishedBytesAndChecksum) {
  const Case cases[] = {
      {Chip::Sirf, Start::Hot, kSirfBody + "1*2D\r\n"},
      {Chip::Sirf, Start::Warm, kSirfBody + "2*2E\r\n"},
      {Chip::Sirf, Start::Cold, kSirfBody + "4*28\r\n"},
      {Chip::Mtk, Start::Hot, "$PMTK101*32\r\n"},
      {Chip::Mtk, Start::Warm, "$PMTK102*31\r\n"},
      {Chip::Mtk, Start::Cold, "$PMTK103*30\r\n"},
      {Chip::Skytraq, Start::Hot, "A0 A1 00 0F 01 01" + kSkytraqZeros + "00 0D 0A"},
      {Chip::Skytraq, Start::Warm, "A0 A1 00 0F 01 02" + kSkytraqZeros + "03 0D 0A"},
      {Chip::Skytraq, Start::Cold, "A0 A1 00 0F 01 03" + kSkytraqZeros + "02 0D 0A"},
      {Chip::Ublox, Start::Hot, "B5 62 06 04 04 00 00 00 02 00 10 68"},
      {Chip::Ublox, Start::Warm, "B5 62 06 04 04 00 01 00 02 00 11 6C"},
      {Chip::Ublox, Start::Cold, "B5 62 06 04 04 00 FF FF 02 00 0E 61"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(restart::ChipName(c.chip)) + " " + std::string(restart::StartName(c.start)));
    const std::string bytes = restart::CommandBytes(c.chip, c.start);
    const bool text = c.chip == Chip::Sirf || c.chip == Chip::Mtk;
    EXPECT_EQ(text ? bytes : Hex(bytes), c.expected);
    ExpectValidFrame(c.chip, bytes);
    EXPECT_EQ(restart::CommandSentence(c.chip, c.start), text ? bytes.substr(0, bytes.size() - 2) : "");
    EXPECT_EQ(restart::ParseChip(restart::ChipName(c.chip)), c.chip);
    EXPECT_EQ(restart::ParseStart(restart::StartName(c.start)), c.start);
  }
  EXPECT_FALSE(restart::ParseChip("SiRF").has_value());
  EXPECT_FALSE(restart::ParseStart("").has_value());
}
