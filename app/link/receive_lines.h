#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "nmea/line_splitter.h"

// Cuts the receiver's byte stream into lines at carriage returns. A delivery
// from the serial port ends wherever the 100 ms read gap fell, often in the
// middle of a sentence, so the bytes after a delivery's last carriage return
// are kept and begin the next delivery's first line instead of being lost.
// The line feed of a CR LF pair ends the line before it, so no line starts
// with one, even when a delivery ends between the two.
class ReceiveLineCutter {
 public:
  // A receiver that never sends a carriage return must not grow the kept
  // tail without bound; past this size the tail is handed on as a line.
  static constexpr size_t kMaxCarry = 4096;

  template <typename OnLine>
  void Feed(const uint8_t* bytes, size_t length, OnLine&& onLine) {
    Lines.Feed(reinterpret_cast<const char*>(bytes), length, onLine);
  }

  // Connecting starts a new stream: whatever an earlier one left is dropped.
  void Reset() { Lines.Reset(); }

  std::string_view Pending() const { return Lines.Pending(); }

 private:
  LineSplitter Lines{LineSplitter::Breaks::CarriageReturn, kMaxCarry};
};
