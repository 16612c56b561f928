// The checks the container fuzz targets make on a listing: a resource that
// can be converted lies inside the bytes it points into, one that cannot
// says why, and a listing of no container lists nothing.
#ifndef PIC2JPG_FUZZ_CONTAINER_CHECKS_H_
#define PIC2JPG_FUZZ_CONTAINER_CHECKS_H_

#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "pict/container_formats.h"
#include "pict/pict_containers.h"

namespace pic2jpg::fuzz {

// Runs one parser on the input and checks what it lists.
inline int CheckContainer(bool (*list)(const uint8_t*, size_t, pict::ContainerListing*),
                          const uint8_t* data, size_t size) {
  pict::ContainerListing listing;
  const bool recognised = list(data, size, &listing);
  Check(recognised || (listing.resources.empty() && listing.problem.empty()),
        "bytes of another kind list nothing");
  const size_t limit = listing.decoded.empty() ? size : listing.decoded.size();
  for (const pict::PictResource& r : listing.resources) {
    if (!r.skipped.empty()) continue;
    Check(r.size > 0 && r.offset <= limit && r.size <= limit - r.offset,
          "a resource lies inside its bytes");
  }
  return 0;
}

}  // namespace pic2jpg::fuzz

#endif  // PIC2JPG_FUZZ_CONTAINER_CHECKS_H_
