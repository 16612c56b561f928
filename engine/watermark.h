// Text and image watermarks. Ownership rules as in geometry.h.
//
// The mark is rendered on a canvas of its own (watermark_render.cc), handed
// to the codec library as a PNG image in memory, rotated, cut to fit, placed
// and composited over the picture (watermark.cc). A text mark needs the run's
// font (watermark_font.cc) and an image mark its picture (watermark_image.cc),
// both loaded once before the run.
#ifndef PIC2JPG_ENGINE_WATERMARK_H_
#define PIC2JPG_ENGINE_WATERMARK_H_

#include <FreeImage.h>

#include <string>
#include <vector>

#include "engine/external_converter.h"
#include "platform/drawing.h"
#include "platform/drawing_text.h"
#include "settings/settings.h"

namespace pic2jpg {

// What one file's mark is drawn from: the settings, the run's font (text
// marks) or picture (image marks), and the mark's text with its tokens
// already replaced for this file. The pointers stay the caller's.
struct WatermarkJob {
  const WatermarkSettings* mark = nullptr;
  const FrameSettings* frame = nullptr;  // a mark may keep inside the frame
  const platform::Font* font = nullptr;
  const platform::LoadedImage* picture = nullptr;
  std::string text;
};

// Stamps the mark of Watermark/Do Watermark (1 text, 2 image) onto the
// picture, which keeps its size and comes back in 24 bits. When the mark
// cannot be rendered the picture comes back without it.
FIBITMAP* DrawWatermark(FIBITMAP* image, const WatermarkJob& job);

// The font of a text-watermark run, from Watermark/Font, Font Size, Font Style
// and Font Effect; null when it cannot be had.
platform::FontPtr CreateWatermarkFont(const WatermarkSettings& mark);

// Loads a picture file for a mark (any format the codec library reads, or
// PICT through our reader) without running a decoder in this process, the
// programs as `decoding` names them; no canvas, with the reason, on failure.
platform::LoadedImage LoadMarkPicture(const std::string& path, const PictureDecoding& decoding,
                                      std::string* reason);

// Building blocks of the text mark.

// The text split at every "%eol%" (any letter case): n markers give n + 1
// lines. A text without a marker gives one line, the text itself.
std::vector<std::string> SplitWatermarkLines(const std::string& text);
// Left edge of a line of width line_width in a box of width box_width for
// Watermark/Text Alignment 0 (left), 1 (centre, halves away from zero) or 2
// (right); padding applies at the side the line is aligned to. Other
// alignments are treated as left.
int AlignedLineX(int alignment, int box_width, int line_width, int padding);

// The rendered mark, before rotation; null when it cannot be rendered (no
// font, an empty box, an unreadable image file). Without the run's picture,
// the image mark loads Watermark/Image itself.
platform::CanvasPtr RenderTextMark(const WatermarkJob& job);
platform::CanvasPtr RenderImageMark(const WatermarkJob& job);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_WATERMARK_H_
