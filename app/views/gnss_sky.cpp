#include "app/views/gnss_sky.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <QStaticText>
#include <algorithm>
#include <cmath>

#include "app/views/canvas.h"
#include "app/views/signal_chart.h"
#include "app/views/sky_label_layout.h"
#include "app/views/sky_view.h"

namespace {

constexpr int kSbasRadius = 6;
constexpr int kRoomySky = 24;
constexpr int kSmallestRadius = 5;
// Labels farther than this from their figure get a leader line.
constexpr int kLeaderFrom = 4;

// A figure `r` pixels in radius (20 pixels across at full size) centred on
// `c`, outlined in black.
void DrawShape(QPainter& painter, GnssSystem system, QPoint c, int r, const QColor& fill) {
  const QColor pen(kClBlack);
  switch (system) {
    case GnssSystem::Gps:
      CanvasEllipse(painter, c.x() - r, c.y() - r, c.x() + r, c.y() + r, pen, fill);
      return;
    case GnssSystem::Sbas: {
      const int s = r * kSbasRadius / kSkyDotRadius;
      CanvasEllipse(painter, c.x() - s, c.y() - s, c.x() + s, c.y() + s, pen, fill);
      return;
    }
    case GnssSystem::Glonass:
      CanvasRectangle(painter, c.x() - r + 1, c.y() - r + 1, c.x() + r - 1, c.y() + r - 1, pen, fill);
      return;
    default:
      break;
  }
  QPolygon shape;
  if (system == GnssSystem::Galileo) {
    shape << QPoint(c.x(), c.y() - r) << QPoint(c.x() + r, c.y()) << QPoint(c.x(), c.y() + r)
          << QPoint(c.x() - r, c.y());
  } else if (system == GnssSystem::BeiDou) {
    shape << QPoint(c.x(), c.y() - r) << QPoint(c.x() + r, c.y() + r - 3) << QPoint(c.x() - r, c.y() + r - 3);
  } else {  // QZSS, NavIC
    const int h = r / 2;
    shape << QPoint(c.x() - h, c.y() - r + 1) << QPoint(c.x() + h, c.y() - r + 1) << QPoint(c.x() + r, c.y())
          << QPoint(c.x() + h, c.y() + r - 1) << QPoint(c.x() - h, c.y() + r - 1) << QPoint(c.x() - r, c.y());
  }
  painter.setPen(pen);
  painter.setBrush(fill);
  painter.drawPolygon(shape);
}

// Where `text` leaves pixels when drawn at the origin with a one-pixel rim
// around its strokes, relative to the start of its baseline.
QRect RimmedBox(const QFontMetrics& metrics, const QString& text) {
  return metrics.tightBoundingRect(text).adjusted(-1, -1, 1, 1);
}

// White with a black rim filling `label`, readable on the sky and on any
// figure. A label beside its figure gets no box in the figure's colour: that
// would read as one more figure.
void DrawRimmedLabel(QPainter& painter, const QRect& label, const QString& text, const QFont& font) {
  const QFontMetrics metrics(font);
  const QPoint topLeft = label.topLeft() - RimmedBox(metrics, text).topLeft() - QPoint(0, metrics.ascent());
  // Shaped once for its nine strokes.
  QStaticText shaped(text);
  shaped.prepare(QTransform(), font);
  painter.save();
  painter.setFont(font);
  painter.setPen(QColor(kClBlack));
  for (int dx = -1; dx <= 1; ++dx) {
    for (int dy = -1; dy <= 1; ++dy) painter.drawStaticText(topLeft + QPoint(dx, dy), shaped);
  }
  painter.setPen(QColor(kClWhite));
  painter.drawStaticText(topLeft, shaped);
  painter.restore();
}

// A label that the crowd pushed away from its figure, as happens near the
// zenith, is tied to it by a line in the figure's colour.
void DrawLeader(QPainter& painter, const GnssSkyItem& item, const QColor& colour) {
  const int d = kLeaderFrom;
  const QRect near = SkyFigureBox(item.centre, item.radius).adjusted(-d, -d, d, d);
  if (item.label.isEmpty() || near.intersects(item.label)) return;
  const QPoint end(std::clamp(item.centre.x(), item.label.left(), item.label.right()),
                   std::clamp(item.centre.y(), item.label.top(), item.label.bottom()));
  painter.setPen(colour);
  painter.drawLine(item.centre, end);
}

QColor Colour(const GnssSat& sat, uint8_t fixType) { return SatColour(sat.Used ? 1 : 0, fixType); }

// Up to kRoomySky satellites keep full-size figures. Beyond, the figures
// shrink, down to half size, so that together they cover no more than
// kRoomySky full-size ones: that leaves room for the labels beside them.
int FigureRadius(int count) {
  if (count <= kRoomySky) return kSkyDotRadius;
  const double radius = kSkyDotRadius * std::sqrt(static_cast<double>(kRoomySky) / count);
  return std::max(kSmallestRadius, static_cast<int>(std::lround(radius)));
}

QFont GnssSkyLabelFont() {
  QFont font = CanvasFont(true);
  font.setPixelSize(9);
  return font;
}

}  // namespace

