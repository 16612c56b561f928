// Colour depth of the written file and the flags of the save call.
#ifndef PIC2JPG_ENGINE_DEPTH_H_
#define PIC2JPG_ENGINE_DEPTH_H_

#include <FreeImage.h>

#include <string>

namespace pic2jpg {

// First allowed depth of the format that is >= the source depth, else the
// last one; 0 for a format without depths.
int AutoDepth(const std::string& extension, int source_depth);

// Converts the image to the run's target depth (recomputed from the source
// depth when the run is on automatic depth). Takes ownership; returns the
// image to continue with, or null when no conversion to that depth exists.
FIBITMAP* ConvertToOutputDepth(FIBITMAP* image);

// Flags of the codec's save call for the format, from the Output settings.
int SaveFlagsFor(const std::string& extension);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_DEPTH_H_
