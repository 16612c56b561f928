// A decoded picture made small for a thumbnail.
#ifndef PIC2JPG_TOOLS_THUMBNAILER_SHRINK_H_
#define PIC2JPG_TOOLS_THUMBNAILER_SHRINK_H_

#include "pict/pict_reader.h"

namespace pic2jpg {

// The size a width x height picture takes within size x size: aspect kept,
// never enlarged, at least 1 x 1.
void ThumbnailSize(int width, int height, int size, int* thumb_width, int* thumb_height);

// Each thumbnail pixel is the mean of the picture's pixels it covers.
pict::Picture Shrink(const pict::Picture& picture, int size);

}  // namespace pic2jpg

#endif  // PIC2JPG_TOOLS_THUMBNAILER_SHRINK_H_
