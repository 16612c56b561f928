// Time and memory of the slow image steps on a large picture: a 4000 x 3000
// photograph-sized picture rotated by 45 degrees and scaled down with the
// Lanczos filter, as the conversion chain runs them. The counters are those
// of bench_support.h.
#include <FreeImage.h>

#include <cstdint>

#include "bench/bench_support.h"
#include "engine/geometry.h"
#include "engine/tone.h"
#include "settings/settings.h"

namespace pic2jpg {
namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

FIBITMAP* MakePicture(int bpp) {
  FIBITMAP* image = bench::MakeGradientPicture(kWidth, kHeight);
  if (image == nullptr || bpp == 24) return image;
  FIBITMAP* converted =
      bpp == 32 ? FreeImage_ConvertTo32Bits(image) : FreeImage_ConvertTo8Bits(image);
  FreeImage_Unload(image);
  return converted;
}

void UseSettings(int rotation_type) {
  g_settings = Settings{};
  TransformSettings& t = g_settings.transform;
  t.do_image_rotation = 1;
  t.image_rotation = 45;
  t.image_rotation_type = static_cast<int8_t>(rotation_type);
  t.image_rotation_back_color = "FF8000";
  t.do_image_resize = 1;
  t.image_width = 1600;
  t.image_height = 1200;
  t.keep_aspect_ratio = 1;
  t.image_resize_algorithm = 5;  // Lanczos
}

// Rotation and resize as the conversion chain runs them; false when a step
// ended in null.
bool RunChain(FIBITMAP* image) {
  image = RotateImage(image, g_settings.transform);
  if (image == nullptr) return false;
  image = ResizeImage(image, static_cast<int>(FreeImage_GetWidth(image)),
                      static_cast<int>(FreeImage_GetHeight(image)), g_settings.transform);
  if (image == nullptr) return false;
  FreeImage_Unload(image);
  return true;
}

// The library's rotation in one call with the given picture kept until it
// returns, for comparison with the chain's step.
bool RunLibraryRotation(FIBITMAP* image) {
  RGBQUAD back{0x00, 0x80, 0xFF, 0};
  FIBITMAP* rotated = FreeImage_Rotate(image, 45, &back);
  FreeImage_Unload(image);
  if (rotated == nullptr) return false;
  FreeImage_Unload(rotated);
  return true;
}

}  // namespace
}  // namespace pic2jpg

namespace {

template <bool (*Work)(FIBITMAP*)>
void BM_Steps(benchmark::State& state) {
  int rotation_type = static_cast<int>(state.range(0));
  int bpp = static_cast<int>(state.range(1));
  pic2jpg::bench::TimeSteps(
      state,
      [&] {
        pic2jpg::UseSettings(rotation_type);
        return pic2jpg::MakePicture(bpp);
      },
      Work, "a step ended in null");
}

}  // namespace

// Arguments: rotation type (0 canvas, 1 about the centre), bits per pixel.
BENCHMARK_TEMPLATE(BM_Steps, pic2jpg::RunChain)
    ->Name("Rotate45ThenLanczos")
    ->ArgNames({"type", "bpp"})
    ->Args({0, 24})
    ->Args({0, 32})
    ->Args({0, 8})
    ->Args({1, 24})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_TEMPLATE(BM_Steps, pic2jpg::RunLibraryRotation)
    ->Name("LibraryRotate45OneCall")
    ->ArgNames({"type", "bpp"})
    ->Args({0, 24})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

BENCHMARK_MAIN();
