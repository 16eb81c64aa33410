#include "app/views/status_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kSignificantDigits = 15;

// The value's magnitude as 15 significant decimal digits: value = 0.d1d2..d15
// times 10^(exponent + 1), that is d1.d2..d15 times 10^exponent.
struct Decimal {
  std::string digits;
  int exponent = 0;
};

Decimal ToDecimal(double magnitude) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.*e", kSignificantDigits - 1, magnitude);
  Decimal d;
  const char* p = buf;
  for (; *p != 'e'; ++p) {
    if (*p != '.') {
      d.digits.push_back(*p);
    }
  }
  d.exponent = std::atoi(p + 1);
  return d;
}

QString NonFinite(double value) {
  if (std::isnan(value)) {
    return QStringLiteral("NAN");
  }
  return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
}

}  // namespace

QString FormatFixed(double value, int decimals, const QLocale& locale) {
  if (!std::isfinite(value)) {
    return NonFinite(value);
  }
  // Digits of the magnitude times 10^decimals, rounded to an integer.
  std::string scaled;
  if (value != 0.0) {
    const Decimal d = ToDecimal(std::fabs(value));
    const int keep = d.exponent + decimals + 1;
    if (keep >= kSignificantDigits) {
      scaled = d.digits + std::string(static_cast<size_t>(keep - kSignificantDigits), '0');
    } else if (keep >= 0) {
      scaled = d.digits.substr(0, static_cast<size_t>(keep));
      if (d.digits[static_cast<size_t>(keep)] >= '5') {
        int i = keep - 1;
        for (; i >= 0 && scaled[static_cast<size_t>(i)] == '9'; --i) {
          scaled[static_cast<size_t>(i)] = '0';
        }
        if (i >= 0) {
          ++scaled[static_cast<size_t>(i)];
        } else {
          scaled.insert(scaled.begin(), '1');
        }
      }
    }
  }
  const bool nonZero = scaled.find_first_not_of('0') != std::string::npos;
  if (scaled.size() < static_cast<size_t>(decimals) + 1) {
    scaled.insert(0, static_cast<size_t>(decimals) + 1 - scaled.size(), '0');
  }
  QString text = QString::fromLatin1(scaled.data(), static_cast<qsizetype>(scaled.size()));
  if (decimals > 0) {
    text.insert(text.size() - decimals, locale.decimalPoint());
  }
  if (value < 0 && nonZero) {
    text.prepend(QLatin1Char('-'));
  }
  return text;
}

QString FormatGeneral(double value, const QLocale& locale) {
  if (!std::isfinite(value)) {
    return NonFinite(value);
  }
  if (value == 0.0) {
    return QStringLiteral("0");
  }
  Decimal d = ToDecimal(std::fabs(value));
  while (d.digits.size() > 1 && d.digits.back() == '0') {
    d.digits.pop_back();
  }
  const QString separator = locale.decimalPoint();
  QString text = value < 0 ? QStringLiteral("-") : QString();
  const QString digits = QString::fromLatin1(d.digits.data(), static_cast<qsizetype>(d.digits.size()));
  if (d.exponent < -5 || d.exponent >= kSignificantDigits) {
    text += digits.left(1);
    if (digits.size() > 1) {
      text += separator + digits.mid(1);
    }
    text += QLatin1Char('E') + QString::number(d.exponent);
  } else if (d.exponent < 0) {
    text += QLatin1Char('0') + separator + QString(-d.exponent - 1, QLatin1Char('0')) + digits;
  } else {
    const int whole = d.exponent + 1;
    if (digits.size() <= whole) {
      text += digits + QString(whole - digits.size(), QLatin1Char('0'));
    } else {
      text += digits.left(whole) + separator + digits.mid(whole);
    }
  }
  return text;
}

QString LatitudeText(double lat, const QLocale& locale) {
  return lat < 0.0 ? QStringLiteral(" S ") + FormatFixed(-lat, 6, locale)
                   : QStringLiteral(" N ") + FormatFixed(lat, 6, locale);
}

QString LongitudeText(double lon, const QLocale& locale) {
  return lon < 0.0 ? QStringLiteral(" W ") + FormatFixed(-lon, 6, locale)
                   : QStringLiteral(" E ") + FormatFixed(lon, 6, locale);
}

QString AltitudeText(double altitude, const QLocale& locale) { return FormatGeneral(altitude, locale); }

QString FixText(uint8_t fixType) {
  switch (fixType) {
    case 1:
      return QStringLiteral("Fix not available");
    case 2:
      return QStringLiteral("2D Fix");
    case 3:
      return QStringLiteral("3D Fix");
    default:
      return QStringLiteral("Unknown");
  }
}

QString GpsTimeText(const CNMEAParser& record) {
  return QString::number(record.RmcYear) + QLatin1Char('/') + QString::number(record.RmcMonth) +
         QLatin1Char('/') + QString::number(record.RmcDay) + QStringLiteral("   ") +
         QString::number(record.RmcUtcHour) + QLatin1Char(':') + QString::number(record.RmcUtcMinute) +
         QLatin1Char(':') + QString::number(record.RmcUtcSecond);
}

QString TtffText(int32_t ttffCount) { return QString::number(ttffCount) + QStringLiteral(" Sec"); }

QString SpeedText(double knots, const QLocale& locale) {
  return FormatFixed(knots * 1.852, 1, locale) + QStringLiteral(" KM/h");
}

int ActivityPosition(uint32_t sentenceTotal) { return static_cast<int>(sentenceTotal % 100u); }

bool TtffCounts(uint8_t fixType) { return fixType == 1 || fixType == 2; }

QColor GridTextColour(uint8_t fixType, const QColor& current, const QColor& grayText) {
  switch (fixType) {
    case 1:
      return QColor(0xFF, 0x00, 0x00);
    case 2:
      return grayText;
    case 3:
      return QColor(0x00, 0x00, 0x00);
    default:
      return current;
  }
}

const char* LogLampGlyph(int32_t timerTicks) { return timerTicks % 2 != 0 ? "ID_LOGNMEA1" : "ID_LOGNMEA2"; }
