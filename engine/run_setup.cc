#include "engine/run_setup.h"

#include "engine/depth.h"
#include "engine/format_tables.h"
#include "engine/run_state.h"
#include "engine/watermark.h"
#include "platform/file_system.h"
#include "settings/settings.h"

namespace pic2jpg {
namespace {

bool g_run_font_loaded = false;

}  // namespace

ResizeCheck CheckResizeSize() {
  const TransformSettings& transform = g_settings.transform;
  if (transform.do_image_resize == 0) return ResizeCheck::kOk;
  if (transform.image_width == 0) return ResizeCheck::kZeroWidth;
  if (transform.image_height == 0) return ResizeCheck::kZeroHeight;
  return ResizeCheck::kOk;
}

WatermarkImageCheck CheckWatermarkImage(std::string* reason) {
  const WatermarkSettings& wm = g_settings.watermark;
  if (wm.do_watermark != 2) return WatermarkImageCheck::kOk;
  if (wm.image.empty()) return WatermarkImageCheck::kNoImage;
  if (fs::FileSize(wm.image) <= 0) return WatermarkImageCheck::kInvalidImage;
  std::string why;
  if (!LoadWatermarkImage(&why)) {
    if (reason != nullptr) *reason = why;
    return WatermarkImageCheck::kInvalidImage;
  }
  return WatermarkImageCheck::kOk;
}

void ReleaseRunWatermarkImage() { ReleaseWatermarkImage(); }

bool LoadRunWatermarkFont() {
  if (g_settings.watermark.do_watermark != 1) return true;
  ReleaseRunWatermarkFont();
  g_run_font_loaded = CreateWatermarkFont();
  return g_run_font_loaded;
}

void ReleaseRunWatermarkFont() {
  if (g_run_font_loaded && WatermarkFontExists()) ReleaseWatermarkFont();
  g_run_font_loaded = false;
}

void SetUpRunOutput(const std::string& extension) {
  RunState& run = g_run_state;
  run.codec_id = LookupOutputFormat(extension).codec_id;
  const int* depth = DepthSettingFor(extension);
  run.target_depth = depth != nullptr ? *depth : 0;
  run.save_flags = SaveFlagsFor(extension);
  run.auto_depth = run.target_depth == 0;
}

}  // namespace pic2jpg
