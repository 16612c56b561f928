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
  platform::FontSpec spec;
  spec.family = wm.font;
  spec.points = wm.font_size;
  spec.bold = wm.font_style == 1 || wm.font_style == 3;
  spec.italic = wm.font_style == 2 || wm.font_style == 3;
  spec.underline = wm.font_effect == 1;
  spec.strikeout = wm.font_effect == 2;
  g_watermark_font = platform::CreateFont(spec);
  return g_watermark_font != nullptr;
}

void ReleaseWatermarkFont() { g_watermark_font.reset(); }

bool WatermarkFontExists() { return g_watermark_font != nullptr; }

const platform::Font* WatermarkFont() { return g_watermark_font.get(); }

}  // namespace pic2jpg
