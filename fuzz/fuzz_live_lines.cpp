// Feeds arbitrary bytes to the live receive path's line cutter in arbitrary
// deliveries and checks the lines against a plain cutter that takes one byte
// at a time: a CR ends a line, a line's leading LF belongs to the break before
// it (a line of only that LF is no line), and at the end of a delivery a kept
// tail longer than the carry limit is a line.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/link/receive_lines.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

class ReferenceCutter {
 public:
  void Delivery(std::string_view bytes) {
    for (const char c : bytes) {
      if (c == '\r') {
        EndLine();
      } else {
        Tail += c;
      }
    }
    if (Tail.size() > ReceiveLineCutter::kMaxCarry) EndLine();
  }

  void EndLine() {
    if (Tail != "\n") Lines.push_back(Tail.starts_with('\n') ? Tail.substr(1) : Tail);
    Tail.clear();
  }

  std::vector<std::string> Lines;
  std::string Tail;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first byte steers the delivery sizes, the second how often the stream
  // repeats, so that endless lines pass the carry limit; the rest is the stream.
  if (size < 2) return 0;
  const unsigned deliverySeed = data[0];
  const unsigned repeats = 1 + data[1] % 16;
  std::string stream;
  for (unsigned r = 0; r < repeats; ++r) stream.append(reinterpret_cast<const char*>(data + 2), size - 2);

  ReceiveLineCutter cutter;
  ReferenceCutter reference;
  std::vector<std::string> lines;
  size_t at = 0;
  for (unsigned step = 0; at < stream.size(); ++step) {
    // Deliveries of 1 to 2048 bytes, as the serial port hands them over.
    const size_t n = std::min<size_t>(stream.size() - at, 1 + (deliverySeed * (step + 5) * 131 + step) % 2048);
    const std::string_view delivery(stream.data() + at, n);
    cutter.Feed(reinterpret_cast<const uint8_t*>(delivery.data()), n,
                [&lines](std::string_view line) { lines.emplace_back(line); });
    reference.Delivery(delivery);
    Check(lines.size() == reference.Lines.size());
    Check(cutter.Pending() == reference.Tail);
    at += n;
  }
  Check(lines == reference.Lines);
  return 0;
}
