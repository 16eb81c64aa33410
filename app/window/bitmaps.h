#pragma once

#include <QIcon>
#include <QImage>

// The program's named bitmaps ("ID_EARTH1", "ID_CONNECT", ...), compiled in.
QImage LoadBitmap(const char* name);

// A button glyph: the bitmap with its lower-left pixel's colour transparent.
// Disabled buttons draw it greyed.
QIcon LoadGlyph(const char* name);
