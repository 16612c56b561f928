// The font of a text watermark: created once before a run and only read by
// the conversions of that run.
#include "engine/watermark.h"

namespace pic2jpg {

platform::FontPtr CreateWatermarkFont(const WatermarkSettings& mark) {
  platform::FontSpec request;
  request.family = mark.font;
  request.points = mark.font_size;
  request.bold = mark.font_style == 1 || mark.font_style == 3;
  request.italic = mark.font_style == 2 || mark.font_style == 3;
  request.underline = mark.font_effect == 1;
  request.strikeout = mark.font_effect == 2;
  return platform::CreateFont(request);
}

}  // namespace pic2jpg
