#include "line_feed.h"

#include <cstdint>
#include <string_view>

#include "line_splitter.h"

void FeedLines(CNMEAParser& parser, const char* bytes, size_t length) {
  LineSplitter lines(LineSplitter::Breaks::Any);
  const auto feed = [&parser](std::string_view line) {
    parser.FeedBytes(line.data(), static_cast<uint32_t>(line.size()));
  };
  lines.Feed(bytes, length, feed);
  lines.Finish(feed);
}
