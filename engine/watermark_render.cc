// Rendering the watermark on a canvas of its own: text lines in a box, or an
// image file. The canvases returned are the caller's.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/frame.h"
#include "engine/naming.h"
#include "engine/watermark.h"
#include "settings/settings.h"

namespace pic2jpg {

namespace {

constexpr char kLineBreak[] = "%eol%";
constexpr size_t kLineBreakSize = sizeof kLineBreak - 1;
// The drawing layer cannot make canvases with longer sides.
constexpr int64_t kMaxSide = 32767;
// A text box beyond this many pixels (a 5800 pixel square) is not drawn: it
// would be larger than nearly any photograph, and the antialiased path holds
// three canvases of its size before the turn enlarges it again.
constexpr int64_t kMaxTextBoxPixels = int64_t{1} << 25;

bool IsLineBreakAt(const std::string& text, size_t at) {
  if (at + kLineBreakSize > text.size()) return false;
  for (size_t i = 0; i < kLineBreakSize; ++i) {
    char c = text[at + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kLineBreak[i]) return false;
  }
  return true;
}

int ClampAlpha(int alpha) { return std::clamp(alpha, 0, 255); }

}  // namespace

std::vector<std::string> SplitWatermarkLines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < text.size();) {
    if (IsLineBreakAt(text, i)) {
      lines.emplace_back();
      i += kLineBreakSize;
    } else {
      lines.back().push_back(text[i++]);
    }
  }
  return lines;
}

int AlignedLineX(int alignment, int box_width, int line_width, int padding) {
  switch (alignment) {
    case 1:
      return static_cast<int>(std::lround((box_width - line_width) / 2.0));
    case 2:
      return box_width - line_width - padding;
    default:
      return padding;
  }
}

// The box is measured with the raster font whichever way the text is drawn:
// with line breaks, every line is at least 10 pixels wide and high and lines
// are one line height plus Font Leading apart; a single line is measured as
// it is. Text Padding surrounds the text on every side.
platform::CanvasPtr RenderTextMark(const WatermarkJob& job) {
  const platform::Font* font = job.font;
  if (font == nullptr || job.mark == nullptr) return nullptr;
  const WatermarkSettings& wm = *job.mark;
  const std::string& text = job.text;
  const std::vector<std::string> lines = SplitWatermarkLines(text);
  const bool broken = lines.size() > 1;
  const int64_t padding = wm.text_padding;

  int64_t box_width = 0, box_height = 0, line_step = 0;
  if (broken) {
    int64_t line_height = 10;
    box_width = 10;
    for (const std::string& line : lines) {
      platform::TextExtent extent = platform::MeasureRasterText(*font, line);
      box_width = std::max<int64_t>(box_width, extent.width);
      line_height = std::max<int64_t>(line_height, extent.height);
    }
    line_step = line_height + wm.font_leading;
    box_height = line_height + static_cast<int64_t>(lines.size() - 1) * line_step;
  } else {
    platform::TextExtent extent = platform::MeasureRasterText(*font, text);
    box_width = extent.width;
    box_height = extent.height;
  }
  box_width += 2 * padding;
  box_height += 2 * padding;
  if (box_width <= 0 || box_height <= 0 || box_width > kMaxSide || box_height > kMaxSide ||
      box_width * box_height > kMaxTextBoxPixels) {
    return nullptr;
  }
  const int bw = static_cast<int>(box_width), bh = static_cast<int>(box_height);
  const int pad = static_cast<int>(padding);
  const uint32_t glyph = ParseHexColourAlpha(wm.font_color, ClampAlpha(wm.text_opacity));
  const uint32_t back = ParseHexColourAlpha(wm.back_color, ClampAlpha(wm.back_opacity));
  auto line_y = [&](size_t i) {
    return static_cast<double>(padding + static_cast<int64_t>(i) * line_step);
  };

  if (wm.text_antialiasing == 0) {
    // Raster text writes glyph and box colours with their own alphas
    // straight into the canvas.
    platform::CanvasPtr canvas = platform::CreateCanvas(bw, bh);
    if (canvas == nullptr) return nullptr;
    platform::FloodFill(canvas.get(), 1, 1, back);
    if (!broken) {
      platform::DrawRasterText(canvas.get(), *font, pad, pad, text, glyph, back);
      return canvas;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
      int width = platform::MeasureRasterText(*font, lines[i]).width;
      int x = AlignedLineX(wm.text_alignment, bw, width, pad);
      platform::DrawRasterText(canvas.get(), *font, x, static_cast<int>(line_y(i)), lines[i], glyph,
                               back);
    }
    return canvas;
  }

  // Antialiased text: the box and the glyphs are drawn opaque on canvases of
  // their own and then laid over each other with their opacities.
  platform::CanvasPtr box = platform::CreateCanvas(bw, bh);
  platform::CanvasPtr glyphs = platform::CreateCanvas(bw, bh);
  platform::CanvasPtr canvas = platform::CreateCanvas(bw, bh);
  if (box == nullptr || glyphs == nullptr || canvas == nullptr) return nullptr;
  platform::FillCanvas(box.get(), ParseHexColourAlpha(wm.back_color, 255));
  const uint32_t fill = ParseHexColourAlpha(wm.font_color, 255);
  if (!broken) {
    platform::DrawVectorText(glyphs.get(), *font, pad, pad, text, fill);
  } else {
    for (size_t i = 0; i < lines.size(); ++i) {
      int width = static_cast<int>(std::lround(platform::MeasureVectorText(*font, lines[i])));
      int x = AlignedLineX(wm.text_alignment, bw, width, pad);
      platform::DrawVectorText(glyphs.get(), *font, x, line_y(i), lines[i], fill);
    }
  }
  platform::PaintCanvas(canvas.get(), *box, ClampAlpha(wm.back_opacity));
  platform::PaintCanvas(canvas.get(), *glyphs, ClampAlpha(wm.text_opacity));
  return canvas;
}

// A picture without alpha stands on an opaque black box, so that a reduced
// opacity darkens it rather than letting the photo through; a picture with
// alpha keeps its transparency. Image Opacity applies in colour and in grey.
platform::CanvasPtr RenderImageMark(const WatermarkJob& job) {
  if (job.mark == nullptr) return nullptr;
  const WatermarkSettings& wm = *job.mark;
  // The picture is loaded when the run is planned; a job without one has
  // no image mark.
  const platform::LoadedImage* loaded = job.picture;
  if (wm.image.empty() || loaded == nullptr || loaded->canvas == nullptr) return nullptr;
  platform::CanvasPtr canvas = platform::CreateCanvas(platform::CanvasWidth(*loaded->canvas),
                                                      platform::CanvasHeight(*loaded->canvas));
  if (canvas == nullptr) return nullptr;
  if (loaded->bits_per_pixel != 32)
    platform::FillCanvas(canvas.get(), platform::MakeRgba(0, 0, 0, 255));
  const int opacity = ClampAlpha(wm.image_opacity);
  bool painted = wm.image_greyscale != 0
                     ? platform::PaintCanvasGrey(canvas.get(), *loaded->canvas, opacity)
                     : platform::PaintCanvas(canvas.get(), *loaded->canvas, opacity);
  return painted ? std::move(canvas) : nullptr;
}

}  // namespace pic2jpg
