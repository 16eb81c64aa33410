#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <cstdint>

#include "nmea/nmea_parser.h"
#include "nmea/satellite_view.h"

// The sky chart's zenith and the radius of its horizon ring; its 30 and 60
// degree rings lie at 52 and 26 pixels.
constexpr QPoint kSkyCentre(91, 90);
constexpr int kSkyHorizonRadius = 78;
constexpr int kSkyDotRadius = 10;

// The centre of a satellite's dot on the sky chart, on the ring of its
// elevation (linear in elevation, 78 pixels at the horizon), north up, east
// right, rounded to the nearest pixel. An elevation above 90 lands on the
// opposite side.
QPoint SkyPosition(uint16_t azimuth, uint16_t elevation);

// The satellite's 20-pixel disc centred on its sky position.
QRect SkyDotRect(QPoint centre);

// Which of the two stacked sky images a refresh draws on; the other one is shown.
enum class SkyBuffer { Image1, Image3 };

// Odd ticks draw on Image1 and show Image3; even ticks the reverse, so the
// picture being drawn is never on screen.
SkyBuffer SkyBufferToDraw(int32_t timerTicks);

// A clean copy of the sky chart at (0, 0).
void DrawSkyBackground(QImage& target, const QImage& earth);

// The default mode's sky: one disc per satellite of `sats` in its colour with
// a black outline, its PRN in white bold centred on it; later entries are
// drawn over earlier ones. An entry without a PRN (a GSV cycle that announced
// more satellites than it listed) is not a satellite and gets no dot.
void DrawSkyDots(QImage& target, const SatelliteView& sats);

// The sky chart and the dots of the record's satellites.
void DrawSkyView(QImage& target, const QImage& earth, const CNMEAParser& record);

// The hidden test button's picture: three concentric rings on white and a red
// disc centred on entry 0's sky position, labelled with its PRN. The label uses the
// canvas's current font colour and weight, which the window passes in (white
// bold once the image has carried satellite labels).
void DrawTestPattern(QImage& target, const CNMEAParser& record, const QColor& textColour = QColor(0, 0, 0),
                     bool bold = false);
