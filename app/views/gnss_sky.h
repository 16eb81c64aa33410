#pragma once

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <vector>

#include "nmea/satellite_view.h"

// Drawing of the multi-constellation satellite list (GNSS mode), given in the
// order it is shown (SatelliteView::UsedFirst). The default mode's sky view
// stays in sky_view; both draw their bars with signal_chart.

// The system letter and the number within the system: "G5", "R12", "C37".
QString GnssSatLabel(const GnssSat& sat);

// The largest font (from `base` downwards) in which every label of up to a
// letter and three digits fits `width` pixels.
QFont GnssGridFont(const QFont& base, int width);

// Where a satellite goes on the sky chart: its figure's centre and radius, and
// its label (empty for SBAS, whose figure is too small for one).
struct GnssSkyItem {
  int sat;  // index into the view
  QPoint centre;
  int radius;
  QRect label;
  bool onFigure;  // the label sits on the figure, not beside it
};

// The satellites of `sats` that have a position, in that order, laid out on
// `chart`. The more satellites, the smaller the figures, down to half size. A
// label sits on its figure while the figure is full size and the place is
// free, else beside it; labels never touch one another and stay on the chart.
std::vector<GnssSkyItem> GnssSkyLayout(const SatelliteView& sats, QRect chart);

// Every satellite of `sats` on the sky chart, in the default mode's colours, its
// shape telling the system: disc GPS, square GLONASS, diamond Galileo,
// triangle BeiDou, hexagon QZSS and NavIC, small disc SBAS; the number within
// the system in white where GnssSkyLayout puts it, on the figure's colour or,
// beside the figure, rimmed in black, with a line back to a figure it is far
// from. Figures are drawn in reverse order, so that the first (the used and
// strong ones) lie on top, and labels over every figure. Satellites without a
// position are left out.
void DrawGnssSkyDots(QImage& target, const SatelliteView& sats);

// GNSS mode's mark, in the sky chart's top-left corner, clear of the horizon
// ring and of every dot: "GNSS" in white while the mode is on, the chart's own
// corner from `earth` again while it is off.
void DrawGnssModeMark(QImage& sky, const QImage& earth, bool on);
