#include "tools/compare_images/psnr.h"

#include <cmath>

namespace pic2jpg {

double Psnr(FIBITMAP* a, FIBITMAP* b) {
  if (a == nullptr || b == nullptr || FreeImage_GetWidth(a) != FreeImage_GetWidth(b) ||
      FreeImage_GetHeight(a) != FreeImage_GetHeight(b)) {
    return -1;
  }
  FIBITMAP* ca = FreeImage_ConvertTo24Bits(a);
  FIBITMAP* cb = FreeImage_ConvertTo24Bits(b);
  if (ca == nullptr || cb == nullptr) {
    if (ca != nullptr) FreeImage_Unload(ca);
    if (cb != nullptr) FreeImage_Unload(cb);
    return -1;
  }
  double sum = 0;
  const unsigned w = FreeImage_GetWidth(ca), h = FreeImage_GetHeight(ca);
  for (unsigned y = 0; y < h; ++y) {
    const BYTE* ra = FreeImage_GetScanLine(ca, static_cast<int>(y));
    const BYTE* rb = FreeImage_GetScanLine(cb, static_cast<int>(y));
    for (unsigned i = 0; i < w * 3; ++i) {
      double d = static_cast<double>(ra[i]) - static_cast<double>(rb[i]);
      sum += d * d;
    }
  }
  FreeImage_Unload(ca);
  FreeImage_Unload(cb);
  double mse = sum / (static_cast<double>(w) * h * 3);
  if (mse <= 1e-10) return 99.0;
  return 10.0 * std::log10(255.0 * 255.0 / mse);
}

}  // namespace pic2jpg
