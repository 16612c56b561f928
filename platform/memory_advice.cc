#include "platform/memory_advice.h"

#include <malloc.h>
#include <sys/mman.h>

#include <cstdint>

namespace pic2jpg::platform {

void AdviseWholeBuffer(void* data, size_t size) {
  constexpr uintptr_t kLargePage = uintptr_t{2} << 20;
  if (data == nullptr || size < 4 * kLargePage) return;
  // Only whole large pages inside the buffer.
  uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kLargePage - 1) & ~(kLargePage - 1);
  uintptr_t end = (reinterpret_cast<uintptr_t>(data) + size) & ~(kLargePage - 1);
  if (end > begin) (void)madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

void ReuseFreedMemory() {
  // Fixing the threshold also ends glibc's own adjustment of it.
  (void)mallopt(M_MMAP_THRESHOLD, static_cast<int>(kReusedBufferBytes));
  (void)mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * kReusedBufferBytes));
}

}  // namespace pic2jpg::platform
