// The run's watermark font: created by the front end before a text-watermark
// run and released after it; the conversion worker only reads it.
#include "engine/watermark.h"
#include "settings/settings.h"

namespace pic2jpg {

namespace {

platform::FontPtr g_watermark_font;

}  // namespace

bool CreateWatermarkFont() {
  const WatermarkSettings& wm = g_settings.watermark;
  platform::FontSpec request;
  request.family = wm.font;
  request.points = wm.font_size;
  request.bold = wm.font_style == 1 || wm.font_style == 3;
  request.italic = wm.font_style == 2 || wm.font_style == 3;
  request.underline = wm.font_effect == 1;
  request.strikeout = wm.font_effect == 2;
  g_watermark_font = platform::CreateFont(request);
  return g_watermark_font != nullptr;
}

void ReleaseWatermarkFont() { g_watermark_font.reset(); }

bool WatermarkFontExists() { return g_watermark_font != nullptr; }

const platform::Font* WatermarkFont() { return g_watermark_font.get(); }

}  // namespace pic2jpg
