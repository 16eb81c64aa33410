#pragma once
// Records what a TComm delivers on the test's thread, which plays the owner.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "comm.h"

struct Delivered {
  uint32_t Number = 0;  // 1025 to 1029
  std::vector<uint8_t> Bytes;
  uint32_t Value = 0;
  bool Terminated = false;  // Buffer[BufferLength] was 0
  bool OpenAtDelivery = false;
};

class CommRecorder {
 public:
  explicit CommRecorder(TComm& comm);

  // Dispatches notifications as they arrive until `done` holds or `timeout`
  // passes; returns whether `done` held.
  bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
  // Dispatches whatever arrives during `period`.
  void PumpFor(std::chrono::milliseconds period);

  size_t Count(uint32_t number) const;
  std::vector<uint8_t> ReceivedBytes() const;
  std::vector<size_t> ChunkSizes() const;
  const std::vector<Delivered>& All() const { return delivered_; }
  void Clear() { delivered_.clear(); }

 private:
  TComm& comm_;
  std::vector<Delivered> delivered_;
};

inline constexpr std::chrono::milliseconds kPatience{10000};

// Offers one byte to WriteCommData until it is refused (the transmit thread
// has ended) or `timeout` passes; returns whether it was refused.
bool WaitUntilWritesRefused(TComm& comm, std::chrono::milliseconds timeout);
