// compare_images A B: prints the size of both pictures and the PSNR of A
// against B (both flattened to 24-bit RGB), for checking conversions against
// reference decodes by hand or from scripts/corpus-report.
#include <FreeImage.h>

#include <cstdio>

#include "tools/compare_images/psnr.h"

namespace {

FIBITMAP* Load(const char* path) {
  FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path, 0);
  if (format == FIF_UNKNOWN) return nullptr;
  return FreeImage_Load(format, path, 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: compare_images IMAGE REFERENCE\n", stderr);
    return 2;
  }
  FIBITMAP* a = Load(argv[1]);
  FIBITMAP* b = Load(argv[2]);
  if (a == nullptr || b == nullptr) {
    std::printf("unreadable\n");
    return 1;
  }
  unsigned w = FreeImage_GetWidth(a), h = FreeImage_GetHeight(a);
  unsigned rw = FreeImage_GetWidth(b), rh = FreeImage_GetHeight(b);
  if (w != rw || h != rh) {
    std::printf("%ux%u reference %ux%u size-differs\n", w, h, rw, rh);
    return 1;
  }
  double psnr = pic2jpg::Psnr(a, b);
  std::printf("%ux%u psnr %.2f\n", w, h, psnr);
  FreeImage_Unload(a);
  FreeImage_Unload(b);
  return 0;
}
