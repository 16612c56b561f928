// compare_images A B: prints the size of both pictures and the PSNR of A
// against B (both flattened to 24-bit RGB), for checking conversions against
// reference decodes by hand or from scripts/corpus-report.
#include <FreeImage.h>

#include <cmath>
#include <cstdio>

namespace {

FIBITMAP* Load(const char* path) {
  FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path, 0);
  if (format == FIF_UNKNOWN) return nullptr;
  FIBITMAP* image = FreeImage_Load(format, path, 0);
  if (image == nullptr) return nullptr;
  FIBITMAP* rgb = FreeImage_ConvertTo24Bits(image);
  FreeImage_Unload(image);
  return rgb;
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
  double sum = 0;
  for (unsigned y = 0; y < h; ++y) {
    const BYTE* ra = FreeImage_GetScanLine(a, static_cast<int>(y));
    const BYTE* rb = FreeImage_GetScanLine(b, static_cast<int>(y));
    for (unsigned i = 0; i < w * 3; ++i) {
      double d = static_cast<double>(ra[i]) - static_cast<double>(rb[i]);
      sum += d * d;
    }
  }
  double mse = sum / (static_cast<double>(w) * h * 3);
  double psnr = mse <= 1e-10 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
  std::printf("%ux%u psnr %.2f\n", w, h, psnr);
  FreeImage_Unload(a);
  FreeImage_Unload(b);
  return 0;
}
