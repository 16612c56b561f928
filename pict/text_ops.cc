// QuickDraw text: LongText, DHText, DVText and DHDVText draw a string at a
// location given absolutely or as a move from the previous string's
// location; fontName maps font numbers to names; lineJustify and glyphState
// only tune glyph placement and are read past. Glyphs are drawn with Pango,
// in the free face the font table (font_table.h) names for the picture's
// font, into a coverage mask that the text mode then paints in the
// foreground colour.
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "pict/decoder.h"
#include "pict/font_table.h"
#include "pict/mac_roman.h"
#include "pict/shape_mask.h"

namespace pic2jpg::pict {
namespace {

constexpr int kDefaultTextSize = 12;
constexpr double kMaxPixelSize = 2000;

enum Face {
  kBold = 1,
  kItalic = 2,
  kUnderline = 4,
  kOutline = 8,
  kShadow = 16,
  kCondense = 32,
  kExtend = 64
};

struct TextRun {
  std::string utf8;
  double x = 0;  // baseline origin, pixels
  double y = 0;
};

PangoLayout* MakeLayout(const Decoder& d, const TextRun& run, double* pixel_size) {
  const TextState& t = d.state.text;
  PangoFontMap* font_map = pango_cairo_font_map_get_default();
  PangoContext* context = pango_font_map_create_context(font_map);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  pango_cairo_context_set_font_options(context, options);
  cairo_font_options_destroy(options);
  PangoLayout* layout = pango_layout_new(context);
  g_object_unref(context);

  auto name = t.font_names.find(t.font);
  const std::string* font_name = name != t.font_names.end() ? &name->second : nullptr;
  const FontStandIn& font = FontFor(t.font, font_name);
  std::string family = FamilyToDraw(font, font_name != nullptr ? *font_name : font.name);
  double size = (t.size > 0 ? t.size : kDefaultTextSize) * t.ratio_v * d.canvas.scale_y;
  *pixel_size = std::clamp(size, 1.0, kMaxPixelSize);
  PangoFontDescription* desc = pango_font_description_new();
  pango_font_description_set_family(desc, family.c_str());
  pango_font_description_set_absolute_size(desc, *pixel_size * PANGO_SCALE);
  if ((t.face & kBold) || font.bold) pango_font_description_set_weight(desc, PANGO_WEIGHT_BOLD);
  if (t.face & kItalic) pango_font_description_set_style(desc, PANGO_STYLE_ITALIC);
  if (t.face & kCondense) pango_font_description_set_stretch(desc, PANGO_STRETCH_CONDENSED);
  if (t.face & kExtend) pango_font_description_set_stretch(desc, PANGO_STRETCH_EXPANDED);
  pango_layout_set_font_description(layout, desc);
  pango_font_description_free(desc);
  PangoAttrList* attrs = pango_attr_list_new();
  if (t.face & kUnderline) {
    pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
  }
  // ChExtra widens every character and SpExtra every space as well, in
  // picture units; the layout's horizontal unit is stretched by `sx`.
  double sx = t.ratio_h / t.ratio_v * d.canvas.scale_x / d.canvas.scale_y;
  double unit = d.canvas.scale_x / sx * PANGO_SCALE;
  auto spacing = [&](double extra, size_t from, size_t to) {
    PangoAttribute* attr = pango_attr_letter_spacing_new(
        static_cast<int>(std::lround(std::clamp(extra, -1e3, 1e3) * unit)));
    attr->start_index = static_cast<guint>(from);
    attr->end_index = static_cast<guint>(to);
    pango_attr_list_insert(attrs, attr);
  };
  if (t.char_extra != 0) spacing(t.char_extra, 0, run.utf8.size());
  if (t.space_extra != 0) {
    for (size_t i = 0; i < run.utf8.size(); ++i) {
      if (run.utf8[i] == ' ') spacing(t.space_extra + t.char_extra, i, i + 1);
    }
  }
  pango_layout_set_attributes(layout, attrs);
  pango_attr_list_unref(attrs);
  pango_layout_set_text(layout, run.utf8.c_str(), static_cast<int>(run.utf8.size()));
  return layout;
}

// A coordinate held to the int range (NaN gives 0).
int ToIntHeld(double v) {
  if (!(v > -2147483647.0)) return v != v ? 0 : -2147483647;
  if (v > 2147483647.0) return 2147483647;
  return static_cast<int>(v);
}

void DrawRun(Decoder* d, const TextRun& run) {
  const TextState& t = d->state.text;
  double pixel_size = 0;
  PangoLayout* layout = MakeLayout(*d, run, &pixel_size);
  PangoRectangle ink, logical;
  pango_layout_get_extents(layout, &ink, &logical);
  double baseline = pango_layout_get_baseline(layout) / static_cast<double>(PANGO_SCALE);
  double sx = t.ratio_h / t.ratio_v * d->canvas.scale_x / d->canvas.scale_y;
  double top = run.y - baseline;
  // Glyph area and character cell area in pixels, with room for outlines.
  double pad = 2 + pixel_size / 16;
  // Extents of hostile text (huge sizes and spacing) can pass the int range
  // when added up: the sums are taken in double and held to it.
  const double scale = PANGO_SCALE;
  RectF glyphs{run.x + sx * ink.x / scale - pad, top + ink.y / scale - pad,
               run.x + sx * (double(ink.x) + ink.width) / scale + pad,
               top + (double(ink.y) + ink.height) / scale + pad};
  QdRect cell{ToIntHeld(std::floor(top + logical.y / scale)), ToIntHeld(std::floor(run.x)),
              ToIntHeld(std::ceil(top + (double(logical.y) + logical.height) / scale)),
              ToIntHeld(std::ceil(run.x + sx * logical.width / scale))};
  if (IsPlaceholder(*d, cell)) {
    g_object_unref(layout);
    return;
  }
  int mode = t.mode & ~kDitherCopy;
  if (mode == kSrcCopy || mode == kPatCopy) {
    // Copy mode paints the character cells in the background colour first.
    PaintRegion(&d->canvas, RectRegion(cell), SolidPattern(false), kPatCopy, d->state.colours);
  }
  CoverageMask mask;
  bool outline = (t.face & (kOutline | kShadow)) != 0;
  bool drawn = MaskFromPath(
      &d->canvas, glyphs, CAIRO_FILL_RULE_WINDING,
      [&](cairo_t* cr) {
        cairo_translate(cr, run.x, top);
        cairo_scale(cr, sx, 1);
        cairo_move_to(cr, 0, 0);
        pango_cairo_layout_path(cr, layout);
        if (outline) {
          cairo_set_line_width(cr, std::max(1.0, pixel_size / 24));
          cairo_stroke_preserve(cr);
          cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
          cairo_fill(cr);
          cairo_new_path(cr);
        }
      },
      &mask);
  g_object_unref(layout);
  if (drawn) PaintMask(&d->canvas, mask, PenSource{}, t.mode, d->state.colours);
}

bool ReadFontName(Decoder* d) {
  ByteReader* in = &d->in;
  uint16_t length = ReadU16(in);
  ByteReader body = SubReader(in, length);
  if (!CheckRead(d, "a font name")) return false;
  int id = ReadS16(&body);
  int name_length = ReadU8(&body);
  if (body.failed || !body.Has(static_cast<size_t>(name_length))) return true;  // unusable, skipped
  std::string name = MacRomanToUtf8(body.Here(), static_cast<size_t>(name_length));
  d->state.text.font_names[id] = name;
  return true;
}

}  // namespace

bool DoTextOp(Decoder* d, int op) {
  ByteReader* in = &d->in;
  TextState& t = d->state.text;
  switch (op) {
    case 0x28:
      t.location = ReadPoint(in);
      break;
    // Moves from the previous string's location, 0 to 255 pixels.
    case 0x29:
      t.location.h += ReadU8(in);
      break;
    case 0x2A:
      t.location.v += ReadU8(in);
      break;
    case 0x2B:
      t.location.h += ReadU8(in);
      t.location.v += ReadU8(in);
      break;
    case 0x2C:
      return ReadFontName(d);
    default:
      return SkipOpcode(d, op);  // lineJustify, glyphState
  }
  int count = ReadU8(in);
  if (!Need(in, static_cast<size_t>(count))) return CheckRead(d, "text");
  TextRun run;
  run.utf8 = MacRomanToUtf8(in->Here(), static_cast<size_t>(count));
  in->pos += static_cast<size_t>(count);
  if (!CheckRead(d, "text")) return false;
  if (!d->options.draw_text || d->scanning || run.utf8.empty()) return true;
  QdPoint at = Shifted(*d, t.location);
  run.x = (at.h - d->canvas.origin_x) * d->canvas.scale_x;
  run.y = (at.v - d->canvas.origin_y) * d->canvas.scale_y;
  DrawRun(d, run);
  return true;
}

}  // namespace pic2jpg::pict
