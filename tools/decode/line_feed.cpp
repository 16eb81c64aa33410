#include "line_feed.h"

#include <cstdint>

void FeedLines(CNMEAParser& parser, const char* bytes, size_t length) {
  size_t start = 0;
  for (size_t i = 0; i < length; ++i) {
    if (bytes[i] == '\r' || bytes[i] == '\n') {
      if (i > start) parser.FeedBytes(bytes + start, static_cast<uint32_t>(i - start));
      start = i + 1;
    }
  }
  if (length > start) parser.FeedBytes(bytes + start, static_cast<uint32_t>(length - start));
}
