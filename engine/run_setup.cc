#include "engine/run_setup.h"

#include <algorithm>
#include <cstdlib>
#include <thread>
#include <utility>

#include "engine/watermark.h"
#include "platform/file_system.h"
#include "platform/process.h"

namespace pic2jpg {

ResizeCheck CheckResizeSize(const TransformSettings& transform) {
  if (transform.do_image_resize == 0) return ResizeCheck::kOk;
  if (transform.image_width == 0) return ResizeCheck::kZeroWidth;
  if (transform.image_height == 0) return ResizeCheck::kZeroHeight;
  return ResizeCheck::kOk;
}

WatermarkImageCheck CheckWatermarkImageNamed(const WatermarkSettings& mark) {
  if (mark.kind != WatermarkKind::kImage) return WatermarkImageCheck::kOk;
  if (mark.image.empty()) return WatermarkImageCheck::kNoImage;
  if (fs::FileSize(mark.image) <= 0) return WatermarkImageCheck::kInvalidImage;
  return WatermarkImageCheck::kOk;
}

WatermarkImageCheck CheckWatermarkImage(const WatermarkSettings& mark, RunResources* resources,
                                        std::string* reason) {
  const WatermarkImageCheck named = CheckWatermarkImageNamed(mark);
  if (mark.kind != WatermarkKind::kImage || named != WatermarkImageCheck::kOk) return named;
  std::string why;
  resources->watermark_picture = LoadMarkPicture(mark.image, FindPictureDecoding(), &why);
  if (resources->watermark_picture.canvas == nullptr) {
    if (reason != nullptr) *reason = why;
    return WatermarkImageCheck::kInvalidImage;
  }
  return WatermarkImageCheck::kOk;
}

PictureDecoding FindPictureDecoding() {
  PictureDecoding decoding;
  decoding.loader = FindHelperProgram("pic2jpg-load");
  ExternalConverter& converter = decoding.converter;
  const char* forced = std::getenv("PIC2JPG_CONVERTER");
  if (forced != nullptr && *forced != '\0') {
    const std::string name = forced;
    if (name == "none") return decoding;
    converter.program = platform::FindOnPath(name);
    converter.is_imagemagick = converter.program.ends_with("convert");
    converter.is_own_reader = converter.program.ends_with("/pict2tga");
    return decoding;
  }
  converter.program = FindHelperProgram("pict2tga");
  converter.is_own_reader = !converter.program.empty();
  if (!converter.program.empty()) return decoding;
  converter.program = platform::FindOnPath("convert");
  converter.is_imagemagick = !converter.program.empty();
  return decoding;
}

RunPlan PlanRun(const Settings& settings, std::vector<RunEntry> entries, RunNumbers numbers) {
  RunPlan plan;
  plan.settings = settings;
  plan.entries = std::move(entries);
  plan.counter = numbers.counter;
  plan.random_number = numbers.random_number;
  plan.decoding = FindPictureDecoding();
  if (plan.entries.size() > 1) {
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    plan.converter_processes = std::clamp(cores, 1, 4);
  }
  return plan;
}

bool LoadRunWatermarkFont(const WatermarkSettings& mark, RunResources* resources) {
  if (mark.kind != WatermarkKind::kText) return true;
  resources->watermark_font = CreateWatermarkFont(mark);
  return resources->watermark_font != nullptr;
}

}  // namespace pic2jpg
