#include "utc_time.h"

#include <cctype>

#include "civil_days.h"

namespace qvsim {

UtcFields utcFields(Centis t)
{
    constexpr Centis kCentisPerDay = 86400 * 100;
    std::int64_t days = t / kCentisPerDay;
    Centis rest = t % kCentisPerDay;
    if (rest < 0) {
        rest += kCentisPerDay;
        --days;
    }
    UtcFields f;
    f.centi = static_cast<int>(rest % 100);
    const std::int64_t secs = rest / 100;
    f.hour = static_cast<int>(secs / 3600);
    f.minute = static_cast<int>(secs / 60 % 60);
    f.second = static_cast<int>(secs % 60);

    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    f.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    f.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    f.year = static_cast<int>(yoe + era * 400 + (f.month <= 2 ? 1 : 0));
    return f;
}

namespace {

bool readDigits(std::string_view text, std::size_t& pos, std::size_t count, int& value)
{
    value = 0;
    for (std::size_t i = 0; i < count; ++i, ++pos) {
        if (pos >= text.size() || !std::isdigit(static_cast<unsigned char>(text[pos])))
            return false;
        value = value * 10 + (text[pos] - '0');
    }
    return true;
}

bool expect(std::string_view text, std::size_t& pos, char c)
{
    if (pos >= text.size() || text[pos] != c)
        return false;
    ++pos;
    return true;
}

int daysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

std::optional<Centis> parseUtc(std::string_view text)
{
    std::size_t pos = 0;
    int year, month, day, hour, minute, second;
    if (!readDigits(text, pos, 4, year) || !expect(text, pos, '-') || !readDigits(text, pos, 2, month)
        || !expect(text, pos, '-') || !readDigits(text, pos, 2, day))
        return std::nullopt;
    if (pos >= text.size() || (text[pos] != 'T' && text[pos] != ' '))
        return std::nullopt;
    ++pos;
    if (!readDigits(text, pos, 2, hour) || !expect(text, pos, ':') || !readDigits(text, pos, 2, minute)
        || !expect(text, pos, ':') || !readDigits(text, pos, 2, second))
        return std::nullopt;
    int centi = 0;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        int scale = 10;
        std::size_t digits = 0;
        while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
            if (++digits > 2)
                return std::nullopt;
            centi += (text[pos++] - '0') * scale;
            scale /= 10;
        }
        if (digits == 0)
            return std::nullopt;
    }
    if (pos < text.size() && text[pos] == 'Z')
        ++pos;
    if (pos != text.size())
        return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour > 23 || minute > 59
        || second > 59)
        return std::nullopt;
    const std::int64_t days = DaysFromCivil(year, month, day);
    return ((days * 86400 + hour * 3600 + minute * 60 + second) * 100) + centi;
}

std::optional<double> parseNmeaTime(std::string_view field)
{
    std::size_t pos = 0;
    int hour, minute, second;
    if (!readDigits(field, pos, 2, hour) || !readDigits(field, pos, 2, minute) || !readDigits(field, pos, 2, second))
        return std::nullopt;
    if (hour > 23 || minute > 59 || second > 60)
        return std::nullopt;
    double fraction = 0.0;
    if (pos < field.size()) {
        if (field[pos] != '.')
            return std::nullopt;
        ++pos;
        double scale = 0.1;
        for (; pos < field.size(); ++pos, scale /= 10) {
            if (!std::isdigit(static_cast<unsigned char>(field[pos])))
                return std::nullopt;
            fraction += (field[pos] - '0') * scale;
        }
    }
    return hour * 3600.0 + minute * 60.0 + second + fraction;
}

}  // namespace qvsim
