#include "bench/bench_support.h"

#include <cstdint>

#include "platform/memory_usage.h"

namespace pic2jpg::bench {

FIBITMAP* MakeGradientPicture(int width, int height) {
  FIBITMAP* image = FreeImage_Allocate(width, height, 24);
  if (image == nullptr) return nullptr;
  for (int y = 0; y < height; ++y) {
    BYTE* row = FreeImage_GetScanLine(image, y);
    for (int x = 0; x < width; ++x) {
      row[x * 3 + FI_RGBA_RED] = static_cast<BYTE>(x * 255 / width);
      row[x * 3 + FI_RGBA_GREEN] = static_cast<BYTE>(y * 255 / height);
      row[x * 3 + FI_RGBA_BLUE] = static_cast<BYTE>((x ^ y) & 255);
    }
  }
  return image;
}

Measure MeasureRun(FIBITMAP* image, bool (*work)(FIBITMAP*), bool* ok) {
  Measure m;
  double input_bytes = static_cast<double>(FreeImage_GetPitch(image)) * FreeImage_GetHeight(image);
  platform::ResetPeakResident();
  int64_t before = platform::ResidentBytes();
  *ok = work(image);
  int64_t peak = platform::PeakResidentBytes();
  m.peak_mib = static_cast<double>(peak) / 1048576.0;
  m.input_mib = input_bytes / 1048576.0;
  m.full_images = static_cast<double>(peak - before) / input_bytes + 1.0;
  return m;
}

}  // namespace pic2jpg::bench
