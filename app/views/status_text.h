#pragma once

#include <QColor>
#include <QLocale>
#include <QString>
#include <cstdint>

#include "nmea/nmea_parser.h"

// The texts of the status fields, built from the navigation record once a
// second. Numbers use the decimal separator of `locale` (the window passes the
// user's QLocale()).

// `value` with exactly `decimals` digits after the separator and at least one
// before it, no thousands separator. The value is first taken to 15 significant
// decimal digits, and that decimal is rounded half away from zero: 12.3456785
// gives 12.345679 even though the nearest double lies just below the half, and
// 0.15 with one decimal gives 0.2. A result that rounds to zero has no sign.
QString FormatFixed(double value, int decimals, const QLocale& locale);

// General number format: 15 significant digits, trailing zeros and a bare
// separator dropped; exponent form ("1.5E-7", "1E20") below 0.00001 or from
// 1E15 on.
QString FormatGeneral(double value, const QLocale& locale);

QString LatitudeText(double lat, const QLocale& locale);    // " N 24.500000" / " S 24.500000"
QString LongitudeText(double lon, const QLocale& locale);   // " E ..." / " W ..."
QString AltitudeText(double altitude, const QLocale& locale);
QString FixText(uint8_t fixType);
QString GpsTimeText(const CNMEAParser& record);              // "2024/3/7   9:5:0"
QString TtffText(int32_t ttffCount);                         // "34 Sec"
QString SpeedText(double knots, const QLocale& locale);     // "9.3 KM/h"

// Position of the activity bar, 0..99.
int ActivityPosition(uint32_t sentenceTotal);

// Whether the time-to-first-fix count grows at this refresh: while there is no
// fix or only a 2D fix.
bool TtffCounts(uint8_t fixType);

// The satellite grid's text colour after a refresh: red without a fix,
// `grayText` for a 2D fix, black for a 3D fix, unchanged for any other value.
QColor GridTextColour(uint8_t fixType, const QColor& current, const QColor& grayText);

// The log button's lamp while logging: "ID_LOGNMEA1" on odd ticks, "ID_LOGNMEA2" on even.
const char* LogLampGlyph(int32_t timerTicks);
