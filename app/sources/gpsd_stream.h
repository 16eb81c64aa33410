#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// What gpsd sends a client watching with "nmea":true: its own JSON reports
// (lines beginning with '{') mixed with the receiver's NMEA lines. The NMEA
// goes on with its line ends; each JSON line is handed over whole, without
// its line end. Memory stays bounded: a JSON line longer than kMaxLine is
// dropped, and anything else that long goes on as it is, since the receive
// path cuts overlong lines itself.
class GpsdStream {
 public:
  static constexpr size_t kMaxLine = 4096;
  using Sink = std::function<void(std::string_view)>;

  GpsdStream(Sink nmea, Sink json) : Nmea(std::move(nmea)), Json(std::move(json)) {}

  void Feed(const char* bytes, size_t length);

 private:
  void EndLine();

  Sink Nmea;
  Sink Json;
  std::string Line;
  bool Dropping = false;  // inside an overlong JSON line
};
