// Loads arbitrary bytes as a replay file and checks the lines against a plain
// split: CR LF, a lone CR and a lone LF each end one line, a last line without
// a break is a line too. The same bytes are also split in pieces of arbitrary
// sizes, as the loader reads a large file block by block, so a CR LF pair cut
// between two blocks must still count once.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/replay/line_store.h"
#include "nmea/line_splitter.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

std::vector<std::string> ReferenceSplit(std::string_view text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

void CheckSame(const LineStore& store, const std::vector<std::string>& expected) {
  Check(store.size() == expected.size());
  for (size_t i = 0; i < expected.size(); ++i) Check(store.line(i) == expected[i]);
}

// One in-memory file for the whole run, rewritten for every input.
int MemoryFile() {
  static const int fd = memfd_create("fuzz_line_loader", MFD_CLOEXEC);
  Check(fd >= 0);
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first byte steers the piece sizes; the rest is the file.
  if (size < 1) return 0;
  const unsigned pieceSeed = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::vector<std::string> expected = ReferenceSplit(text);

  const int fd = MemoryFile();
  Check(ftruncate(fd, 0) == 0);
  Check(pwrite(fd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size()));
  LineStore loaded;
  loaded.append("left from before");
  LoadLinesFromFile("/proc/self/fd/" + std::to_string(fd), loaded);
  CheckSame(loaded, expected);

  LineStore pieces;
  LineSplitter splitter(LineSplitter::Breaks::Any);
  const auto add = [&pieces](std::string_view line) { pieces.append(line); };
  size_t at = 0;
  for (unsigned step = 0; at < text.size(); ++step) {
    const size_t n = std::min<size_t>(text.size() - at, (pieceSeed * (step + 3) + step) % 17);
    splitter.Feed(text.data() + at, n, add);
    at += n;
  }
  splitter.Finish(add);
  CheckSame(pieces, expected);
  return 0;
}
