// Hints to the system about how large buffers will be used. Hints only:
// nothing here fails or changes what the memory holds.
#ifndef PIC2JPG_PLATFORM_MEMORY_ADVICE_H_
#define PIC2JPG_PLATFORM_MEMORY_ADVICE_H_

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace pic2jpg::platform {

// Asks for large pages behind a large buffer that is about to be filled as
// a whole (a picture's pixels): far fewer page faults when it is first
// written. Call before the first write; small buffers are left alone.
void AdviseWholeBuffer(void* data, size_t size);

// For a process that handles many pictures one after another: the memory a
// picture lets go of stays with the process for the next one, instead of
// going back to the system and being faulted in again, page by page, on the
// next first write. Only buffers of up to kReusedBufferBytes are kept so;
// larger ones still come and go.
constexpr size_t kReusedBufferBytes = size_t{32} << 20;
void ReuseFreedMemory();

// A buffer that starts on a large-page boundary and is advised as above: a
// few faults fill it, where a fresh buffer of small pages faults every 4 KiB
// (costly on a virtual machine). Left uninitialised.
struct FreeLargeBuffer {
  void operator()(uint8_t* data) const { std::free(data); }
};
using LargeBuffer = std::unique_ptr<uint8_t[], FreeLargeBuffer>;
// Null when the memory is not there. The buffer holds LargeBufferSize(size)
// bytes: whole large pages.
LargeBuffer AllocateLargeBuffer(size_t size);
size_t LargeBufferSize(size_t size);
// Writes a zero on every page of the buffer's first `size` bytes, so that a
// thread with nothing else to do takes their first faults, not the one that
// fills them later.
void FaultInBuffer(uint8_t* data, size_t size);

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_MEMORY_ADVICE_H_
