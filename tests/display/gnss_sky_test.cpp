#include "app/display/gnss_sky.h"

#include <gtest/gtest.h>

#include <QFontMetrics>

#include "app/display/canvas.h"
#include "app/display/sky_view.h"

namespace {

constexpr QRgb kNavy = 0xFF1B2E4C;

GnssSat Sat(GnssSystem system, uint16_t id, int16_t snr, bool used, int16_t azimuth) {
  return {system, id, id, snr, azimuth, 30, used};
}

}  // namespace

// Order, labels and shapes of one sky: the grid's order, its texts fitting their
// cells, and a square that reaches into the corners a disc leaves empty.
TEST(GnssSky, UsedFirstBySignalLabelledBySystemAndShapedBySystem) {
  CNMEAParser record;
  record.SetGnssMode(true);
  record.GsaFixType = 3;
  const GnssSat sats[] = {Sat(GnssSystem::Gps, 12, 30, true, 0),      Sat(GnssSystem::Glonass, 3, 45, false, 90),
                          Sat(GnssSystem::Galileo, 5, 40, true, 180), Sat(GnssSystem::BeiDou, 37, -1, true, 270),
                          Sat(GnssSystem::Sbas, 133, 20, false, 45),  Sat(GnssSystem::Qzss, 2, 50, false, 135)};
  record.GnssInView = 6;
  for (int i = 0; i < 6; ++i) record.GnssSats[i] = sats[i];

  const std::vector<int> order = GnssDisplayOrder(record);
  ASSERT_EQ(order, (std::vector<int>{2, 0, 3, 5, 1, 4}));
  QStringList labels;
  for (int i : order) labels << GnssSatLabel(record.GnssSats[i]);
  EXPECT_EQ(labels.join(QLatin1Char(' ')), QStringLiteral("E5 G12 C37 J2 R3 S133"));
  QFont base(QStringLiteral("DejaVu Sans"));
  base.setPixelSize(11);
  const QFont grid = GnssGridFont(base, 18);
  for (const QString& label : labels) EXPECT_LE(QFontMetrics(grid).horizontalAdvance(label), 18) << label.toStdString();

  QImage sky(182, 180, QImage::Format_RGB32);
  sky.fill(kNavy);
  DrawGnssSkyDots(sky, record, order);
  // The pixel at (dx, dy) from satellite i's centre.
  const auto at = [&](int i, int dx, int dy) {
    const QPoint c = SkyPosition(static_cast<uint16_t>(record.GnssSats[i].Azimuth), 30);
    return sky.pixel(c.x() + dx, c.y() + dy);
  };
  const auto corner = [&](int i) { return at(i, -8, -8); };
  const auto centreSide = [&](int i) { return at(i, -8, 0); };
  EXPECT_EQ(corner(1), QColor(kClGray).rgb()) << "GLONASS square fills its corner";
  EXPECT_EQ(corner(0), kNavy) << "GPS disc leaves it";
  EXPECT_EQ(centreSide(2), QColor(kClBlue).rgb()) << "Galileo diamond";
  EXPECT_EQ(corner(2), kNavy);
  EXPECT_EQ(centreSide(4), kNavy) << "SBAS is a small disc";
  EXPECT_NE(centreSide(5), kNavy) << "QZSS hexagon";
}
