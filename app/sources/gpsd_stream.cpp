#include "app/sources/gpsd_stream.h"

#include <cstring>

void GpsdStream::Feed(const char* bytes, size_t length) {
  while (length > 0) {
    if (Line.size() == kMaxLine) {
      // Past the limit: a JSON report is thrown away up to its line end,
      // anything else goes on in pieces.
      if (Line.front() == '{') {
        Dropping = true;
      } else {
        Nmea(Line);
      }
      Line.clear();
    }
    const void* found = std::memchr(bytes, '\n', length);
    size_t take = found ? static_cast<size_t>(static_cast<const char*>(found) - bytes + 1) : length;
    if (Dropping) {
      Dropping = found == nullptr;
    } else if (const size_t room = kMaxLine - Line.size(); take > room) {
      Line.append(bytes, room);
      take = room;
    } else {
      Line.append(bytes, take);
      if (found) EndLine();
    }
    bytes += take;
    length -= take;
  }
}

void GpsdStream::EndLine() {
  if (!Line.empty() && Line.front() == '{') {
    std::string_view json(Line);
    while (!json.empty() && (json.back() == '\n' || json.back() == '\r')) json.remove_suffix(1);
    Json(json);
  } else if (!Line.empty()) {
    Nmea(Line);
  }
  Line.clear();
}
