// Checks and set-up of a conversion run that the console and the desktop
// share. Each front end keeps its own messages and the order it reports in.
#ifndef PIC2JPG_ENGINE_RUN_SETUP_H_
#define PIC2JPG_ENGINE_RUN_SETUP_H_

#include <cstdint>
#include <string>
#include <vector>

#include "engine/convert.h"
#include "engine/run_controller.h"
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

// The programs that decode a run's pictures: the external converter (ours,
// pict2tga, beside the executable or on the search path; else ImageMagick's
// convert; the environment variable PIC2JPG_CONVERTER naming a program, or
// "none", overrides that for tests and odd installs) and the codec
// library's loader. Looked for here, once a run, and nowhere else.
PictureDecoding FindPictureDecoding();

// The name numbers a run starts from: %n% and %rnd% of its first file.
struct RunNumbers {
  int32_t counter = 1;
  int32_t random_number = 0;
};

// The plan of a run over `entries` with a copy of `settings`: its numbers,
// its decoding programs, and for a run of more than one file a converter
// process per core (at most four) decoding ahead of the worker. The front
// end adds the output parameters and folder and the loaded resources.
RunPlan PlanRun(const Settings& settings, std::vector<RunEntry> entries, RunNumbers numbers);

// Loads the font of a text-watermark run (Watermark/Do Watermark 1) into
// `resources`; true when the run has no text watermark or the font loaded.
bool LoadRunWatermarkFont(const WatermarkSettings& mark, RunResources* resources);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_RUN_SETUP_H_
