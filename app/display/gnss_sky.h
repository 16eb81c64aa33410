#pragma once

#include <QFont>
#include <QImage>
#include <QString>
#include <vector>

#include "nmea/nmea_parser.h"

// Drawing of the multi-constellation satellite list (GNSS mode). The default
// mode's sky view and signal chart stay in sky_view and signal_chart.

// Indexes into GnssSats for display: used satellites first, then the others,
// each group by SNR, strongest first (a missing SNR last); ties keep the
// decoder's order.
std::vector<int> GnssDisplayOrder(const CNMEAParser& record);

// The system letter and the number within the system: "G5", "R12", "C37".
QString GnssSatLabel(const GnssSat& sat);

// The largest font (from `base` downwards) in which every label of up to a
// letter and three digits fits `width` pixels.
QFont GnssGridFont(const QFont& base, int width);

// Every satellite in view on the sky chart, in the default mode's colours, its
// shape telling the system: disc GPS, square GLONASS, diamond Galileo,
// triangle BeiDou, hexagon QZSS and NavIC, small disc SBAS; the number within
// the system in white on it. Drawn weakest first, so the strong ones lie on top.
// Satellites without a position are left out.
void DrawGnssSkyDots(QImage& target, const CNMEAParser& record, const std::vector<int>& order);

// The first twelve of `order` as bars in the default chart's slots.
void DrawGnssSignalBars(QImage& chart, const CNMEAParser& record, const std::vector<int>& order);

// GNSS mode's mark, in the sky chart's top-left corner, clear of the horizon
// ring and of every dot: "GNSS" in white while the mode is on, the chart's own
// corner from `earth` again while it is off.
void DrawGnssModeMark(QImage& sky, const QImage& earth, bool on);
