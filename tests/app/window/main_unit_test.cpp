#include <gtest/gtest.h>

#include <QFile>

#include "app/window/bitmaps.h"
#include "app/window/main_unit.h"

namespace {

TEST(ColdStartBytes, SirfCommandCarriesItsOwnChecksum) {
  ASSERT_EQ(ColdStartCommand.size(), 59);
  ASSERT_EQ(ColdStartCommand.front(), '$');
  const qsizetype star = ColdStartCommand.indexOf('*');
  ASSERT_EQ(star, 56);
  unsigned char sum = 0;
  for (qsizetype i = 1; i < star; ++i) sum ^= static_cast<unsigned char>(ColdStartCommand[i]);
  EXPECT_EQ(ColdStartCommand.mid(star + 1).toUInt(nullptr, 16), sum);
  EXPECT_EQ(CRLF, QByteArray("\r\n"));
}

TEST(ColdStartBytes, SkytraqRestartIsFramedAndChecksummed) {
  ASSERT_EQ(SkytraqColdStart.size(), 22);
  const auto byte = [](qsizetype i) { return static_cast<unsigned char>(SkytraqColdStart[i]); };
  EXPECT_EQ(byte(0), 0xA0);
  EXPECT_EQ(byte(1), 0xA1);
  EXPECT_EQ(byte(2) << 8 | byte(3), 15);
  EXPECT_EQ(byte(4), 0x01);
  EXPECT_EQ(byte(5), 0x03);
  unsigned char sum = 0;
  for (qsizetype i = 4; i < 19; ++i) sum ^= byte(i);
  EXPECT_EQ(byte(19), sum);
  EXPECT_EQ(byte(20), 0x0D);
  EXPECT_EQ(byte(21), 0x0A);
}

TEST(ModuleObjects, ExistBeforeAnyWindow) {
  EXPECT_NE(EarthBitmap, nullptr);
  EXPECT_NE(PortNames, nullptr);
  EXPECT_NE(PortRegistry, nullptr);
  EXPECT_TRUE(EarthBitmap->isNull());
}

struct BitmapCase {
  const char* name;
  int width;
  int height;
  int bits;
};

class NamedBitmap : public ::testing::TestWithParam<BitmapCase> {};

TEST_P(NamedBitmap, IsCompiledInAtItsSizeAndDepth) {
  const BitmapCase& c = GetParam();
  QFile file(QStringLiteral(":/bitmaps/%1.bmp").arg(QLatin1String(c.name)));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray header = file.read(54);
  ASSERT_EQ(header.left(2), "BM");
  const auto u16 = [&](int at) { return static_cast<unsigned char>(header[at]) | static_cast<unsigned char>(header[at + 1]) << 8; };
  EXPECT_EQ(u16(28), c.bits);
  EXPECT_EQ(u16(30), 0);  // uncompressed

  const QImage image = LoadBitmap(c.name);
  ASSERT_EQ(image.size(), QSize(c.width, c.height));
  if (c.bits == 8) {
    // Glyphs: black background, so the lower-left pixel makes black transparent.
    EXPECT_EQ(image.pixel(0, c.height - 1) & 0xFFFFFF, 0u);
    int figure = 0;
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) figure += (image.pixel(x, y) & 0xFFFFFF) != 0;
    }
    EXPECT_GT(figure, 25);
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllNine, NamedBitmap,
    ::testing::Values(BitmapCase{"ID_EARTH1", 182, 181, 24}, BitmapCase{"ID_CONNECT", 16, 16, 8},
                      BitmapCase{"ID_DISCONNECT", 16, 16, 8}, BitmapCase{"ID_COLDSTAT", 16, 16, 8},
                      BitmapCase{"ID_LOGNMEA1", 15, 15, 8}, BitmapCase{"ID_LOGNMEA2", 15, 15, 8},
                      BitmapCase{"ID_OPENNMEA", 16, 16, 8}, BitmapCase{"ID_PLAY", 16, 16, 8},
                      BitmapCase{"ID_PAUSE", 16, 16, 8}),
    [](const ::testing::TestParamInfo<BitmapCase>& info) { return std::string(info.param.name); });

}  // namespace
