#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <cstdint>

#include "nmea/nmea_parser.h"

// Where a satellite sits over the sky chart (whose centre is 14 pixels right of
// the returned point): radius 0.7 pixel per degree below the zenith, north up,
// east right. The differences are taken in signed integers, so an elevation
// above 90 lands on the opposite side. Evaluated in double precision with pi
// as 3.14159 and truncated toward zero.
QPoint SkyPosition(uint16_t azimuth, uint16_t elevation);

// The satellite's disc: (X + 4, Y - 10, X + 24, Y + 10), right and bottom exclusive.
QRect SkyDotRect(QPoint position);

// Which of the two stacked sky images a refresh draws on; the other one is shown.
enum class SkyBuffer { Image1, Image3 };

// Odd ticks draw on Image1 and show Image3; even ticks the reverse, so the
// picture being drawn is never on screen.
SkyBuffer SkyBufferToDraw(int32_t timerTicks);

// A clean copy of the sky chart at (0, 0).
void DrawSkyBackground(QImage& target, const QImage& earth);

// One disc per satellite in its colour with a black outline, its PRN in white
// bold on it; later entries are drawn over earlier ones.
void DrawSkyDots(QImage& target, const CNMEAParser& record);

// The sky chart and the dots.
void DrawSkyView(QImage& target, const QImage& earth, const CNMEAParser& record);

// The hidden test button's picture: three concentric rings on white and a red
// disc at entry 0's sky position, labelled with its PRN. The label uses the
// canvas's current font colour and weight, which the window passes in (white
// bold once the image has carried satellite labels).
void DrawTestPattern(QImage& target, const CNMEAParser& record, const QColor& textColour = QColor(0, 0, 0),
                     bool bold = false);
