#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Cuts a byte stream into lines, whatever pieces it arrives in: the bytes after
// a piece's last break are kept and begin the next piece's first line. Every
// line is handed over without its break; zero bytes are ordinary bytes. The
// live serial path, the replay's file loader and the decode tool all split
// with this one class.
class LineSplitter {
 public:
  enum class Breaks {
    // The live receive path: only CR ends a line. The LF of a CR LF pair
    // belongs to the break before it, also when a piece ends between the two:
    // a line's leading LF is dropped, and a line of only that LF is no line.
    CarriageReturn,
    // Recorded files: CR LF, a lone CR and a lone LF each end one line, also
    // when a CR LF pair is cut between two pieces.
    Any,
  };

  // Past `maxCarry` kept bytes (0: no limit) a line still without its break is
  // handed on as it stands, at the end of the piece that passed the limit.
  explicit LineSplitter(Breaks breaks, size_t maxCarry = 0) : breaks_(breaks), maxCarry_(maxCarry) {}

  template <typename OnLine>
  void Feed(const char* bytes, size_t length, OnLine&& onLine) {
    size_t i = 0;
    if (crEndedPiece_ && length != 0) {
      crEndedPiece_ = false;
      if (bytes[0] == '\n') i = 1;
    }
    size_t start = i;
    const bool anyBreak = breaks_ == Breaks::Any;
    while (i < length) {
      const char c = bytes[i];
      // Most bytes are printable: one compare passes them.
      if (static_cast<unsigned char>(c) > '\r' || (c != '\r' && (c != '\n' || !anyBreak))) {
        ++i;
        continue;
      }
      Emit(bytes + start, i - start, onLine);
      ++i;
      if (c == '\r' && anyBreak) {
        if (i == length) {
          crEndedPiece_ = true;
        } else if (bytes[i] == '\n') {
          ++i;
        }
      }
      start = i;
    }
    carry_.append(bytes + start, length - start);
    if (maxCarry_ != 0 && carry_.size() > maxCarry_) {
      Hand(carry_, onLine);
      carry_.clear();
    }
  }

  // The end of the stream: a last line without a break is a line too.
  template <typename OnLine>
  void Finish(OnLine&& onLine) {
    if (!carry_.empty()) Hand(carry_, onLine);
    Reset();
  }

  // Drops what an earlier stream left.
  void Reset() {
    carry_.clear();
    crEndedPiece_ = false;
  }

  std::string_view Pending() const { return carry_; }

 private:
  template <typename OnLine>
  void Emit(const char* begin, size_t length, OnLine& onLine) {
    if (carry_.empty()) {
      Hand(std::string_view(begin, length), onLine);
      return;
    }
    carry_.append(begin, length);
    Hand(carry_, onLine);
    carry_.clear();
  }

  template <typename OnLine>
  void Hand(std::string_view line, OnLine& onLine) {
    if (breaks_ == Breaks::CarriageReturn && !line.empty() && line.front() == '\n') {
      line.remove_prefix(1);
      if (line.empty()) return;
    }
    onLine(line);
  }

  Breaks breaks_;
  size_t maxCarry_;
  std::string carry_;
  bool crEndedPiece_ = false;
};
