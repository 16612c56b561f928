// The container parser for Rez text: data and resource statements of type 'PICT', on arbitrary
// bytes: it must list or refuse cleanly, and every resource it hands over lies inside its bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz/container_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return pic2jpg::fuzz::CheckContainer(pic2jpg::pict::ListRez, data, size);
}
