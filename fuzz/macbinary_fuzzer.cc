// The container parser for MacBinary headers, their CRC and lengths, and the fork inside, on
// arbitrary bytes: it must list or refuse cleanly, and every resource it hands over lies inside its
// bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz/container_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return pic2jpg::fuzz::CheckContainer(pic2jpg::pict::ListMacBinary, data, size);
}
