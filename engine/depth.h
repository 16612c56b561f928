// Colour depth of the written file and the flags of the save call.
#ifndef PIC2JPG_ENGINE_DEPTH_H_
#define PIC2JPG_ENGINE_DEPTH_H_

#include <FreeImage.h>

#include <cstdint>
#include <string>

#include "engine/save_options.h"
#include "settings/settings.h"

namespace pic2jpg {

// The output parameters for `extension` under the Output settings.
SaveOptions SaveOptionsFor(const OutputSettings& output, const std::string& extension);

// First allowed depth of the format that is >= the source depth, else the
// last one; 0 for a format without depths.
int AutoDepth(const std::string& extension, int source_depth);

// The depth a picture of `source_depth` bits is saved with.
int TargetDepth(const SaveOptions& output, int source_depth);

// Converts the image to `target_depth` for the format `extension`. Takes
// ownership; returns the image to continue with, or null when no conversion
// to that depth exists.
FIBITMAP* ConvertToOutputDepth(FIBITMAP* image, const std::string& extension, int target_depth);

// Flags of the codec's save call for the format, from the Output settings.
int SaveFlagsFor(const OutputSettings& output, const std::string& extension);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_DEPTH_H_
