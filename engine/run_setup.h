// Checks and set-up of a conversion run that the console and the desktop
// share. Each front end keeps its own messages and the order it reports in.
#ifndef PIC2JPG_ENGINE_RUN_SETUP_H_
#define PIC2JPG_ENGINE_RUN_SETUP_H_

#include <string>

namespace pic2jpg {

enum class ResizeCheck { kOk, kZeroWidth, kZeroHeight };
// With Transform/Do Image Resize on, a width or height of 0 is refused
// (width first), whatever the unit and Keep Aspect Ratio say.
ResizeCheck CheckResizeSize();

enum class WatermarkImageCheck { kOk, kNoImage, kInvalidImage };
// For an image watermark: a file must be named, hold more than 0 bytes and be
// a picture that can be loaded; it is then loaded for the run (in a helper
// process, see safe_load.h), and `reason` says why it could not be when
// given. kOk for the other watermark kinds.
WatermarkImageCheck CheckWatermarkImage(std::string* reason = nullptr);
// Releases the picture CheckWatermarkImage loaded; safe to repeat.
void ReleaseRunWatermarkImage();

// Loads the font of a text-watermark run (Watermark/Do Watermark 1); true
// when the run has no text watermark or the font was loaded.
bool LoadRunWatermarkFont();
// Releases the font when LoadRunWatermarkFont loaded one; safe to repeat.
void ReleaseRunWatermarkFont();

// Fills the run's output parameters for `extension`: the codec id, the
// target depth from the extension's depth key, the save flags, and the
// automatic depth when that key holds 0.
void SetUpRunOutput(const std::string& extension);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_RUN_SETUP_H_
