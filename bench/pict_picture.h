// The synthetic PICT file of the conversion benchmarks.
#ifndef PIC2JPG_BENCH_PICT_PICTURE_H_
#define PIC2JPG_BENCH_PICT_PICTURE_H_

#include <string>

namespace pic2jpg::bench {

// A version 2 PICT file of one 32-bit PackBits pixel map, width x height,
// photograph-like: smooth gradients with fine texture, so that PackBits
// finds some runs but mostly literals, as in scanned images.
std::string MakePictFile(int width, int height);

}  // namespace pic2jpg::bench

#endif  // PIC2JPG_BENCH_PICT_PICTURE_H_
