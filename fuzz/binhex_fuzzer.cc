// The container parser for BinHex 4.0 text: the 6-bit code, 0x90 runs, the header, the CRCs and the
// fork, on arbitrary bytes: it must list or refuse cleanly, and every resource it hands over lies
// inside its bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz/container_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return pic2jpg::fuzz::CheckContainer(pic2jpg::pict::ListBinHex, data, size);
}
