#include "app/replay/line_loader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <thread>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

struct FdCloser {
  int fd;
  ~FdCloser() { ::close(fd); }
};

// One bit per byte of bytes[0, 64) that is a CR or an LF: a recording of
// 70-byte sentences has a break or two in every 64 bytes, far too many for a
// memchr() call per break to pay.
uint64_t BreakMask64(const char* bytes) {
  uint64_t mask = 0;
#ifdef __SSE2__
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  for (int i = 0; i < 4; ++i) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * i));
    const int bits = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
    mask |= uint64_t{static_cast<uint16_t>(bits)} << (16 * i);
  }
#else
  for (unsigned i = 0; i < 64; ++i) mask |= uint64_t{bytes[i] == '\r' || bytes[i] == '\n'} << i;
#endif
  return mask;
}

uint64_t BreakMaskTail(const char* bytes, size_t count) {
  uint64_t mask = 0;
  for (size_t i = 0; i < count; ++i) mask |= uint64_t{bytes[i] == '\r' || bytes[i] == '\n'} << i;
  return mask;
}

// Marks the lines whose breaks lie in bytes [from, available) and returns
// where the next call goes on. A CR that ends them waits for the next block
// unless the file ends there, as it may be the first half of a CR LF.
size_t MarkLines(LineStore& store, size_t from, size_t available, bool last) {
  const char* bytes = store.rawBytes();
  for (size_t at = from; at < available;) {
    const size_t span = std::min<size_t>(64, available - at);
    uint64_t mask = span == 64 ? BreakMask64(bytes + at) : BreakMaskTail(bytes + at, span);
    for (; mask != 0; mask &= mask - 1) {
      const size_t b = at + static_cast<size_t>(__builtin_ctzll(mask));
      if (b < store.bytesHeld()) continue;  // the LF of a CR LF just marked
      unsigned length = 1;
      if (bytes[b] == '\r') {
        if (b + 1 == available && !last) return b;
        if (b + 1 < available && bytes[b + 1] == '\n') length = 2;
      }
      store.markLine(b, length);
    }
    at += span;
  }
  return available;
}

// Reads the file into the store's buffer on a thread of its own while the
// caller cuts lines behind it: the copy from the page cache and the first
// touch of a gigabyte of fresh pages then overlap with the cutting.
class BlockReader {
 public:
  static constexpr uint64_t kEnded = uint64_t{1} << 63;

  BlockReader(int fd, char* buffer, size_t size, size_t block)
      : fd_(fd), buffer_(buffer), size_(size), block_(block), thread_([this] { run(); }) {}
  ~BlockReader() {
    stop_.store(true);
    thread_.join();
  }
  BlockReader(const BlockReader&) = delete;
  BlockReader& operator=(const BlockReader&) = delete;

  // Waits until more than `seen` bytes are in or reading ended; the bytes
  // read so far, with kEnded set once no more come.
  uint64_t waitBeyond(size_t seen) {
    for (;;) {
      const uint64_t state = state_.load(std::memory_order_acquire);
      if ((state & ~kEnded) > seen || (state & kEnded) != 0) return state;
      state_.wait(state, std::memory_order_acquire);
    }
  }
  // Once ended short of the size: whether read() failed rather than met the end of the file.
  bool failed() const { return failed_; }

 private:
  void run() {
    size_t got = 0;
    while (got < size_ && !stop_.load(std::memory_order_relaxed)) {
      const ssize_t n = ::read(fd_, buffer_ + got, std::min(block_, size_ - got));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        failed_ = n < 0;
        break;
      }
      got += static_cast<size_t>(n);
      state_.store(got, std::memory_order_release);
      state_.notify_one();
    }
    state_.store(got | kEnded, std::memory_order_release);
    state_.notify_one();
  }

  const int fd_;
  char* const buffer_;
  const size_t size_;
  const size_t block_;
  std::atomic<uint64_t> state_{0};
  std::atomic<bool> stop_{false};
  bool failed_ = false;
  std::thread thread_;
};

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

}  // namespace

LoadResult LoadLines(const std::string& path, LineStore& lines, const LoadProgress& progress, size_t block) {
  const std::string cannotOpen = "Cannot open file " + path;
  // Only a regular file is a recording: opening a FIFO blocks until a writer
  // comes, and a device such as /dev/zero never ends. stat() first, so no
  // device is opened at all; O_NONBLOCK and fstat() cover a path replaced
  // between the two calls.
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    throw EFileError(cannotOpen);
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    throw EFileError(cannotOpen);
  }
  const FdCloser closer{fd};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    throw EFileError(cannotOpen);
  }
  const auto size = static_cast<size_t>(info.st_size);
  LoadResult result;
  result.startBytes = size;

  LineStore loaded;
  loaded.reserve(0, size);
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  size_t got = 0;
  size_t scanned = 0;
  bool estimated = false;
  BlockReader reader(fd, loaded.rawBytes(), size, block);
  while (got < size) {
    const uint64_t state = reader.waitBeyond(got);
    got = static_cast<size_t>(state & ~BlockReader::kEnded);
    scanned = MarkLines(loaded, scanned, got, got == size);
    if (!estimated && got < size && loaded.size() > 0) {
      // Room for the lines the first block suggests, and a little more,
      // instead of growing the table in steps: untouched room costs no memory.
      estimated = true;
      const double perByte = static_cast<double>(loaded.size()) / static_cast<double>(got);
      loaded.reserve(static_cast<size_t>(perByte * static_cast<double>(size) * 1.1) + 64, 0);
    }
    if (!progress(got, size)) {
      // Whoever waits for this thread to end need not wait for the pages.
      DiscardLines(loaded);
      return {LoadEnd::Cancelled, size};
    }
    if ((state & BlockReader::kEnded) != 0 && got < size) {
      // The file ended before the size it had at the start: it was cut short.
      throw EFileError(reader.failed() ? cannotOpen : "Cannot read file " + path);
    }
  }
  if (loaded.bytesHeld() < size) {
    loaded.markLine(size, 0);
  }
  // A file written over while it was read may hold parts of two versions.
  struct stat after {};
  if (::fstat(fd, &after) != 0 || after.st_size < info.st_size) {
    throw EFileError("Cannot read file " + path);
  }
  if (after.st_size > info.st_size) {
    result.end = LoadEnd::LoadedGrown;
  } else if (!SameFile(info, after)) {
    throw EFileError("Cannot read file " + path);
  }
  lines.swap(loaded);
  return result;
}
