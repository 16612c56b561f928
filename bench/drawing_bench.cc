// Time and memory of the frame and watermark steps on a large picture: a
// 4000 x 3000 photograph-sized picture gets a mitred frame at reduced
// opacity and a two-line antialiased text mark turned by 30 degrees, as the
// conversion chain runs them. The counters are those of bench_support.h.
#include <FreeImage.h>

#include "bench/bench_support.h"
#include "engine/frame.h"
#include "engine/watermark.h"
#include "settings/settings.h"

namespace pic2jpg {
namespace {

platform::FontPtr g_font;

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

FIBITMAP* MakePicture() { return bench::MakeGradientPicture(kWidth, kHeight); }

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
  wm.kind = text ? WatermarkKind::kText : WatermarkKind::kNone;
  wm.text = "(c) Morvane Software%eol%converted with Morvane PIC to JPG";
  wm.font = "Arial";
  wm.font_size = 72;
  wm.text_antialiasing = 1;
  wm.text_alignment = 1;
  wm.text_padding = 20;
  wm.back_opacity = 96;
  wm.text_place.rotation = 30;
  wm.text_place.boundary = 1;
  wm.text_place.position = 8;
  g_font = CreateWatermarkFont(wm);
  return !text || g_font != nullptr;
}

bool RunChain(FIBITMAP* image) {
  image = DrawFrame(image, g_settings.frame);
  WatermarkJob mark;
  mark.mark = &g_settings.watermark;
  mark.frame = &g_settings.frame;
  mark.font = g_font.get();
  mark.text = g_settings.watermark.text;
  image = DrawWatermark(image, mark);
  if (image == nullptr) return false;
  bool ok = FreeImage_GetWidth(image) == kWidth && FreeImage_GetHeight(image) == kHeight;
  FreeImage_Unload(image);
  return ok;
}

}  // namespace
}  // namespace pic2jpg

namespace {

// Arguments: frame on, text mark on.
void BM_FrameAndMark(benchmark::State& state) {
  bool frame = state.range(0) != 0, text = state.range(1) != 0;
  if (!pic2jpg::UseSettings(frame, text)) {
    state.SkipWithError("the watermark font cannot be had");
    return;
  }
  pic2jpg::bench::TimeSteps(state, pic2jpg::MakePicture, pic2jpg::RunChain,
                            "a step lost the picture");
  pic2jpg::g_font.reset();
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
