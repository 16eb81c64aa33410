#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>

namespace stats {

struct FreeLarge {
  void operator()(void* p) const { std::free(p); }
};
template <typename T>
using LargeArray = std::unique_ptr<T[], FreeLarge>;

// At least `bytes` of 2 MiB-aligned memory that the system may
// back with huge pages: a million samples otherwise cost some 20,000 page
// faults. None for 0 bytes; throws std::bad_alloc when memory runs out, as
// new does.
void* AllocateLarge(size_t bytes);

template <typename T>
LargeArray<T> MakeLargeArray(size_t count) {
  return LargeArray<T>(static_cast<T*>(AllocateLarge(count * sizeof(T))));
}

}  // namespace stats
