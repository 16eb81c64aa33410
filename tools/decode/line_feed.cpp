#include "line_feed.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "line_splitter.h"

void FeedLines(CNMEAParser& parser, const char* bytes, size_t length) {
  LineSplitter lines(LineSplitter::Breaks::Any);
  const auto feed = [&parser](std::string_view line) {
    parser.FeedBytes(line.data(), static_cast<uint32_t>(line.size()));
  };
  lines.Feed(bytes, length, feed);
  lines.Finish(feed);
}

bool FeedFile(CNMEAParser& parser, const char* name, bool raw, std::string& error) {
  const bool isStdin = std::strcmp(name, "-") == 0;
  std::FILE* f = isStdin ? stdin : std::fopen(name, "rb");
  if (f == nullptr) {
    error = std::string(name) + ": " + std::strerror(errno);
    return false;
  }
  std::vector<char> block(1 << 16);
  bool ok = true;
  for (;;) {
    const size_t n = std::fread(block.data(), 1, block.size(), f);
    if (raw) {
      parser.FeedBytes(block.data(), static_cast<uint32_t>(n));
    } else {
      FeedLines(parser, block.data(), n);
    }
    if (n < block.size()) {
      if (std::ferror(f)) {
        error = std::string(isStdin ? "standard input" : name) + ": " + std::strerror(errno);
        ok = false;
      }
      break;
    }
  }
  if (!isStdin) std::fclose(f);
  return ok;
}
