#include "app/replay/line_loader.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

struct FdCloser {
  int fd;
  ~FdCloser() { ::close(fd); }
};

// The next CR or LF at or after a position, each byte searched once over the
// whole load, so a file with only one kind of break stays linear.
class NextBreakByte {
 public:
  explicit NextBreakByte(char c) : c_(c) {}

  size_t find(const char* bytes, size_t from, size_t available) {
    if (found_ && at_ >= from) return at_;
    const size_t start = std::max(from, searched_);
    const void* hit = start < available ? std::memchr(bytes + start, c_, available - start) : nullptr;
    found_ = hit != nullptr;
    at_ = found_ ? static_cast<size_t>(static_cast<const char*>(hit) - bytes) : available;
    searched_ = at_;
    return at_;
  }

 private:
  char c_;
  bool found_ = false;
  size_t at_ = 0;
  size_t searched_ = 0;
};

// Marks the lines whose breaks lie in the bytes read so far; a CR that ends
// them waits for the next block unless the file ends there, as it may be the
// first half of a CR LF. Returns where the next scan starts.
size_t MarkLines(LineStore& store, size_t from, size_t available, bool last, NextBreakByte& cr, NextBreakByte& lf) {
  const char* bytes = store.rawBytes();
  size_t p = from;
  for (;;) {
    const size_t b = std::min(cr.find(bytes, p, available), lf.find(bytes, p, available));
    if (b >= available) break;
    unsigned length = 1;
    if (bytes[b] == '\r') {
      if (b + 1 == available && !last) break;
      if (b + 1 < available && bytes[b + 1] == '\n') length = 2;
    }
    store.markLine(b, length);
    p = b + length;
  }
  return p;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// One large buffer in huge pages where the kernel offers them: a gigabyte in
// 4 KiB pages costs a quarter of a million page faults.
void PreferHugePages(char* bytes, size_t length) {
  const auto page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(bytes) + page - 1) & ~(page - 1);
  const uintptr_t end = reinterpret_cast<uintptr_t>(bytes) + length;
  if (end > begin + (size_t{2} << 20)) {
    ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
  }
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
  PreferHugePages(loaded.rawBytes(), size);
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  NextBreakByte cr('\r');
  NextBreakByte lf('\n');
  size_t got = 0;
  size_t scanned = 0;
  bool estimated = false;
  while (got < size) {
    const ssize_t n = ::read(fd, loaded.rawBytes() + got, std::min(block, size - got));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EFileError(cannotOpen);
    }
    if (n == 0) {
      throw EFileError("Cannot read file " + path);
    }
    got += static_cast<size_t>(n);
    scanned = MarkLines(loaded, scanned, got, got == size, cr, lf);
    if (!estimated && got < size && loaded.size() > 0) {
      // Room for the lines the first block suggests, and a little more,
      // instead of growing the table in steps: untouched room costs no memory.
      estimated = true;
      const double perByte = static_cast<double>(loaded.size()) / static_cast<double>(got);
      loaded.reserve(static_cast<size_t>(perByte * static_cast<double>(size) * 1.1) + 64, 0);
    }
    if (!progress(got, size)) {
      return {LoadEnd::Cancelled, size};
    }
  }
  if (scanned < size) {
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
