#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

// A file operation that failed; what() is the text shown to the user.
class EFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Many text lines in one contiguous byte buffer plus one 8-byte word per line,
// so a million 70-byte lines cost about 80 bytes each instead of a heap string
// apiece. Bytes are kept exactly as given, zero bytes included. A loaded file
// keeps its line breaks in the buffer between the lines (each line's word
// notes the break after it), so the file is read straight into its final
// place and never copied again.
class LineStore {
 public:
  LineStore() = default;
  LineStore(LineStore&& other) noexcept;
  LineStore& operator=(LineStore&& other) noexcept;
  LineStore(const LineStore&) = delete;
  LineStore& operator=(const LineStore&) = delete;
  ~LineStore() = default;

  void append(const char* bytes, size_t length);
  void append(std::string_view line) { append(line.data(), line.size()); }
  void clear();
  void reserve(size_t lines, size_t bytes);
  void swap(LineStore& other) noexcept;

  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  std::string_view line(size_t i) const;

  // Heap bytes held, reserve included.
  size_t capacityBytes() const;

  // A line's word: where its bytes end, and from this bit on the length of
  // the break that follows it in the buffer.
  static constexpr unsigned kBreakShift = 62;

  // Filling in place, for a loader: bytes written at rawBytes() + bytesHeld()
  // and beyond (up to the reserved bytes) are not lines until markLine() ends
  // one at `contentEnd`, followed by a break of `breakLength` bytes (0 to 2)
  // that the line does not include.
  char* rawBytes() { return bytes_.get(); }
  size_t bytesHeld() const { return used_; }
  size_t bytesReserved() const { return byteCapacity_; }
  void markLine(size_t contentEnd, unsigned breakLength) {
    // Inline: a loader marks every line of a file through here.
    if (contentEnd < used_ || breakLength > 2 || contentEnd + breakLength > byteCapacity_) {
      throw std::out_of_range("LineStore::markLine");
    }
    if (count_ == endCapacity_) {
      growEnds(count_ + 1);
    }
    ends_.get()[count_++] = contentEnd | (uint64_t{breakLength} << kBreakShift);
    used_ = contentEnd + breakLength;
  }

 private:
  struct FreeDeleter {
    void operator()(void* p) const;
  };

  void growBytes(size_t needed);
  void growEnds(size_t needed);

  std::unique_ptr<char, FreeDeleter> bytes_;
  std::unique_ptr<uint64_t, FreeDeleter> ends_;
  size_t used_ = 0;
  size_t byteCapacity_ = 0;
  size_t count_ = 0;
  size_t endCapacity_ = 0;
};

// Empties `lines`. A store of many megabytes is handed to a short-lived
// thread to be freed there: returning a gigabyte's pages takes the caller a
// good part of a second, which the window's thread cannot spare.
void DiscardLines(LineStore& lines);

// Replaces `lines` with the lines of the file at `path`, split at CR LF, lone CR
// and lone LF (each break counts once); a last line without a break is a line
// too, and a zero byte is an ordinary byte. Throws EFileError("Cannot open file
// " + path) when the path is not a regular file (a FIFO, a device, a folder) or
// cannot be opened or read, and "Cannot read file " + path when it shrank or
// was rewritten while being read; `lines` is then unchanged. Never blocks on a
// FIFO. A file that grows meanwhile loads as it was when loading started
// (LoadLines in line_loader.h tells so, and reports progress).
void LoadLinesFromFile(const std::string& path, LineStore& lines);

// Writes every line followed by CR LF. Throws EFileError("Cannot create file "
// + path) when the file cannot be created, and "Cannot write file " + path when
// writing it fails later (a full disk), so a lost log is never reported as saved.
void SaveLinesToFile(const std::string& path, const LineStore& lines);
