#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// Test-side NMEA helpers, written apart from the simulator's builder so that a
// fault in one is not hidden by the same fault in the other.
namespace simtest {

// True when `line` is "$body*hh\r\n" and hh is the XOR of body's characters.
inline bool hasValidChecksum(std::string_view line)
{
    if (line.size() < 6 || line.front() != '$' || line.substr(line.size() - 2) != "\r\n")
        return false;
    const std::size_t star = line.size() - 5;
    if (line[star] != '*')
        return false;
    unsigned sum = 0;
    for (std::size_t i = 1; i < star; ++i)
        sum ^= static_cast<unsigned char>(line[i]);
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", sum);
    return line.substr(star + 1, 2) == std::string_view(hex, 2);
}

// The comma-separated fields of a sentence, element 0 being the name ("GPGGA").
inline std::vector<std::string> fields(std::string_view line)
{
    if (!line.empty() && line.front() == '$')
        line.remove_prefix(1);
    line = line.substr(0, line.find('*'));
    std::vector<std::string> out;
    for (;;) {
        const std::size_t comma = line.find(',');
        out.emplace_back(line.substr(0, comma));
        if (comma == std::string_view::npos)
            return out;
        line.remove_prefix(comma + 1);
    }
}

// "$" + body + "*" + checksum, computed here, without CR LF.
inline std::string withChecksum(std::string_view body)
{
    unsigned sum = 0;
    for (char c : body)
        sum ^= static_cast<unsigned char>(c);
    char hex[4];
    std::snprintf(hex, sizeof hex, "*%02X", sum);
    return "$" + std::string(body) + hex;
}

}  // namespace simtest
