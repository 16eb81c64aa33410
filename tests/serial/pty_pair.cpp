#include "pty_pair.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <thread>
#include <unistd.h>

PtyPair::PtyPair() {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
    throw std::runtime_error("cannot create a pseudo-terminal");
  char name[128];
  if (::ptsname_r(master_, name, sizeof name) != 0) throw std::runtime_error("ptsname_r failed");
  slavePath_ = name;
}

PtyPair::~PtyPair() { CloseMaster(); }

void PtyPair::CloseMaster() {
  if (master_ >= 0) ::close(master_);
  master_ = -1;
}

void PtyPair::Write(const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw std::runtime_error("write to the pseudo-terminal failed");
    done += static_cast<size_t>(n);
  }
}

void PtyPair::Write(const std::string& text) { Write(std::vector<uint8_t>(text.begin(), text.end())); }

std::vector<uint8_t> PtyPair::Read(size_t count, std::chrono::milliseconds timeout, bool throughReopen) {
  std::vector<uint8_t> got;
  const auto end = std::chrono::steady_clock::now() + timeout;
  uint8_t buffer[4096];
  while (got.size() < count) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd p{master_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    const ssize_t n = ::read(master_, buffer, std::min(sizeof buffer, count - got.size()));
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    // EIO while no one holds the slave end open.
    if (n < 0 && errno == EIO && throughReopen) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    if (n <= 0) break;
    got.insert(got.end(), buffer, buffer + n);
  }
  return got;
}

std::vector<uint8_t> TextPattern(size_t size, unsigned seed) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(0x20 + (i * 7 + seed + i / 95) % 95);
  return bytes;
}
