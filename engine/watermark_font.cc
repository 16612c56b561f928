// The font of a text watermark: created once before a run and only read by
// the conversions of that run.
#include "engine/watermark.h"
#include "platform/font_config.h"
#include "text/ascii_case.h"

namespace pic2jpg {

namespace {

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

platform::FontPtr CreateWatermarkFont(const WatermarkSettings& mark) {
  platform::FontSpec request;
  request.family = WatermarkFamily(mark.font);
  request.points = mark.font_size;
  request.bold = mark.font_style == 1 || mark.font_style == 3;
  request.italic = mark.font_style == 2 || mark.font_style == 3;
  request.underline = mark.font_effect == 1;
  request.strikeout = mark.font_effect == 2;
  return platform::CreateFont(request);
}

}  // namespace pic2jpg
