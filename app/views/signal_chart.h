#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <cstdint>

#include "nmea/nmea_parser.h"

// How many entries of the satellite table a refresh draws: those in view, at
// most the table's 36.
int SatellitesToDraw(const CNMEAParser& record);

// Blue when used in a 3D solution, red when used without a 3D fix, grey when
// only in view.
QColor SatColour(int32_t inSolution, uint8_t fixType);

// Bar of the satellite at table index i on a chart of height h, as
// (left, top, right, bottom) with right and bottom exclusive: 2 pixels per
// dB-Hz above row h - 20, so its lower 20 rows lie under the grid.
QRect SignalBarRect(int i, uint16_t snr, int h);

// White field, one-pixel black frame, green scale rows h - 20k - 20 for
// k = 1..5 with labels "10".."50". Wipes the previous bars.
void DrawSignalChartBackground(QImage& chart);

// One bar per satellite in the satellite's colour with a black outline, and
// its signal value above 10 dB-Hz as a label on the bar. An entry without a
// PRN is left out, its slot empty.
void DrawSignalBars(QImage& chart, const CNMEAParser& record);

// The bar in slot i of a chart of height h, as DrawSignalBars draws each: the
// label in black or white, whichever stands out more on `colour` (white on
// the used satellites' blue, black on grey and red).
void DrawSignalBar(QPainter& painter, const QFont& font, int i, uint16_t snr, int h, const QColor& colour);
