#include "nmea_builder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace qvsim {

namespace {

template <typename... Args>
std::string format(const char* fmt, Args... args)
{
    char buf[128];
    const int n = std::snprintf(buf, sizeof buf, fmt, args...);
    return std::string(buf, static_cast<std::size_t>(std::clamp(n, 0, static_cast<int>(sizeof buf) - 1)));
}

// Degrees and minutes with four decimals; the minutes are rounded first so that
// 59.99996' becomes the next whole degree instead of "60.0000".
std::string formatCoordinate(double degrees, int degreeDigits, char positive, char negative)
{
    const double magnitude = std::fabs(degrees);
    long long tenThousandths = std::llround(magnitude * 60.0 * 10000.0);
    const long long perDegree = 60LL * 10000;
    const long long whole = tenThousandths / perDegree;
    tenThousandths %= perDegree;
    const char hemisphere = degrees < 0 && (whole != 0 || tenThousandths != 0) ? negative : positive;
    return format("%0*lld%02lld.%04lld,%c", degreeDigits, whole, tenThousandths / 10000, tenThousandths % 10000,
                  hemisphere);
}

bool hasFix(const ReceiverState& s)
{
    return s.fix == FixMode::TwoD || s.fix == FixMode::ThreeD;
}

}  // namespace

std::uint8_t nmeaChecksum(std::string_view body)
{
    std::uint8_t sum = 0;
    for (char c : body)
        sum ^= static_cast<std::uint8_t>(c);
    return sum;
}

std::string finishSentence(std::string_view body)
{
    std::string out;
    out.reserve(body.size() + 6);
    out += '$';
    out += body;
    out += format("*%02X\r\n", nmeaChecksum(body));
    return out;
}

std::string formatLatitude(double degrees)
{
    return formatCoordinate(degrees, 2, 'N', 'S');
}

std::string formatLongitude(double degrees)
{
    return formatCoordinate(degrees, 3, 'E', 'W');
}

std::string formatTime(Centis t)
{
    const UtcFields f = utcFields(t);
    return format("%02d%02d%02d.%02d", f.hour, f.minute, f.second, f.centi);
}

std::string formatDate(Centis t)
{
    const UtcFields f = utcFields(t);
    return format("%02d%02d%02d", f.day, f.month, f.year % 100);
}

// $GPGGA,time,lat,N,lon,E,quality,sats,hdop,alt,M,geoid,M,,
std::string buildGga(const ReceiverState& s)
{
    std::string body = "GPGGA," + formatTime(s.time) + ",";
    if (hasFix(s)) {
        body += formatLatitude(s.lat) + "," + formatLongitude(s.lon) + ",1,";
        body += format("%02zu,%.1f,%.1f,M,0.0,M,,", s.usedPrns.size(), s.hdop, s.altitude);
    } else {
        body += ",,,,0,00,,,M,,M,,";
    }
    return finishSentence(body);
}

// $GPGSA,A,fix,prn1..prn12,pdop,hdop,vdop
std::string buildGsa(const ReceiverState& s)
{
    std::string body = format("GPGSA,A,%d", static_cast<int>(s.fix));
    for (std::size_t slot = 0; slot < 12; ++slot) {
        body += ',';
        if (slot < s.usedPrns.size())
            body += format("%02d", s.usedPrns[slot]);
    }
    if (hasFix(s))
        body += format(",%.1f,%.1f,%.1f", s.pdop, s.hdop, s.vdop);
    else
        body += ",,,";
    return finishSentence(body);
}

// $GPGSV,messages,number,inview,{prn,elevation,azimuth,snr} x up to 4
std::vector<std::string> buildGsv(const ReceiverState& s)
{
    const std::size_t total = s.inView.size();
    const std::size_t messages = std::max<std::size_t>(1, (total + 3) / 4);
    std::vector<std::string> out;
    out.reserve(messages);
    for (std::size_t m = 0; m < messages; ++m) {
        std::string body = format("GPGSV,%zu,%zu,%02zu", messages, m + 1, total);
        for (std::size_t i = m * 4; i < std::min(total, m * 4 + 4); ++i) {
            const SatView& sat = s.inView[i];
            body += format(",%02d,%02d,%03d,", sat.prn, sat.elevation, sat.azimuth);
            if (sat.snr > 0)
                body += format("%02d", sat.snr);
        }
        out.push_back(finishSentence(body));
    }
    return out;
}

// $GPRMC,time,status,lat,N,lon,E,knots,course,ddmmyy,variation,E/W,mode
std::string buildRmc(const ReceiverState& s)
{
    std::string body = "GPRMC," + formatTime(s.time) + ",";
    if (hasFix(s)) {
        body += "A," + formatLatitude(s.lat) + "," + formatLongitude(s.lon) + ",";
        body += format("%.1f,%.1f,", s.speedKnots, s.courseDeg);
        body += formatDate(s.time) + ",,,A";
    } else {
        body += "V,,,,,,," + formatDate(s.time) + ",,,N";
    }
    return finishSentence(body);
}

// $GPRMB,status,xte,steer,from,to,lat,N,lon,E,range,bearing,closing,arrival,mode
std::string buildRmb(const ReceiverState& s)
{
    if (!s.waypoint)
        return {};
    const WaypointReport& w = *s.waypoint;
    std::string body = hasFix(s) ? "GPRMB,A," : "GPRMB,V,";
    body += format("%.2f,%c,", std::min(std::fabs(w.crossTrackNm), 9.99), w.crossTrackNm > 0 ? 'L' : 'R');
    body += w.originId + "," + w.destId + ",";
    body += formatLatitude(w.destLat) + "," + formatLongitude(w.destLon) + ",";
    body += format("%.1f,%.1f,%.1f,%c,%c", std::min(w.rangeNm, 999.9), w.bearingDeg, w.closingKnots,
                   w.arrived ? 'A' : 'V', hasFix(s) ? 'A' : 'N');
    return finishSentence(body);
}

// $GPZDA,time,dd,mm,yyyy,zone hours,zone minutes
std::string buildZda(const ReceiverState& s)
{
    const UtcFields f = utcFields(s.time);
    return finishSentence("GPZDA," + formatTime(s.time) + format(",%02d,%02d,%04d,00,00", f.day, f.month, f.year));
}

std::vector<std::string> buildCycle(const ReceiverState& s)
{
    std::vector<std::string> out;
    out.push_back(buildGga(s));
    out.push_back(buildGsa(s));
    for (std::string& gsv : buildGsv(s))
        out.push_back(std::move(gsv));
    out.push_back(buildRmc(s));
    if (s.waypoint)
        out.push_back(buildRmb(s));
    out.push_back(buildZda(s));
    return out;
}

}  // namespace qvsim
