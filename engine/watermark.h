// Text and image watermarks. Ownership rules as in geometry.h.
//
// The mark is rendered on a canvas of its own (watermark_render.cc), handed
// to the codec library as a PNG image in memory, rotated, cut to fit, placed
// and composited over the picture (watermark.cc). A text mark needs the run's
// font (watermark_font.cc), created by the front end before the run.
#ifndef PIC2JPG_ENGINE_WATERMARK_H_
#define PIC2JPG_ENGINE_WATERMARK_H_

#include <FreeImage.h>

#include <string>
#include <vector>

#include "platform/drawing.h"
#include "platform/drawing_text.h"

namespace pic2jpg {

// Stamps the mark of Watermark/Do Watermark (1 text, 2 image) onto the
// picture, which keeps its size and comes back in 24 bits. When the mark
// cannot be rendered the picture comes back without it.
FIBITMAP* DrawWatermark(FIBITMAP* image, int width, int height);

// The font of a text-watermark run, from Watermark/Font, Font Size, Font Style
// and Font Effect. Created before the run; false when it cannot be had.
bool CreateWatermarkFont();
void ReleaseWatermarkFont();
bool WatermarkFontExists();
// The run's font; null when none was created.
const platform::Font* WatermarkFont();

// The picture of an image-watermark run, from Watermark/Image, loaded once
// before the run without running a decoder in this process; false with the
// reason when it cannot be had. Without it, each mark loads the file anew.
bool LoadWatermarkImage(std::string* reason);
void ReleaseWatermarkImage();
// The run's picture; null when none was loaded.
const platform::LoadedImage* WatermarkImage();
// Loads a picture file for a mark (any format the codec library reads, or
// PICT through our reader); no canvas, with the reason, on failure.
platform::LoadedImage LoadMarkPicture(const std::string& path, std::string* reason);

// Building blocks of the text mark.

// The text split at every "%eol%" (any letter case): n markers give n + 1
// lines. A text without a marker gives one line, the text itself.
std::vector<std::string> SplitWatermarkLines(const std::string& text);
// Left edge of a line of width line_width in a box of width box_width for
// Watermark/Text Alignment 0 (left), 1 (centre, halves away from zero) or 2
// (right); padding applies at the side the line is aligned to. Other
// alignments are treated as left.
int AlignedLineX(int alignment, int box_width, int line_width, int padding);

// The rendered mark of the current settings, before rotation; null when it
// cannot be rendered (no font, an empty box, an unreadable image file).
platform::CanvasPtr RenderTextMark();
platform::CanvasPtr RenderImageMark();

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_WATERMARK_H_
