#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <cstdint>

#include "nmea/satellite_view.h"

// The satellites the chart has room for, and the grid beneath it a column for
// each after its label column; a 13th bar would start at the chart's right edge.
inline constexpr int kChartSlots = 12;

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

// A bar for each satellite of `sats` in its slot, as far as the chart has
// room (twelve slots), in the satellite's colour with a black outline, and
// its signal value above 10 dB-Hz as a label on the bar, in black or white,
// whichever stands out more on the bar (white on the used satellites' blue,
// black on grey and red). An entry without a number is left out, its slot
// empty; a missing SNR draws as 0.
void DrawSignalBars(QImage& chart, const SatelliteView& sats);
