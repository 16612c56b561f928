// Time of saving a 4000 x 3000 photograph-like 24-bit picture as a quality 95
// JPEG file, 4:4:4 and 4:2:0: the codec library in one pass against the
// strip-wise save on two threads, each into memory and into a file. Prints
// the median and the fastest of several runs, the strips chosen and the file sizes.
#include <FreeImage.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/jpeg_strips.h"
#include "platform/file_system.h"

namespace pic2jpg {
namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kRuns = 15;

// Smooth light, a few hard edges and fine sensor-like noise.
FIBITMAP* MakePhoto() {
  FIBITMAP* image = FreeImage_Allocate(kWidth, kHeight, 24);
  if (image == nullptr) return nullptr;
  uint32_t seed = 2024;
  for (int y = 0; y < kHeight; ++y) {
    BYTE* row = FreeImage_GetScanLine(image, y);
    for (int x = 0; x < kWidth; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const int noise = static_cast<int>(seed >> 29) - 4;
      const bool edge = ((x / 150) + (y / 110)) % 4 == 0;
      const int base = (x * 160 / kWidth + y * 80 / kHeight) + (edge ? 60 : 0);
      const int channel[3] = {base + noise, base * 3 / 4 + 30 + noise, 200 - base / 2 + noise};
      for (int c = 0; c < 3; ++c) {
        row[x * 3 + c] = static_cast<BYTE>(std::clamp(channel[c], 0, 255));
      }
    }
  }
  return image;
}

double Milliseconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// Times of each way of saving. The ways take turns run by run, so that load
// from elsewhere on the machine falls on all of them alike.
struct Timings {
  std::vector<double> ms;
  double Median() const {
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    return sorted.empty() ? -1 : sorted[sorted.size() / 2];
  }
  double Fastest() const { return ms.empty() ? -1 : *std::min_element(ms.begin(), ms.end()); }
};

template <typename Work>
bool Time(Work work, Timings* timings) {
  const auto start = std::chrono::steady_clock::now();
  if (!work()) return false;
  timings->ms.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
  return true;
}

int64_t OnePassBytes(FIBITMAP* image, int flags) {
  FIMEMORY* memory = FreeImage_OpenMemory();
  int64_t size = -1;
  if (FreeImage_SaveToMemory(FIF_JPEG, image, memory, flags)) size = FreeImage_TellMemory(memory);
  FreeImage_CloseMemory(memory);
  return size;
}

}  // namespace
}  // namespace pic2jpg

int main() {
  using namespace pic2jpg;
  FIBITMAP* image = MakePhoto();
  if (image == nullptr) return 1;
  const std::string folder = fs::MakeTempFolder("jpeg_save_bench");
  if (folder.empty()) return 1;
  const std::string path = folder + "out.jpg";
  std::printf("%d x %d 24-bit, quality 95, median of %d runs\n", kWidth, kHeight, kRuns);
  const struct {
    const char* name;
    int flags;
  } cases[] = {{"4:4:4", 95 | JPEG_SUBSAMPLING_444}, {"4:2:0", 95 | JPEG_SUBSAMPLING_420}};
  for (const auto& c : cases) {
    JpegStripPlan plan;
    PlanJpegStrips(kWidth, kHeight, c.flags, false, 2, &plan);
    std::string jpeg;
    Timings one_pass_memory, strips_memory, one_pass_file, strips_file;
    for (int run = 0; run < kRuns; ++run) {
      if (!Time([&] { return OnePassBytes(image, c.flags) > 0; }, &one_pass_memory) ||
          !Time([&] { return EncodeJpegInStrips(image, c.flags, &jpeg); }, &strips_memory) ||
          !Time([&] { return FreeImage_Save(FIF_JPEG, image, path.c_str(), c.flags) != FALSE; },
                &one_pass_file) ||
          !Time([&] { return SaveJpegInStrips(image, c.flags, path); }, &strips_file)) {
        std::printf("%s: a save failed\n", c.name);
        return 1;
      }
    }
    std::printf(
        "%s: strips=%d of %d rows (restart interval %d MCUs), can_use=%d\n"
        "  into memory: one pass %.1f ms (fastest %.1f), strips %.1f ms (fastest %.1f), x%.2f\n"
        "  into a file: one pass %.1f ms (fastest %.1f), strips %.1f ms (fastest %.1f), x%.2f\n"
        "  size: one pass %lld bytes, strips %zu bytes\n",
        c.name, plan.strip_count, plan.strip_height, plan.restart_interval,
        CanSaveJpegInStrips(image, c.flags) ? 1 : 0, one_pass_memory.Median(),
        one_pass_memory.Fastest(), strips_memory.Median(), strips_memory.Fastest(),
        one_pass_memory.Median() / strips_memory.Median(), one_pass_file.Median(),
        one_pass_file.Fastest(), strips_file.Median(), strips_file.Fastest(),
        one_pass_file.Median() / strips_file.Median(),
        static_cast<long long>(OnePassBytes(image, c.flags)), jpeg.size());
  }
  fs::RemoveTree(folder);
  FreeImage_Unload(image);
  return 0;
}
