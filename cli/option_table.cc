#include "cli/option_table.h"

#include <limits>

#include "cli/keywords.h"
#include "cli/number_reading.h"
#include "settings/settings.h"
#include "text/ascii_scan.h"

namespace pic2jpg {
namespace {

using VT = ValueType;
using OA = OptionAction;

#define FIELD(member) [] { return FieldRef(&g_settings.member); }
#define SETS(assignment) [] { g_settings.assignment; }

// A settings option; `k` is the keyword kind (-1 for none).
#define SETTING(name, type, k, member, sets) \
  OptionSpec { name, nullptr, OA::kSetting, type, k, FIELD(member), 0, sets }
#define FLAG(name, member, value) \
  OptionSpec { name, nullptr, OA::kSetting, VT::kFlag, -1, FIELD(member), value, nullptr }

const OptionSpec kOptions[] = {
    {"--INPUT", "-I", OA::kInput, VT::kText, -1, nullptr, 0, nullptr},
    {"--OUTPUT", "-O", OA::kOutput, VT::kText, -1, nullptr, 0, nullptr},
    {"--CONVERSION", "-C", OA::kConversion, VT::kText, -1, nullptr, 0, nullptr},

    SETTING("--DDS-LOAD-AS", VT::kKeyword, kKindDdsLoadAs, input.dds_load_as, nullptr),
    SETTING("--RAW-LOAD-AS", VT::kKeyword, kKindRawLoadAs, input.raw_load_as, nullptr),
    SETTING("--GIF-FRAME-LOADING", VT::kKeyword, kKindFrameLoading, input.gif_frame_loading,
            nullptr),
    SETTING("--ICO-FRAME-LOADING", VT::kKeyword, kKindFrameLoading, input.ico_frame_loading,
            nullptr),
    SETTING("--TIFF-FRAME-LOADING", VT::kKeyword, kKindFrameLoading, input.tiff_frame_loading,
            nullptr),
    SETTING("--RAW-HEADER-SIZE", VT::kInteger, -1, input.raw_header_size, nullptr),
    SETTING("--RAW-WIDTH", VT::kInteger, -1, input.raw_image_width, nullptr),
    SETTING("--RAW-HEIGHT", VT::kInteger, -1, input.raw_image_height, nullptr),
    SETTING("--RAW-TONE-MAPPING", VT::kKeyword, kKindRawToneMapping, input.raw_tone_mapping,
            nullptr),

    SETTING("--BMP-BPP", VT::kInteger, -1, output.bmp_bpp, nullptr),
    SETTING("--DDS-BPP", VT::kInteger, -1, output.dds_bpp, nullptr),
    SETTING("--EXR-BPP", VT::kInteger, -1, output.exr_bpp, nullptr),
    SETTING("--GIF-BPP", VT::kInteger, -1, output.gif_bpp, nullptr),
    SETTING("--HDR-BPP", VT::kInteger, -1, output.hdr_bpp, nullptr),
    SETTING("--ICO-BPP", VT::kInteger, -1, output.ico_bpp, nullptr),
    SETTING("--J2K-BPP", VT::kInteger, -1, output.j2k_bpp, nullptr),
    SETTING("--JNG-BPP", VT::kInteger, -1, output.jng_bpp, nullptr),
    SETTING("--JP2-BPP", VT::kInteger, -1, output.jp2_bpp, nullptr),
    SETTING("--JPG-BPP", VT::kInteger, -1, output.jpg_bpp, nullptr),
    SETTING("--JXR-BPP", VT::kInteger, -1, output.jxr_bpp, nullptr),
    SETTING("--PBM-BPP", VT::kInteger, -1, output.pbm_bpp, nullptr),
    SETTING("--PCX-BPP", VT::kInteger, -1, output.pcx_bpp, nullptr),
    SETTING("--PFM-BPP", VT::kInteger, -1, output.pfm_bpp, nullptr),
    SETTING("--PGM-BPP", VT::kInteger, -1, output.pgm_bpp, nullptr),
    SETTING("--PNG-BPP", VT::kInteger, -1, output.png_bpp, nullptr),
    SETTING("--PPM-BPP", VT::kInteger, -1, output.ppm_bpp, nullptr),
    SETTING("--PSD-BPP", VT::kInteger, -1, output.psd_bpp, nullptr),
    SETTING("--TGA-BPP", VT::kInteger, -1, output.tga_bpp, nullptr),
    SETTING("--TIFF-BPP", VT::kInteger, -1, output.tiff_bpp, nullptr),
    SETTING("--WBMP-BPP", VT::kInteger, -1, output.wbmp_bpp, nullptr),
    SETTING("--WEBP-BPP", VT::kInteger, -1, output.webp_bpp, nullptr),
    SETTING("--XPM-BPP", VT::kInteger, -1, output.xpm_bpp, nullptr),

    SETTING("--BMP-COMPRESSION", VT::kKeyword, kKindCompression, output.bmp_compression, nullptr),
    SETTING("--EXR-COMPRESSION", VT::kKeyword, kKindCompression, output.exr_compression, nullptr),
    SETTING("--PNG-COMPRESSION", VT::kKeyword, kKindCompression, output.png_compression, nullptr),
    SETTING("--TGA-COMPRESSION", VT::kKeyword, kKindCompression, output.tga_compression, nullptr),
    SETTING("--TIFF-COMPRESSION", VT::kKeyword, kKindCompression, output.tiff_compression, nullptr),
    SETTING("--BMP-COLOR-TABLE", VT::kKeyword, kKindBmpColorTable, output.bmp_color_table, nullptr),
    SETTING("--TIFF-COLOR-MODEL", VT::kKeyword, kKindTiffColorModel, output.tiff_color_model,
            nullptr),
    SETTING("--JPG-QUALITY", VT::kInteger, -1, output.jpg_quality, nullptr),
    SETTING("--JPG-CHROMA", VT::kKeyword, kKindJpgChroma, output.jpg_chroma, nullptr),
    SETTING("--JPG-SAVE-AS", VT::kKeyword, kKindJpgSaveAs, output.jpg_save_as, nullptr),
    FLAG("--PNG-INTERLACED", output.png_interlaced, 1),

    SETTING("--ROTATION-TYPE", VT::kKeyword, kKindRotationType, transform.image_rotation_type,
            nullptr),
    SETTING("--ROTATION", VT::kInteger, -1, transform.image_rotation,
            SETS(transform.do_image_rotation = 1)),
    SETTING("--ROTATION-BACK-COLOR", VT::kText, -1, transform.image_rotation_back_color, nullptr),
    SETTING("--WIDTH", VT::kInteger, -1, transform.image_width,
            SETS(transform.do_image_resize = 1)),
    SETTING("--HEIGHT", VT::kInteger, -1, transform.image_height,
            SETS(transform.do_image_resize = 1)),
    SETTING("--WIDTH-UNIT", VT::kKeyword, kKindSizeUnit, transform.image_width_unit, nullptr),
    SETTING("--HEIGHT-UNIT", VT::kKeyword, kKindSizeUnit, transform.image_height_unit, nullptr),
    FLAG("--KEEP-ASPECT-RATIO", transform.keep_aspect_ratio, 1),
    SETTING("--RESIZE-TYPE", VT::kKeyword, kKindResizeType, transform.image_resize_type, nullptr),
    SETTING("--RESIZE-ALGORITHM", VT::kKeyword, kKindResizeAlgorithm,
            transform.image_resize_algorithm, nullptr),
    FLAG("--FLIP-HORIZONTAL", transform.do_image_flip_horizontal, 1),
    FLAG("--FLIP-VERTICAL", transform.do_image_flip_vertical, 1),

    SETTING("--BRIGHTNESS", VT::kInteger, -1, adjustment.image_brightness,
            SETS(adjustment.do_image_color_correction = 1)),
    SETTING("--CONTRAST", VT::kInteger, -1, adjustment.image_contrast,
            SETS(adjustment.do_image_color_correction = 1)),
    SETTING("--GAMMA", VT::kDecimal, -1, adjustment.image_gamma,
            SETS(adjustment.do_image_color_correction = 1)),
    {"--INVERT", nullptr, OA::kSetting, VT::kFlag, -1, FIELD(adjustment.image_invert), 1,
     SETS(adjustment.do_image_color_correction = 1)},
    FLAG("--GREYSCALE", adjustment.do_image_greyscale, 1),
    SETTING("--THRESHOLD", VT::kInteger, -1, adjustment.image_threshold,
            SETS(adjustment.do_image_threshold = 1)),

    SETTING("--FR-SOLID-LEFT", VT::kInteger, -1, frame.solid_left, SETS(frame.do_frame = 1)),
    SETTING("--FR-SOLID-RIGHT", VT::kInteger, -1, frame.solid_right, SETS(frame.do_frame = 1)),
    SETTING("--FR-SOLID-TOP", VT::kInteger, -1, frame.solid_top, SETS(frame.do_frame = 1)),
    SETTING("--FR-SOLID-BOTTOM", VT::kInteger, -1, frame.solid_bottom, SETS(frame.do_frame = 1)),
    SETTING("--FR-SOLID-LEFT-COLOR", VT::kText, -1, frame.solid_left_color, nullptr),
    SETTING("--FR-SOLID-RIGHT-COLOR", VT::kText, -1, frame.solid_right_color, nullptr),
    SETTING("--FR-SOLID-TOP-COLOR", VT::kText, -1, frame.solid_top_color, nullptr),
    SETTING("--FR-SOLID-BOTTOM-COLOR", VT::kText, -1, frame.solid_bottom_color, nullptr),
    SETTING("--FR-SOLID-OPACITY", VT::kInteger, -1, frame.solid_opacity, nullptr),

    SETTING("--WM-TEXT", VT::kText, -1, watermark.text, SETS(watermark.do_watermark = 1)),
    SETTING("--WM-FONT", VT::kText, -1, watermark.font, nullptr),
    SETTING("--WM-FONT-SIZE", VT::kInteger, -1, watermark.font_size, nullptr),
    SETTING("--WM-FONT-LEADING", VT::kInteger, -1, watermark.font_leading, nullptr),
    SETTING("--WM-FONT-COLOR", VT::kText, -1, watermark.font_color, nullptr),
    SETTING("--WM-FONT-STYLE", VT::kKeyword, kKindFontStyle, watermark.font_style, nullptr),
    SETTING("--WM-FONT-EFFECT", VT::kKeyword, kKindFontEffect, watermark.font_effect, nullptr),
    FLAG("--WM-TEXT-ANTIALIASING", watermark.text_antialiasing, 1),
    SETTING("--WM-TEXT-ALIGNMENT", VT::kKeyword, kKindTextAlignment, watermark.text_alignment,
            nullptr),
    SETTING("--WM-TEXT-PADDING", VT::kInteger, -1, watermark.text_padding, nullptr),
    SETTING("--WM-TEXT-OPACITY", VT::kInteger, -1, watermark.text_opacity, nullptr),
    SETTING("--WM-BACK-COLOR", VT::kText, -1, watermark.back_color, nullptr),
    SETTING("--WM-BACK-OPACITY", VT::kInteger, -1, watermark.back_opacity, nullptr),
    SETTING("--WM-TEXT-BOUNDARY", VT::kKeyword, kKindBoundary, watermark.text_boundary, nullptr),
    SETTING("--WM-TEXT-POSITION", VT::kKeyword, kKindPosition, watermark.text_position, nullptr),
    SETTING("--WM-TEXT-X-OFFSET", VT::kInteger, -1, watermark.text_x_offset, nullptr),
    SETTING("--WM-TEXT-Y-OFFSET", VT::kInteger, -1, watermark.text_y_offset, nullptr),
    SETTING("--WM-TEXT-ROTATION", VT::kInteger, -1, watermark.text_rotation, nullptr),
    SETTING("--WM-TEXT-SIZE", VT::kKeyword, kKindWatermarkSize, watermark.text_size, nullptr),
    SETTING("--WM-IMAGE", VT::kText, -1, watermark.image, SETS(watermark.do_watermark = 2)),
    FLAG("--WM-IMAGE-GREYSCALE", watermark.image_greyscale, 1),
    SETTING("--WM-IMAGE-OPACITY", VT::kInteger, -1, watermark.image_opacity, nullptr),
    SETTING("--WM-IMAGE-BOUNDARY", VT::kKeyword, kKindBoundary, watermark.image_boundary, nullptr),
    SETTING("--WM-IMAGE-POSITION", VT::kKeyword, kKindPosition, watermark.image_position, nullptr),
    SETTING("--WM-IMAGE-X-OFFSET", VT::kInteger, -1, watermark.image_x_offset, nullptr),
    SETTING("--WM-IMAGE-Y-OFFSET", VT::kInteger, -1, watermark.image_y_offset, nullptr),
    SETTING("--WM-IMAGE-ROTATION", VT::kInteger, -1, watermark.image_rotation, nullptr),
    SETTING("--WM-IMAGE-SIZE", VT::kKeyword, kKindWatermarkSize, watermark.image_size, nullptr),

    SETTING("--FILENAME-MASK", VT::kText, -1, advanced.filename_mask, nullptr),
    SETTING("--FILE-TIMESTAMP", VT::kKeyword, kKindFileTimestamp, advanced.file_timestamp, nullptr),
    SETTING("--FILE-TIMESTAMP-CUSTOM", VT::kInteger, -1, advanced.custom_timestamp, nullptr),
    FLAG("--NO-SUBFOLDERS", advanced.keep_subfolders, 0),

    {"--PROFILE", nullptr, OA::kProfile, VT::kText, -1, nullptr, 0, nullptr},
    {"--DEBUG", "-D", OA::kDebug, VT::kNone, -1, nullptr, 0, nullptr},
    {"--QUIET", "-Q", OA::kQuiet, VT::kNone, -1, nullptr, 0, nullptr},
    {"--PAUSE", "-P", OA::kPause, VT::kNone, -1, nullptr, 0, nullptr},
};

#undef FLAG
#undef SETTING
#undef SETS
#undef FIELD

void Store(const FieldRef& field, int32_t value) {
  if (auto* p = std::get_if<int32_t*>(&field)) **p = value;
  if (auto* p = std::get_if<int8_t*>(&field)) **p = static_cast<int8_t>(value);
  if (auto* p = std::get_if<float*>(&field)) **p = static_cast<float>(value);
  if (auto* p = std::get_if<std::string*>(&field)) **p = std::to_string(value);
}

// Values beyond the single-precision range become infinities.
float ToFloat(double value) {
  if (value > std::numeric_limits<float>::max()) return std::numeric_limits<float>::infinity();
  if (value < -std::numeric_limits<float>::max()) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

}  // namespace

std::span<const OptionSpec> AllOptions() { return kOptions; }

const OptionSpec* FindOption(std::string_view upper_name) {
  if (upper_name.empty()) return nullptr;
  for (const OptionSpec& option : kOptions) {
    if (upper_name == option.name) return &option;
    if (option.short_name != nullptr && upper_name == option.short_name) return &option;
  }
  return nullptr;
}

void ApplySettingValue(const OptionSpec& option, std::string_view value) {
  if (option.action != OptionAction::kSetting || option.target == nullptr) return;
  FieldRef field = option.target();
  switch (option.type) {
    case ValueType::kText:
      if (auto* p = std::get_if<std::string*>(&field)) **p = std::string(value);
      break;
    case ValueType::kInteger:
      Store(field, ReadInteger(value));
      break;
    case ValueType::kDecimal:
      if (auto* p = std::get_if<float*>(&field)) **p = ToFloat(ReadDecimal(value));
      break;
    case ValueType::kKeyword:
      Store(field, KeywordToValue(option.kind, TrimAsciiBlanks(value)));
      break;
    case ValueType::kFlag:
      Store(field, option.flag_value);
      break;
    case ValueType::kNone:
      break;
  }
  if (option.sets != nullptr) option.sets();
}

}  // namespace pic2jpg
