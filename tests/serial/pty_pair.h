#pragma once
// A pseudo-terminal pair standing in for a serial line: the component opens
// the slave path, the test holds the master end.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class PtyPair {
 public:
  PtyPair();
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  const std::string& SlavePath() const { return slavePath_; }
  int Master() const { return master_; }
  void CloseMaster();

  // Writes every byte at the master end (the slave receives them).
  void Write(const std::vector<uint8_t>& bytes);
  void Write(const std::string& text);
  // Reads from the master end until `count` bytes arrived or `timeout` passed;
  // with `throughReopen`, also while the slave end is closed and opened again.
  std::vector<uint8_t> Read(size_t count, std::chrono::milliseconds timeout, bool throughReopen = false);

 private:
  int master_ = -1;
  std::string slavePath_;
};

// Bytes 0x20..0x7E in a repeating pattern: clear of the XON and XOFF
// characters, which the line's default flow control would take for itself.
std::vector<uint8_t> TextPattern(size_t size, unsigned seed = 0);
