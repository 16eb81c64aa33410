#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QString>

// Drawing on an image canvas in pixel coordinates, with rectangles and ellipses
// given as (x1, y1, x2, y2) covering x1..x2-1 and y1..y2-1: the right and
// bottom edges are exclusive, unlike QPainter's outlines, which cover x2 too.
// Antialiasing is off, so every edge lands on whole pixels.

constexpr QRgb kClBlack = 0xFF000000;
constexpr QRgb kClWhite = 0xFFFFFFFF;
constexpr QRgb kClRed = 0xFFFF0000;
constexpr QRgb kClBlue = 0xFF0000FF;
constexpr QRgb kClGreen = 0xFF008000;
constexpr QRgb kClGray = 0xFF808080;

// The canvas's default font: a sans-serif face 11 pixels high, without
// antialiasing so labels stay crisp on the small charts.
QFont CanvasFont(bool bold = false);

// Fills with `brush` and outlines one pixel wide with `pen`.
void CanvasRectangle(QPainter& painter, int x1, int y1, int x2, int y2, const QColor& pen, const QColor& brush);
void CanvasFillRect(QPainter& painter, int x1, int y1, int x2, int y2, const QColor& brush);
// The ellipse inscribed in the rectangle, filled with `brush`, outlined with `pen`.
void CanvasEllipse(QPainter& painter, int x1, int y1, int x2, int y2, const QColor& pen, const QColor& brush);
// One line of text with its top-left corner at (x, y), on a background of
// `brush` as wide as the text and as high as the font.
void CanvasTextOut(QPainter& painter, int x, int y, const QString& text, const QFont& font, const QColor& colour,
                   const QColor& brush);
