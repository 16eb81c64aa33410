#include "app/views/signal_chart.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "app/views/canvas.h"

namespace {

// Black or white, whichever contrasts more with `fill` by the WCAG measure.
QColor TextColourOn(const QColor& fill) {
  const auto linear = [](float c) { return c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f); };
  const float luminance =
      0.2126f * linear(fill.redF()) + 0.7152f * linear(fill.greenF()) + 0.0722f * linear(fill.blueF());
  // Both contrast alike where (luminance + 0.05)^2 = 0.0525.
  return QColor(luminance > 0.179f ? kClBlack : kClWhite);
}

}  // namespace

QColor SatColour(int32_t inSolution, uint8_t fixType) {
  if (inSolution == 0) {
    return QColor(kClGray);
  }
  return QColor(fixType == 3 ? kClBlue : kClRed);
}

QRect SignalBarRect(int i, uint16_t snr, int h) {
  const int left = 26 * i + 30;
  const int top = h - 2 * static_cast<int>(snr) - 20;
  const int right = 26 * i + 48;
  return QRect(QPoint(left, top), QPoint(right - 1, h - 1));
}

void DrawSignalChartBackground(QImage& chart) {
  const int w = chart.width();
  const int h = chart.height();
  QPainter painter(&chart);
  CanvasRectangle(painter, 0, 0, w, h, QColor(kClBlack), QColor(kClWhite));
  const QFont font = CanvasFont();
  for (int k = 1; k <= 5; ++k) {
    const int row = h - 20 * k - 20;
    // The scale runs to x = w - 1, over the frame's right edge.
    painter.fillRect(QRect(1, row, w - 1, 1), QColor(kClGreen));
    CanvasTextOut(painter, 2, h - 20 * k - 25, QString::number(10 * k), font, QColor(kClBlack), QColor(kClWhite));
  }
}

void DrawSignalBars(QImage& chart, const SatelliteView& sats) {
  const int h = chart.height();
  QPainter painter(&chart);
  const QFont font = CanvasFont();
  for (int i = 0; i < std::min(sats.Count(), kChartSlots); ++i) {
    const GnssSat& sat = sats[i];
    if (sat.Nmea == 0) continue;
    const auto snr = static_cast<uint16_t>(std::max(sat.Snr, 0));
    const QColor colour = SatColour(sat.Used ? 1 : 0, sats.FixType());
    const QRect bar = SignalBarRect(i, snr, h);
    CanvasRectangle(painter, bar.left(), bar.top(), bar.right() + 1, bar.bottom() + 1, QColor(kClBlack), colour);
    if (snr > 10) CanvasTextOut(painter, 26 * i + 32, h - 35, QString::number(snr), font, TextColourOn(colour), colour);
  }
}
