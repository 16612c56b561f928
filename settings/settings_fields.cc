#include "settings/settings_fields.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "text/ini_file.h"

namespace pic2jpg {
namespace {

// One row: group, key, member path inside Settings.
#define PIC2JPG_FIELD(group, key, member)                               \
  SettingField {                                                        \
    group, key, "", [](Settings& s) -> SettingRef { return &s.member; } \
  }
// A per-format row of the Input or Output group.
#define PIC2JPG_FORMAT_FIELD(group, key, format, member)                    \
  SettingField {                                                            \
    group, key, format, [](Settings& s) -> SettingRef { return &s.member; } \
  }

const SettingField kFields[] = {
    PIC2JPG_FIELD("General", "CFG", general.cfg),
    PIC2JPG_FIELD("General", "Language", general.language),
    PIC2JPG_FIELD("General", "Update Range", general.update_range),
    PIC2JPG_FIELD("General", "Update Date", general.update_date),
    PIC2JPG_FIELD("General", "Save Window Position", general.save_window_position),

    PIC2JPG_FIELD("Window", "IsMaximized", window.is_maximized),
    PIC2JPG_FIELD("Window", "Width", window.width),
    PIC2JPG_FIELD("Window", "Height", window.height),
    PIC2JPG_FIELD("Window", "X", window.x),
    PIC2JPG_FIELD("Window", "Y", window.y),

    PIC2JPG_FIELD("Interface", "UI Theme", interface.ui_theme),
    PIC2JPG_FIELD("Interface", "UI Size", interface.ui_size),

    PIC2JPG_FIELD("Input", "Format", input.format),
    PIC2JPG_FORMAT_FIELD("Input", "DDS Load As", "dds", input.dds_load_as),
    PIC2JPG_FORMAT_FIELD("Input", "GIF Frame Loading", "gif", input.gif_frame_loading),
    PIC2JPG_FORMAT_FIELD("Input", "ICO Frame Loading", "ico", input.ico_frame_loading),
    PIC2JPG_FORMAT_FIELD("Input", "TIFF Frame Loading", "tiff", input.tiff_frame_loading),
    PIC2JPG_FORMAT_FIELD("Input", "RAW Load As", "raw", input.raw_load_as),
    PIC2JPG_FORMAT_FIELD("Input", "RAW Header Size", "raw", input.raw_header_size),
    PIC2JPG_FORMAT_FIELD("Input", "RAW Image Width", "raw", input.raw_image_width),
    PIC2JPG_FORMAT_FIELD("Input", "RAW Image Height", "raw", input.raw_image_height),
    PIC2JPG_FORMAT_FIELD("Input", "RAW Tone Mapping", "raw", input.raw_tone_mapping),

    PIC2JPG_FIELD("Output", "Format", output.format),
    PIC2JPG_FORMAT_FIELD("Output", "BMP BPP", "bmp", output.bmp_bpp),
    PIC2JPG_FORMAT_FIELD("Output", "DDS BPP", "dds", output.dds_bpp),
    PIC2JPG_FORMAT_FIELD("Output", "EXR BPP", "exr", output.exr_bpp),
    PIC2JPG_FORMAT_FIELD("Output", "GIF BPP", "gif", output.gif_bpp),
    PIC2JPG_FORMAT_FIELD("Output", "HDR BPP", "hdr", output.hdr_bpp),
    PIC2JPG_FORMAT_FIELD("Output", "ICO BPP", "ico", output.ico_bpp),
    PIC2JPG_FORMAT_FIELD("Output", "J2K BPP", "j2k", output.j2k_bpp),
    PIC2JPG_FORMAT_FIELD("Output", "JNG BPP", "jng", output.jng_bpp),
    PIC2JPG_FORMAT_FIELD("Output", "JP2 BPP", "jp2", output.jp2_bpp),
    PIC2JPG_FORMAT_FIELD("Output", "JPG BPP", "jpg", output.jpg_bpp),
    PIC2JPG_FORMAT_FIELD("Output", "JXR BPP", "jxr", output.jxr_bpp),
    PIC2JPG_FORMAT_FIELD("Output", "PBM BPP", "pbm", output.pbm_bpp),
    PIC2JPG_FORMAT_FIELD("Output", "PCX BPP", "pcx", output.pcx_bpp),
    PIC2JPG_FORMAT_FIELD("Output", "PFM BPP", "pfm", output.pfm_bpp),
    PIC2JPG_FORMAT_FIELD("Output", "PGM BPP", "pgm", output.pgm_bpp),
    PIC2JPG_FORMAT_FIELD("Output", "PNG BPP", "png", output.png_bpp),
    PIC2JPG_FORMAT_FIELD("Output", "PPM BPP", "ppm", output.ppm_bpp),
    PIC2JPG_FORMAT_FIELD("Output", "PSD BPP", "psd", output.psd_bpp),
    PIC2JPG_FORMAT_FIELD("Output", "TGA BPP", "tga", output.tga_bpp),
    PIC2JPG_FORMAT_FIELD("Output", "TIFF BPP", "tiff", output.tiff_bpp),
    PIC2JPG_FORMAT_FIELD("Output", "WBMP BPP", "wbmp", output.wbmp_bpp),
    PIC2JPG_FORMAT_FIELD("Output", "WEBP BPP", "webp", output.webp_bpp),
    PIC2JPG_FORMAT_FIELD("Output", "XPM BPP", "xpm", output.xpm_bpp),
    PIC2JPG_FORMAT_FIELD("Output", "BMP Compression", "bmp", output.bmp_compression),
    PIC2JPG_FORMAT_FIELD("Output", "BMP Color Table", "bmp", output.bmp_color_table),
    PIC2JPG_FORMAT_FIELD("Output", "EXR Compression", "exr", output.exr_compression),
    PIC2JPG_FORMAT_FIELD("Output", "JPG Quality", "jpg", output.jpg_quality),
    PIC2JPG_FORMAT_FIELD("Output", "JPG Chroma", "jpg", output.jpg_chroma),
    PIC2JPG_FORMAT_FIELD("Output", "JPG Save As", "jpg", output.jpg_save_as),
    PIC2JPG_FORMAT_FIELD("Output", "PNG Compression", "png", output.png_compression),
    PIC2JPG_FORMAT_FIELD("Output", "PNG Interlaced", "png", output.png_interlaced),
    PIC2JPG_FORMAT_FIELD("Output", "TGA Compression", "tga", output.tga_compression),
    PIC2JPG_FORMAT_FIELD("Output", "TIFF Compression", "tiff", output.tiff_compression),
    PIC2JPG_FORMAT_FIELD("Output", "TIFF Color Model", "tiff", output.tiff_color_model),

    PIC2JPG_FIELD("Transform", "Do Image Rotation", transform.do_image_rotation),
    PIC2JPG_FIELD("Transform", "Image Rotation Type", transform.image_rotation_type),
    PIC2JPG_FIELD("Transform", "Image Rotation", transform.image_rotation),
    PIC2JPG_FIELD("Transform", "Image Rotation Back Color", transform.image_rotation_back_color),
    PIC2JPG_FIELD("Transform", "Do Image Resize", transform.do_image_resize),
    PIC2JPG_FIELD("Transform", "Image Width", transform.image_width),
    PIC2JPG_FIELD("Transform", "Image Width Unit", transform.image_width_unit),
    PIC2JPG_FIELD("Transform", "Image Height", transform.image_height),
    PIC2JPG_FIELD("Transform", "Image Height Unit", transform.image_height_unit),
    PIC2JPG_FIELD("Transform", "Keep Aspect Ratio", transform.keep_aspect_ratio),
    PIC2JPG_FIELD("Transform", "Image Resize Type", transform.image_resize_type),
    PIC2JPG_FIELD("Transform", "Image Resize Algorithm", transform.image_resize_algorithm),
    PIC2JPG_FIELD("Transform", "Do Image Flip Horizontal", transform.do_image_flip_horizontal),
    PIC2JPG_FIELD("Transform", "Do Image Flip Vertical", transform.do_image_flip_vertical),

    PIC2JPG_FIELD("Adjustment", "Do Image Color Correction", adjustment.do_image_color_correction),
    PIC2JPG_FIELD("Adjustment", "Image Brightness", adjustment.image_brightness),
    PIC2JPG_FIELD("Adjustment", "Image Contrast", adjustment.image_contrast),
    PIC2JPG_FIELD("Adjustment", "Image Gamma", adjustment.image_gamma),
    PIC2JPG_FIELD("Adjustment", "Image Invert", adjustment.image_invert),
    PIC2JPG_FIELD("Adjustment", "Do Image Greyscale", adjustment.do_image_greyscale),
    PIC2JPG_FIELD("Adjustment", "Do Image Threshold", adjustment.do_image_threshold),
    PIC2JPG_FIELD("Adjustment", "Image Threshold", adjustment.image_threshold),

    PIC2JPG_FIELD("Frame", "Do Frame", frame.do_frame),
    PIC2JPG_FIELD("Frame", "Solid Left", frame.solid_left),
    PIC2JPG_FIELD("Frame", "Solid Right", frame.solid_right),
    PIC2JPG_FIELD("Frame", "Solid Top", frame.solid_top),
    PIC2JPG_FIELD("Frame", "Solid Bottom", frame.solid_bottom),
    PIC2JPG_FIELD("Frame", "Solid Left Color", frame.solid_left_color),
    PIC2JPG_FIELD("Frame", "Solid Right Color", frame.solid_right_color),
    PIC2JPG_FIELD("Frame", "Solid Top Color", frame.solid_top_color),
    PIC2JPG_FIELD("Frame", "Solid Bottom Color", frame.solid_bottom_color),
    PIC2JPG_FIELD("Frame", "Solid Opacity", frame.solid_opacity),

    PIC2JPG_FIELD("Watermark", "Do Watermark", watermark.do_watermark),
    PIC2JPG_FIELD("Watermark", "Text", watermark.text),
    PIC2JPG_FIELD("Watermark", "Fonts", watermark.fonts),
    PIC2JPG_FIELD("Watermark", "Font", watermark.font),
    PIC2JPG_FIELD("Watermark", "Font Size", watermark.font_size),
    PIC2JPG_FIELD("Watermark", "Font Leading", watermark.font_leading),
    PIC2JPG_FIELD("Watermark", "Font Colors", watermark.font_colors),
    PIC2JPG_FIELD("Watermark", "Font Color", watermark.font_color),
    PIC2JPG_FIELD("Watermark", "Font Style", watermark.font_style),
    PIC2JPG_FIELD("Watermark", "Font Effect", watermark.font_effect),
    PIC2JPG_FIELD("Watermark", "Text Antialiasing", watermark.text_antialiasing),
    PIC2JPG_FIELD("Watermark", "Text Alignment", watermark.text_alignment),
    PIC2JPG_FIELD("Watermark", "Text Padding", watermark.text_padding),
    PIC2JPG_FIELD("Watermark", "Text Opacity", watermark.text_opacity),
    PIC2JPG_FIELD("Watermark", "Back Colors", watermark.back_colors),
    PIC2JPG_FIELD("Watermark", "Back Color", watermark.back_color),
    PIC2JPG_FIELD("Watermark", "Back Opacity", watermark.back_opacity),
    PIC2JPG_FIELD("Watermark", "Text Boundary", watermark.text_boundary),
    PIC2JPG_FIELD("Watermark", "Text Position", watermark.text_position),
    PIC2JPG_FIELD("Watermark", "Text X Offset", watermark.text_x_offset),
    PIC2JPG_FIELD("Watermark", "Text Y Offset", watermark.text_y_offset),
    PIC2JPG_FIELD("Watermark", "Text Rotation", watermark.text_rotation),
    PIC2JPG_FIELD("Watermark", "Text Size", watermark.text_size),
    PIC2JPG_FIELD("Watermark", "Text Scale", watermark.text_scale),
    PIC2JPG_FIELD("Watermark", "Image", watermark.image),
    PIC2JPG_FIELD("Watermark", "Image Greyscale", watermark.image_greyscale),
    PIC2JPG_FIELD("Watermark", "Image Opacity", watermark.image_opacity),
    PIC2JPG_FIELD("Watermark", "Image Boundary", watermark.image_boundary),
    PIC2JPG_FIELD("Watermark", "Image Position", watermark.image_position),
    PIC2JPG_FIELD("Watermark", "Image X Offset", watermark.image_x_offset),
    PIC2JPG_FIELD("Watermark", "Image Y Offset", watermark.image_y_offset),
    PIC2JPG_FIELD("Watermark", "Image Rotation", watermark.image_rotation),
    PIC2JPG_FIELD("Watermark", "Image Size", watermark.image_size),
    PIC2JPG_FIELD("Watermark", "Image Scale", watermark.image_scale),

    PIC2JPG_FIELD("Advanced", "Filename Mask", advanced.filename_mask),
    PIC2JPG_FIELD("Advanced", "File Timestamp", advanced.file_timestamp),
    PIC2JPG_FIELD("Advanced", "Custom Timestamp", advanced.custom_timestamp),
    PIC2JPG_FIELD("Advanced", "Out Folders History", advanced.out_folders_history),
    PIC2JPG_FIELD("Advanced", "Out Folders Number", advanced.out_folders_number),
    PIC2JPG_FIELD("Advanced", "Keep Subfolders", advanced.keep_subfolders),

    PIC2JPG_FIELD("File", "Recent Out Folders", file.recent_out_folders),
};

#undef PIC2JPG_FIELD
#undef PIC2JPG_FORMAT_FIELD

SettingRef RefOf(const Settings& settings, const SettingField& field) {
  // The table hands out addresses only; reading through them does not write.
  return field.ref(const_cast<Settings&>(settings));
}

template <typename T>
T Saturate(int64_t value) {
  if (value < std::numeric_limits<T>::min()) return std::numeric_limits<T>::min();
  if (value > std::numeric_limits<T>::max()) return std::numeric_limits<T>::max();
  return static_cast<T>(value);
}

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

// Decimals of the float fields in the file.
constexpr int kFloatDecimals = 6;

}  // namespace

std::span<const SettingField> SettingFields() { return kFields; }

const SettingField* FindSettingField(std::string_view group, std::string_view key) {
  for (const SettingField& field : kFields) {
    if (IniNameEquals(field.group, group) && IniNameEquals(field.key, key)) return &field;
  }
  return nullptr;
}

SettingType TypeOfSetting(const SettingField& field) {
  static const Settings kProbe;
  switch (RefOf(kProbe, field).index()) {
    case 0:
      return SettingType::kInt8;
    case 1:
      return SettingType::kInt32;
    case 2:
      return SettingType::kFloat;
    default:
      return SettingType::kString;
  }
}

std::string SettingText(const Settings& settings, const SettingField& field) {
  return std::visit(Overloaded{
                        [](int8_t* v) { return std::to_string(*v); },
                        [](int32_t* v) { return std::to_string(*v); },
                        [](float* v) { return IniFormatFloat(*v, kFloatDecimals); },
                        [](std::string* v) { return *v; },
                    },
                    RefOf(settings, field));
}

void SetSettingFromText(Settings* settings, const SettingField& field, std::string_view text) {
  std::visit(Overloaded{
                 [&](int8_t* v) { *v = Saturate<int8_t>(ParseIniInt(text)); },
                 [&](int32_t* v) { *v = ParseIniInt(text); },
                 [&](float* v) { *v = ParseIniFloat(text); },
                 [&](std::string* v) { v->assign(text); },
             },
             field.ref(*settings));
}

int64_t SettingInt(const Settings& settings, const SettingField& field) {
  return std::visit(Overloaded{
                        [](int8_t* v) -> int64_t { return *v; },
                        [](int32_t* v) -> int64_t { return *v; },
                        [](float* v) -> int64_t {
                          if (!std::isfinite(*v)) return 0;
                          return std::llround(std::clamp<double>(*v, -9.0e18, 9.0e18));
                        },
                        [](std::string*) -> int64_t { return 0; },
                    },
                    RefOf(settings, field));
}

void SetSettingInt(Settings* settings, const SettingField& field, int64_t value) {
  std::visit(Overloaded{
                 [&](int8_t* v) { *v = Saturate<int8_t>(value); },
                 [&](int32_t* v) { *v = Saturate<int32_t>(value); },
                 [&](float* v) { *v = static_cast<float>(value); },
                 [](std::string*) {},
             },
             field.ref(*settings));
}

}  // namespace pic2jpg
