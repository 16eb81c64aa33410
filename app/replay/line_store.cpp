#include "app/replay/line_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>

#include "app/replay/line_loader.h"

namespace {

// Growing by half rather than doubling keeps the unused reserve under a third
// of the buffer; large buffers are mremap'ed by realloc, so growth copies little.
size_t GrownCapacity(size_t current, size_t needed, size_t minimum) {
  size_t grown = std::max(current + current / 2, minimum);
  return std::max(grown, needed);
}

// A large buffer in huge pages where the kernel offers them: a gigabyte in
// 4 KiB pages costs a quarter of a million page faults.
void PreferHugePages(void* buffer, size_t length) {
  constexpr size_t kHugePage = size_t{2} << 20;
  if (length < 2 * kHugePage) return;
  const auto page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(buffer) + page - 1) & ~(page - 1);
  const uintptr_t end = reinterpret_cast<uintptr_t>(buffer) + length;
  ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

template <typename T>
T* Reallocate(T* old, size_t count) {
  void* p = std::realloc(old, count * sizeof(T));
  if (p == nullptr) {
    throw std::bad_alloc();
  }
  PreferHugePages(p, count * sizeof(T));
  return static_cast<T*>(p);
}

// Grows `buffer` to hold at least `needed` elements, the same buffer moved or
// extended in place.
template <typename Buffer>
void Grow(Buffer& buffer, size_t& capacity, size_t needed, size_t minimum) {
  const size_t grown = GrownCapacity(capacity, needed, minimum);
  auto* p = Reallocate(buffer.get(), grown);
  static_cast<void>(buffer.release());
  buffer.reset(p);
  capacity = grown;
}

constexpr size_t kReadBlock = 1 << 20;

constexpr uint64_t kEndMask = (uint64_t{1} << LineStore::kBreakShift) - 1;

uint64_t NextStart(uint64_t word) { return (word & kEndMask) + (word >> LineStore::kBreakShift); }

}  // namespace

void LineStore::FreeDeleter::operator()(void* p) const { std::free(p); }

LineStore::LineStore(LineStore&& other) noexcept { swap(other); }

LineStore& LineStore::operator=(LineStore&& other) noexcept {
  LineStore moved(std::move(other));
  swap(moved);
  return *this;
}

void LineStore::swap(LineStore& other) noexcept {
  std::swap(bytes_, other.bytes_);
  std::swap(ends_, other.ends_);
  std::swap(used_, other.used_);
  std::swap(byteCapacity_, other.byteCapacity_);
  std::swap(count_, other.count_);
  std::swap(endCapacity_, other.endCapacity_);
}

void LineStore::growBytes(size_t needed) { Grow(bytes_, byteCapacity_, needed, 4096); }

void LineStore::growEnds(size_t needed) { Grow(ends_, endCapacity_, needed, 512); }

void LineStore::append(const char* bytes, size_t length) {
  if (used_ + length > byteCapacity_) {
    growBytes(used_ + length);
  }
  if (count_ == endCapacity_) {
    growEnds(count_ + 1);
  }
  if (length != 0) {
    std::memcpy(bytes_.get() + used_, bytes, length);
  }
  used_ += length;
  ends_.get()[count_++] = used_;
}

void LineStore::clear() {
  bytes_.reset();
  ends_.reset();
  used_ = byteCapacity_ = count_ = endCapacity_ = 0;
}

void LineStore::reserve(size_t lines, size_t bytes) {
  if (bytes > byteCapacity_) {
    char* p = Reallocate(bytes_.get(), bytes);
    static_cast<void>(bytes_.release());
    bytes_.reset(p);
    byteCapacity_ = bytes;
  }
  if (lines > endCapacity_) {
    uint64_t* p = Reallocate(ends_.get(), lines);
    static_cast<void>(ends_.release());
    ends_.reset(p);
    endCapacity_ = lines;
  }
}

std::string_view LineStore::line(size_t i) const {
  if (i >= count_) {
    throw std::out_of_range("LineStore::line");
  }
  const size_t begin = i == 0 ? 0 : NextStart(ends_.get()[i - 1]);
  return {bytes_.get() + begin, (ends_.get()[i] & kEndMask) - begin};
}

size_t LineStore::capacityBytes() const { return byteCapacity_ + endCapacity_ * sizeof(uint64_t); }

void DiscardLines(LineStore& lines) {
  constexpr size_t kFreedHere = size_t{16} << 20;
  if (lines.capacityBytes() < kFreedHere) {
    lines.clear();
    return;
  }
  auto discarded = std::make_unique<LineStore>();
  discarded->swap(lines);
  try {
    std::thread([discarded = std::move(discarded)] {}).detach();
  } catch (const std::system_error&) {
    // No thread to spare: the store went down here with the thread's function.
  }
}

void LoadLinesFromFile(const std::string& path, LineStore& lines) {
  LoadLines(path, lines, [](uint64_t, uint64_t) { return true; });
}

namespace {

// Writes every line followed by CR LF; false on the first failed write.
bool WriteLines(int fd, const LineStore& lines) {
  bool ok = true;
  std::string chunk;
  chunk.reserve(kReadBlock + 4096);
  const auto put = [&] {
    size_t done = 0;
    while (ok && done < chunk.size()) {
      const ssize_t n = ::write(fd, chunk.data() + done, chunk.size() - done);
      if (n < 0 && errno == EINTR) continue;
      ok = n > 0;
      if (ok) done += static_cast<size_t>(n);
    }
    chunk.clear();
  };
  for (size_t i = 0; i < lines.size() && ok; ++i) {
    chunk.append(lines.line(i));
    chunk.append("\r\n");
    if (chunk.size() >= kReadBlock) put();
  }
  if (ok && !chunk.empty()) put();
  return ok;
}

}  // namespace

void SaveLinesToFile(const std::string& path, const LineStore& lines) {
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
    // A device or a pipe is written as it is: a rename would replace the node itself.
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) throw EFileError("Cannot create file " + path);
    const bool ok = WriteLines(fd, lines);
    if (::close(fd) != 0 || !ok) throw EFileError("Cannot write file " + path);
    return;
  }

  // The lines go to a hidden file beside the target and are renamed into place
  // once all of them are on disk, so a full disk or a crash never leaves a
  // truncated file under the log's name, nor spoils a file it replaces.
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string temp = folder + "." + base + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    throw EFileError("Cannot create file " + path);
  }
  // Held until the file is closed: a viewer that starts meanwhile tells a
  // save in progress from one a kill cut short, whose file it removes.
  ::flock(fd, LOCK_EX | LOCK_NB);
  // mkostemp makes the file private; a log gets the permissions a plain create would give.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);

  bool ok = WriteLines(fd, lines) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    throw EFileError("Cannot write file " + path);
  }
}
