#include "large_blocks.h"

#include <new>

#include <sys/mman.h>

namespace stats {

void* AllocateLarge(size_t bytes) {
  if (bytes == 0) return nullptr;
  constexpr size_t kHuge = size_t{2} << 20;
  const size_t rounded = (bytes + kHuge - 1) / kHuge * kHuge;
  void* p = std::aligned_alloc(kHuge, rounded);
  if (p == nullptr) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
  // Only advice: where huge pages are off, ordinary pages serve.
  madvise(p, rounded, MADV_HUGEPAGE);
#endif
  return p;
}

}  // namespace stats
