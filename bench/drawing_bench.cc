// Time and memory of the frame and watermark steps on a large picture: a
// 4000 x 3000 photograph-sized picture gets a mitred frame at reduced
// opacity and a two-line antialiased text mark turned by 30 degrees, as the
// conversion chain runs them.
//
// Counters: peak_MiB is the resident high-water mark of the process during
// the steps, input_MiB the size of the given picture, and full_images the
// growth of the resident set over the steps (plus the given picture) in
// units of the given picture's size.
#include <FreeImage.h>

#include <cstdint>
#include <cstdio>

#include "engine/frame.h"
#include "engine/watermark.h"
#include "platform/font_config.h"
#include "platform/memory_usage.h"
#include "settings/settings.h"

#if __has_include(<benchmark/benchmark.h>)
#include <benchmark/benchmark.h>
#define PIC2JPG_HAVE_BENCHMARK 1
#endif

namespace pic2jpg {
namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

FIBITMAP* MakePicture() {
  FIBITMAP* image = FreeImage_Allocate(kWidth, kHeight, 24);
  if (image == nullptr) return nullptr;
  for (int y = 0; y < kHeight; ++y) {
    BYTE* row = FreeImage_GetScanLine(image, y);
    for (int x = 0; x < kWidth; ++x) {
      row[x * 3 + FI_RGBA_RED] = static_cast<BYTE>(x * 255 / kWidth);
      row[x * 3 + FI_RGBA_GREEN] = static_cast<BYTE>(y * 255 / kHeight);
      row[x * 3 + FI_RGBA_BLUE] = static_cast<BYTE>((x ^ y) & 255);
    }
  }
  return image;
}

// frame: draw the frame; text: draw the text mark; both as the chain would.
bool UseSettings(bool frame, bool text) {
  g_settings = Settings{};
  FrameSettings& f = g_settings.frame;
  f.do_frame = frame ? 1 : 0;
  f.solid_left = f.solid_right = 80;
  f.solid_top = 60;
  f.solid_bottom = 120;
  f.solid_left_color = "203040";
  f.solid_right_color = "405060";
  f.solid_top_color = "FFFFFF";
  f.solid_bottom_color = "000000";
  f.solid_opacity = 200;
  WatermarkSettings& wm = g_settings.watermark;
  wm.do_watermark = text ? 1 : 0;
  wm.text = "(c) Morvane Software%eol%converted with Morvane PIC to JPG";
  wm.font = "Arial";
  wm.font_size = 72;
  wm.text_antialiasing = 1;
  wm.text_alignment = 1;
  wm.text_padding = 20;
  wm.back_opacity = 96;
  wm.text_rotation = 30;
  wm.text_boundary = 1;
  wm.text_position = 8;
  platform::LoadBundledFontConfig();
  return !text || CreateWatermarkFont();
}

bool RunChain(FIBITMAP* image) {
  image = DrawFrame(image, kWidth, kHeight);
  image = DrawWatermark(image, kWidth, kHeight);
  if (image == nullptr) return false;
  bool ok = FreeImage_GetWidth(image) == kWidth && FreeImage_GetHeight(image) == kHeight;
  FreeImage_Unload(image);
  return ok;
}

struct Measure {
  double peak_mib = 0;
  double input_mib = 0;
  double full_images = 0;
};

// Runs the chain on `image` (which it takes over) and measures the memory.
Measure MeasureRun(FIBITMAP* image, bool* ok) {
  Measure m;
  double input_bytes = static_cast<double>(FreeImage_GetPitch(image)) * FreeImage_GetHeight(image);
  platform::ResetPeakResident();
  int64_t before = platform::ResidentBytes();
  *ok = RunChain(image);
  int64_t peak = platform::PeakResidentBytes();
  m.peak_mib = static_cast<double>(peak) / 1048576.0;
  m.input_mib = input_bytes / 1048576.0;
  m.full_images = static_cast<double>(peak - before) / input_bytes + 1.0;
  return m;
}

}  // namespace
}  // namespace pic2jpg

#ifdef PIC2JPG_HAVE_BENCHMARK

namespace {

using pic2jpg::Measure;

// Arguments: frame on, text mark on.
void BM_FrameAndMark(benchmark::State& state) {
  bool frame = state.range(0) != 0, text = state.range(1) != 0;
  if (!pic2jpg::UseSettings(frame, text)) {
    state.SkipWithError("the watermark font cannot be had");
    return;
  }
  Measure worst;
  for (auto _ : state) {
    state.PauseTiming();
    FIBITMAP* image = pic2jpg::MakePicture();
    if (image == nullptr) {
      state.SkipWithError("no memory for the picture");
      break;
    }
    state.ResumeTiming();
    bool ok = false;
    Measure m = pic2jpg::MeasureRun(image, &ok);
    if (!ok) {
      state.SkipWithError("a step lost the picture");
      break;
    }
    if (m.peak_mib > worst.peak_mib) worst = m;
  }
  state.counters["peak_MiB"] = worst.peak_mib;
  state.counters["input_MiB"] = worst.input_mib;
  state.counters["full_images"] = worst.full_images;
  pic2jpg::ReleaseWatermarkFont();
}

}  // namespace

BENCHMARK(BM_FrameAndMark)
    ->Name("FrameAndRotatedText4000x3000")
    ->ArgNames({"frame", "text"})
    ->Args({1, 1})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

BENCHMARK_MAIN();

#else

// Without Google Benchmark: one run of each case, printed.
int main() {
  const bool cases[][2] = {{true, true}, {true, false}, {false, true}};
  for (const auto& c : cases) {
    if (!pic2jpg::UseSettings(c[0], c[1])) return 1;
    FIBITMAP* image = pic2jpg::MakePicture();
    if (image == nullptr) return 1;
    bool ok = false;
    pic2jpg::Measure m = pic2jpg::MeasureRun(image, &ok);
    std::printf(
        "FrameAndRotatedText4000x3000/frame:%d/text:%d: %s peak_MiB=%.1f "
        "input_MiB=%.1f full_images=%.2f\n",
        c[0], c[1], ok ? "ok" : "FAILED", m.peak_mib, m.input_mib, m.full_images);
    pic2jpg::ReleaseWatermarkFont();
  }
  return 0;
}

#endif
