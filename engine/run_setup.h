// Checks and set-up of a conversion run that the console and the desktop
// share. Each front end keeps its own messages and the order it reports in.
#ifndef PIC2JPG_ENGINE_RUN_SETUP_H_
#define PIC2JPG_ENGINE_RUN_SETUP_H_

#include <string>

#include "engine/convert.h"
#include "settings/settings.h"

namespace pic2jpg {

enum class ResizeCheck { kOk, kZeroWidth, kZeroHeight };
// With Transform/Do Image Resize on, a width or height of 0 is refused
// (width first), whatever the unit and Keep Aspect Ratio say.
ResizeCheck CheckResizeSize(const TransformSettings& transform);

enum class WatermarkImageCheck { kOk, kNoImage, kInvalidImage };
// For an image watermark: a file must be named, hold more than 0 bytes and be
// a picture that can be loaded; it is then loaded into `resources` for the
// run (in a helper process, see safe_load.h), and `reason` says why it could
// not be when given. kOk for the other watermark kinds.
WatermarkImageCheck CheckWatermarkImage(const WatermarkSettings& mark, RunResources* resources,
                                        std::string* reason = nullptr);

// The checks of CheckWatermarkImage that load nothing: kOk when no image
// watermark is asked for or a file of more than 0 bytes is named (the
// picture is then still to be loaded, see RunPlan::watermark_image).
WatermarkImageCheck CheckWatermarkImageNamed(const WatermarkSettings& mark);

// Loads the font of a text-watermark run (Watermark/Do Watermark 1) into
// `resources`; true when the run has no text watermark or the font loaded.
bool LoadRunWatermarkFont(const WatermarkSettings& mark, RunResources* resources);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_RUN_SETUP_H_
