// The container parser for a resource fork on its own (the header and the map), on arbitrary bytes:
// it must list or refuse cleanly, and every resource it hands over lies inside its bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz/container_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return pic2jpg::fuzz::CheckContainer(pic2jpg::pict::ListRawFork, data, size);
}
