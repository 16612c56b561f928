#include "platform/drawing_text.h"

#include <glib.h>
#include <pango/pangocairo.h>

#include <cstdint>

#include "platform/drawing_internal.h"
#include "platform/font_config.h"

namespace pic2jpg::platform {

struct Font {
  PangoFontDescription* description = nullptr;
  bool underline = false;
  bool strikeout = false;
};

void FontDeleter::operator()(Font* font) const {
  if (font == nullptr) return;
  if (font->description != nullptr) pango_font_description_free(font->description);
  delete font;
}

int FontPixelSize(int points) {
  if (points <= 0) return 0;
  int64_t pixels = (int64_t{points} * kTextDpi + 36) / 72;
  return pixels > INT32_MAX / PANGO_SCALE ? INT32_MAX / PANGO_SCALE : static_cast<int>(pixels);
}

FontPtr CreateFont(const FontSpec& request) {
  if (request.points <= 0 || request.points > kMaxFontPoints ||
      !FontFamilyAvailable(request.family)) {
    return nullptr;
  }
  FontPtr font(new Font);
  font->description = pango_font_description_new();
  pango_font_description_set_family(font->description, request.family.c_str());
  pango_font_description_set_absolute_size(font->description,
                                           FontPixelSize(request.points) * double{PANGO_SCALE});
  pango_font_description_set_weight(font->description,
                                    request.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(font->description,
                                   request.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  font->underline = request.underline;
  font->strikeout = request.strikeout;
  return font;
}

namespace {

enum class Rendering { kRaster, kVector };

// A layout of one line for drawing on `cr`. Raster text is hinted fully with
// whole-pixel advances and no antialiasing; vector text is unhinted with
// fractional advances. Caller unrefs.
PangoLayout* NewLayout(cairo_t* cr, const Font& font, std::string_view line, Rendering rendering) {
  PangoContext* context = pango_cairo_create_context(cr);
  pango_cairo_context_set_resolution(context, kTextDpi);
  cairo_font_options_t* options = cairo_font_options_create();
  if (rendering == Rendering::kRaster) {
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  } else {
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  }
  pango_cairo_context_set_font_options(context, options);
  cairo_font_options_destroy(options);
  pango_context_set_round_glyph_positions(context, rendering == Rendering::kRaster);

  PangoLayout* layout = pango_layout_new(context);
  g_object_unref(context);
  pango_layout_set_font_description(layout, font.description);
  // Line breaks in the text are shown, not obeyed: lines are split by the caller.
  pango_layout_set_single_paragraph_mode(layout, TRUE);
  if (font.underline || font.strikeout) {
    PangoAttrList* attributes = pango_attr_list_new();
    if (font.underline)
      pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    if (font.strikeout) pango_attr_list_insert(attributes, pango_attr_strikethrough_new(TRUE));
    pango_layout_set_attributes(layout, attributes);
    pango_attr_list_unref(attributes);
  }
  gchar* valid = g_utf8_make_valid(line.data(), static_cast<gssize>(line.size()));
  pango_layout_set_text(layout, valid, -1);
  g_free(valid);
  return layout;
}

// A 10 x 10 scratch surface with a context on it, for measuring.
struct Scratch {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 10, 10);
  cairo_t* cr = cairo_create(surface);
  Scratch() = default;
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  ~Scratch() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
  }
};

// The logical rectangle of a line measured on a scratch surface: in pixels
// for raster text, in Pango units for vector text.
PangoRectangle LogicalExtent(const Font& font, std::string_view line, Rendering rendering) {
  Scratch scratch;
  PangoLayout* layout = NewLayout(scratch.cr, font, line, rendering);
  PangoRectangle logical;
  if (rendering == Rendering::kRaster) {
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
  } else {
    pango_layout_get_extents(layout, nullptr, &logical);
  }
  g_object_unref(layout);
  return logical;
}

}  // namespace

TextExtent MeasureRasterText(const Font& font, std::string_view line) {
  const PangoRectangle logical = LogicalExtent(font, line, Rendering::kRaster);
  return {logical.width, logical.height};
}

void DrawRasterText(Canvas* canvas, const Font& font, int x, int y, std::string_view line,
                    Rgba glyph, Rgba back) {
  if (canvas == nullptr || canvas->surface == nullptr) return;
  cairo_t* cr = cairo_create(canvas->surface);
  PangoLayout* layout = NewLayout(cr, font, line, Rendering::kRaster);
  PangoRectangle logical;
  pango_layout_get_pixel_extents(layout, nullptr, &logical);
  // Source replaces destination under the (binary) coverage: every channel
  // of the touched pixels takes the colour, alpha included.
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  SetSourceRgba(cr, back);
  cairo_rectangle(cr, x + logical.x, y + logical.y, logical.width, logical.height);
  cairo_fill(cr);
  SetSourceRgba(cr, glyph);
  cairo_move_to(cr, x, y);
  pango_cairo_show_layout(cr, layout);
  g_object_unref(layout);
  cairo_destroy(cr);
  cairo_surface_flush(canvas->surface);
}

double MeasureVectorText(const Font& font, std::string_view line) {
  const PangoRectangle logical = LogicalExtent(font, line, Rendering::kVector);
  return static_cast<double>(logical.width) / PANGO_SCALE;
}

void DrawVectorText(Canvas* canvas, const Font& font, double x, double y, std::string_view line,
                    Rgba fill) {
  if (canvas == nullptr || canvas->surface == nullptr) return;
  cairo_t* cr = cairo_create(canvas->surface);
  PangoLayout* layout = NewLayout(cr, font, line, Rendering::kVector);
  cairo_move_to(cr, x, y);
  pango_cairo_layout_path(cr, layout);
  SetSourceRgba(cr, fill);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
  cairo_fill(cr);
  g_object_unref(layout);
  cairo_destroy(cr);
  cairo_surface_flush(canvas->surface);
}

}  // namespace pic2jpg::platform
