#include "platform/memory_advice.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace pic2jpg::platform {
namespace {

constexpr uintptr_t kLargePage = uintptr_t{2} << 20;

}  // namespace

void AdviseWholeBuffer(void* data, size_t size) {
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

size_t LargeBufferSize(size_t size) {
  return size > SIZE_MAX - kLargePage ? 0 : (size + kLargePage - 1) / kLargePage * kLargePage;
}

LargeBuffer AllocateLargeBuffer(size_t size) {
  // aligned_alloc wants a whole number of alignments.
  const size_t rounded = LargeBufferSize(size);
  if (rounded < size) return nullptr;
  auto* data = static_cast<uint8_t*>(std::aligned_alloc(kLargePage, rounded));
  if (data == nullptr) return nullptr;
  if (rounded >= kLargePage) (void)madvise(data, rounded, MADV_HUGEPAGE);
  return LargeBuffer(data);
}

void FaultInBuffer(uint8_t* data, size_t size) {
  const long page = sysconf(_SC_PAGESIZE);
  const size_t step = page > 0 ? static_cast<size_t>(page) : 4096;
  for (size_t at = 0; at < size; at += step) data[at] = 0;
}

}  // namespace pic2jpg::platform
