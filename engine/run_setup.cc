#include "engine/run_setup.h"

#include "engine/watermark.h"
#include "platform/file_system.h"

namespace pic2jpg {

ResizeCheck CheckResizeSize(const TransformSettings& transform) {
  if (transform.do_image_resize == 0) return ResizeCheck::kOk;
  if (transform.image_width == 0) return ResizeCheck::kZeroWidth;
  if (transform.image_height == 0) return ResizeCheck::kZeroHeight;
  return ResizeCheck::kOk;
}

WatermarkImageCheck CheckWatermarkImageNamed(const WatermarkSettings& mark) {
  if (mark.do_watermark != 2) return WatermarkImageCheck::kOk;
  if (mark.image.empty()) return WatermarkImageCheck::kNoImage;
  if (fs::FileSize(mark.image) <= 0) return WatermarkImageCheck::kInvalidImage;
  return WatermarkImageCheck::kOk;
}

WatermarkImageCheck CheckWatermarkImage(const WatermarkSettings& mark, RunResources* resources,
                                        std::string* reason) {
  const WatermarkImageCheck named = CheckWatermarkImageNamed(mark);
  if (mark.do_watermark != 2 || named != WatermarkImageCheck::kOk) return named;
  std::string why;
  resources->watermark_picture = LoadMarkPicture(mark.image, &why);
  if (resources->watermark_picture.canvas == nullptr) {
    if (reason != nullptr) *reason = why;
    return WatermarkImageCheck::kInvalidImage;
  }
  return WatermarkImageCheck::kOk;
}

bool LoadRunWatermarkFont(const WatermarkSettings& mark, RunResources* resources) {
  if (mark.do_watermark != 1) return true;
  resources->watermark_font = CreateWatermarkFont(mark);
  return resources->watermark_font != nullptr;
}

}  // namespace pic2jpg
