// The run's watermark font: created by the front end before a text-watermark
// run and released after it; the conversion worker only reads it.
#include "engine/watermark.h"
#include "platform/font_config.h"
#include "settings/settings.h"
#include "text/ascii_case.h"

namespace pic2jpg {

namespace {

platform::FontPtr g_watermark_font;

// The faces of the default font list are drawn with free faces that
// scripts/setup installs, named here rather than left to fontconfig's
// aliases: Arial with its metric twin; Tahoma and Verdana, humanist sans
// faces with a large x-height, with DejaVu Sans, the nearest in shape and
// width. Other names are the user's own choice of an installed font.
struct WatermarkFace {
  std::string_view name;
  platform::FontChoice face;
};
constexpr WatermarkFace kWatermarkFaces[] = {
    {"Arial", {"Liberation Sans", "fonts-liberation", "DejaVu Sans"}},
    {"Tahoma", {"DejaVu Sans", "fonts-dejavu-core", "Liberation Sans"}},
    {"Verdana", {"DejaVu Sans", "fonts-dejavu-core", "Liberation Sans"}},
};

// The family to ask for: the table's face when it lists the name (the
// stand-in, after a warning, when that face is missing), else the name.
std::string WatermarkFamily(const std::string& name) {
  for (const WatermarkFace& known : kWatermarkFaces) {
    if (EqualsAsciiNoCase(name, known.name)) return platform::InstalledFamily(known.face, name);
  }
  return name;
}

}  // namespace

bool CreateWatermarkFont() {
  const WatermarkSettings& wm = g_settings.watermark;
  platform::FontSpec request;
  request.family = WatermarkFamily(wm.font);
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