QString GnssSatLabel(const GnssSat& sat) {
  return QChar::fromLatin1(GnssSystemLetter(sat.System)) + QString::number(sat.Id);
}

QFont GnssGridFont(const QFont& base, int width) {
  QFont font = base;
  int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontMetrics(font).height();
  // "C163" would be an SBAS PRN; the widest digits and letters are checked.
  for (; pixels > 6; --pixels) {
    font.setPixelSize(pixels);
    const QFontMetrics metrics(font);
    if (metrics.horizontalAdvance(QStringLiteral("S158")) <= width && metrics.horizontalAdvance(QStringLiteral("R32")) <= width &&
        metrics.horizontalAdvance(QStringLiteral("C63")) <= width) {
      break;
    }
  }
  return font;
}

std::vector<GnssSkyItem> GnssSkyLayout(const SatelliteView& sats, QRect chart) {
  std::vector<GnssSkyItem> items;
  for (int i = 0; i < sats.Count(); ++i) {
    const GnssSat& sat = sats[i];
    if (sat.Azimuth < 0 || sat.Elevation < 0) continue;
    const QPoint centre = SkyPosition(static_cast<uint16_t>(sat.Azimuth), static_cast<uint16_t>(sat.Elevation));
    items.push_back({i, centre, 0, {}, false});
  }
  const int radius = FigureRadius(static_cast<int>(items.size()));
  const QFontMetrics metrics(GnssSkyLabelFont());
  std::vector<SkyMark> marks;
  marks.reserve(items.size());
  for (GnssSkyItem& item : items) {
    const GnssSat& sat = sats[item.sat];
    item.radius = radius;
    SkyMark mark{item.centre, radius, {}, {}};
    if (sat.System != GnssSystem::Sbas) {  // SBAS's small disc goes without
      const QString digits = QString::number(sat.Id);
      mark.beside = RimmedBox(metrics, digits).size();
      // A shrunken figure has no room for its label.
      if (radius == kSkyDotRadius) {
        const int width = metrics.horizontalAdvance(digits);
        // The triangle's room is in its lower part.
        const int dy = sat.System == GnssSystem::BeiDou ? 2 : 0;
        mark.onMark = QRect(item.centre.x() - width / 2, item.centre.y() - metrics.height() / 2 + dy, width,
                            metrics.height());
      }
    }
    marks.push_back(mark);
  }
  const std::vector<QRect> labels = SkyLabelRects(marks, chart);
  for (size_t k = 0; k < items.size(); ++k) {
    items[k].label = labels[k];
    items[k].onFigure = !labels[k].isEmpty() && labels[k] == marks[k].onMark;
  }
  return items;
}

void DrawGnssSkyDots(QImage& target, const SatelliteView& sats) {
  const std::vector<GnssSkyItem> items = GnssSkyLayout(sats, target.rect());
  if (items.empty()) return;
  const QFont font = GnssSkyLabelFont();
  QPainter painter(&target);
  // Figures weakest first, so the strong ones lie on top; then the leaders and
  // labels, so that no figure hides a label.
  for (auto it = items.rbegin(); it != items.rend(); ++it) {
    const GnssSat& sat = sats[it->sat];
    DrawShape(painter, sat.System, it->centre, it->radius, Colour(sat, sats.FixType()));
  }
  for (const GnssSkyItem& item : items) {
    DrawLeader(painter, item, Colour(sats[item.sat], sats.FixType()));
  }
  for (const GnssSkyItem& item : items) {
    if (item.label.isEmpty()) continue;
    const GnssSat& sat = sats[item.sat];
    const QString digits = QString::number(sat.Id);
    if (item.onFigure) {
      CanvasTextOut(painter, item.label.x(), item.label.y(), digits, font, QColor(kClWhite),
                    Colour(sat, sats.FixType()));
    } else {
      DrawRimmedLabel(painter, item.label, digits, font);
    }
  }
}

void DrawGnssModeMark(QImage& sky, const QImage& earth, bool on) {
  const QFont font = CanvasFont(true);
  const QFontMetrics metrics(font);
  const QString text = QStringLiteral("GNSS");
  const QRect corner(0, 0, metrics.horizontalAdvance(text) + 4, metrics.height() + 2);
  QPainter painter(&sky);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(corner.topLeft(), earth, corner);
  if (!on) return;
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.setFont(font);
  painter.setPen(QColor(kClWhite));
  painter.drawText(QPoint(2, 1 + metrics.ascent()), text);
}
