#include "settings/settings_fields.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "platform/drawing_text.h"
#include "settings/keyword_kinds.h"
#include "text/ini_file.h"

namespace pic2jpg {
namespace {

// Builds one row of the table; each call fills one column.
struct Row {
  SettingField f;

  Row& Range(double min, double max) {
    f.range = SettingRange{true, min, max};
    return *this;
  }
  // An enumeration of `count` choices (a check box: 2).
  Row& Choices(int count) { return Range(0, count - 1); }
  Row& Refuse(SettingRefusal refusal) {
    f.refuse = refusal;
    return *this;
  }
  Row& Option(std::string_view name, OptionValue value) {
    f.option = name;
    f.value = value;
    return *this;
  }
  // An option read as a keyword of `kind`, listed by the same keyword.
  Row& Keyword(std::string_view name, int kind) {
    f.keyword_kind = kind;
    f.show = DebugShow::kKeyword;
    return Option(name, OptionValue::kKeyword);
  }
  Row& Flag(std::string_view name, int32_t value) {
    f.flag_value = value;
    return Option(name, OptionValue::kFlag);
  }
  Row& Switches(std::string_view key, int32_t value) {
    f.switches = key;
    f.switch_value = value;
    return *this;
  }
  Row& Debug(std::string_view label) {
    f.debug = label;
    return *this;
  }
  Row& Show(DebugShow show, int kind = -1) {
    f.show = show;
    if (kind >= 0) f.keyword_kind = kind;
    return *this;
  }
  Row& Join(std::string_view key, std::string_view joiner) {
    f.joined = key;
    f.joiner = joiner;
    return *this;
  }
  Row& Gate(std::string_view key, int32_t value = kGateOn) {
    f.gate = key;
    f.gate_value = value;
    return *this;
  }
  // The dialog's row; an area only for the frame and watermark areas.
  Row& Shown(RowKind kind, std::string_view caption, std::string_view area = "") {
    f.row.kind = kind;
    f.row.caption = caption;
    f.row.area = area;
    return *this;
  }
  // A drop-down list: the setting takes the index of one of `items`.
  Row& Listed(std::string_view caption, std::span<const char* const> items,
              std::string_view area = "") {
    f.row.items = items;
    Choices(static_cast<int>(items.size()));
    return Shown(RowKind::kList, caption, area);
  }
  // A check box: the setting is 0 or 1.
  Row& Check(std::string_view caption, std::string_view area = "") {
    Choices(2);
    return Shown(RowKind::kCheck, caption, area);
  }
  Row& Digits(std::string_view caption, std::string_view unit, std::string_view area = "") {
    f.row.unit = unit;
    return Shown(RowKind::kNumber, caption, area);
  }
  Row& Slider(std::string_view caption, std::string_view area = "",
              RowScale scale = RowScale::kPlain) {
    f.row.scale = scale;
    return Shown(RowKind::kSlider, caption, area);
  }
  // A number whose unit list is another setting of the group.
  Row& UnitIn(std::string_view key) {
    f.row.unit_key = key;
    return *this;
  }
  // A colour or font that the dialog offers from a list kept in `key`.
  Row& ListIn(std::string_view key) {
    f.row.list_key = key;
    return *this;
  }
  operator SettingField() const { return f; }  // NOLINT: rows convert
};

Row Start(std::string_view group, std::string_view key, std::string_view format,
          SettingRef (*ref)(Settings&)) {
  Row row;
  row.f.group = group;
  row.f.key = key;
  row.f.format = format;
  row.f.ref = ref;
  return row;
}

// One row: group, key, member path inside Settings.
#define FIELD(group, key, member) \
  Start(group, key, "", [](Settings& s) -> SettingRef { return &s.member; })
// A per-format row of the Input or Output group.
#define FORMAT_FIELD(group, key, format, member) \
  Start(group, key, format, [](Settings& s) -> SettingRef { return &s.member; })
// The depth of an output format: any number the console takes, refused when
// the format has no such depth.
#define DEPTH(key, format, member, option)    \
  FORMAT_FIELD("Output", key, format, member) \
      .Refuse(SettingRefusal::kDepth)         \
      .Option(option, OptionValue::kInteger)  \
      .Debug(key)                             \
      .Shown(RowKind::kDepthList, "Bits Per Pixel")

// The frame a multi-frame input format loads ("GIF", "gif").
#define FRAME_LOADING(FMT, fmt, member)                      \
  FORMAT_FIELD("Input", FMT " Frame Loading", fmt, member)   \
      .Keyword("--" FMT "-FRAME-LOADING", kKindFrameLoading) \
      .Debug(FMT " Frame Loading")                           \
      .Listed("Frame Loading", kFrameLoading)

// The compression of an output format, one of `items`.
#define COMPRESSION(FMT, fmt, member, items)              \
  FORMAT_FIELD("Output", FMT " Compression", fmt, member) \
      .Keyword("--" FMT "-COMPRESSION", kKindCompression) \
      .Debug(FMT " Compression")                          \
      .Show(S::kCompression)                              \
      .Listed("Compression", items)

// The width of one side of the solid frame ("Left", "LEFT", "left").
#define FRAME_SIDE(Side, SIDE, side, member)   \
  FIELD("Frame", "Solid " Side, frame.member)  \
      .Range(0, kDigits)                       \
      .Option("--FR-SOLID-" SIDE, V::kInteger) \
      .Switches("Do Frame", 1)                 \
      .Debug("Frame " side)                    \
      .Gate("Do Frame", 1)                     \
      .Digits(Side, "Pixels", "frame")

// The colour of one side of the solid frame.
#define FRAME_SIDE_COLOR(Side, SIDE, side, member)     \
  FIELD("Frame", "Solid " Side " Color", frame.member) \
      .Option("--FR-SOLID-" SIDE "-COLOR", V::kText)   \
      .Debug("Frame " side " color")                   \
      .Show(S::kText)                                  \
      .Gate("Do Frame", 1)                             \
      .Shown(RowKind::kColourButton, Side " Color", "frame")

// Where a watermark sits and how large it is: the same rows for the text
// mark and the image mark, under keys that start with `Area` ("Text"),
// options that start with "--WM-" `AREA`, in the dialog's `area`, in use
// when Do Watermark is `kind`.
#define PLACEMENT_FIELDS(Area, AREA, area, member, kind)              \
  FIELD("Watermark", Area " Boundary", watermark.member.boundary)     \
      .Keyword("--WM-" AREA "-BOUNDARY", kKindBoundary)               \
      .Debug("Watermark boundary")                                    \
      .Gate("Do Watermark", kind)                                     \
      .Listed("Boundary", kBoundary, area),                           \
      FIELD("Watermark", Area " Position", watermark.member.position) \
          .Keyword("--WM-" AREA "-POSITION", kKindPosition)           \
          .Debug("Watermark position")                                \
          .Gate("Do Watermark", kind)                                 \
          .Listed("Position", kPosition, area),                       \
      FIELD("Watermark", Area " X Offset", watermark.member.x_offset) \
          .Range(0, kDigits)                                          \
          .Option("--WM-" AREA "-X-OFFSET", V::kInteger)              \
          .Debug("Watermark offset (x/y)")                            \
          .Join(Area " Y Offset", "/")                                \
          .Gate("Do Watermark", kind)                                 \
          .Digits("X-Offset", "Pixels", area),                        \
      FIELD("Watermark", Area " Y Offset", watermark.member.y_offset) \
          .Range(0, kDigits)                                          \
          .Option("--WM-" AREA "-Y-OFFSET", V::kInteger)              \
          .Digits("Y-Offset", "Pixels", area),                        \
      FIELD("Watermark", Area " Rotation", watermark.member.rotation) \
          .Range(0, 360)                                              \
          .Option("--WM-" AREA "-ROTATION", V::kInteger)              \
          .Debug("Watermark rotation")                                \
          .Gate("Do Watermark", kind)                                 \
          .Slider("Rotation Angle", area),                            \
      FIELD("Watermark", Area " Size", watermark.member.size)         \
          .Keyword("--WM-" AREA "-SIZE", kKindWatermarkSize)          \
          .Debug("Watermark size/mode")                               \
          .Gate("Do Watermark", kind)                                 \
          .Listed("Size", kSize, area),                               \
      FIELD("Watermark", Area " Scale", watermark.member.scale)       \
          .Range(1, 200)                                              \
          .Slider("Scale", area)

// The entries of the dialog's lists, keys of the catalogue group Preferences.
using Items = const char* const[];

constexpr Items kUpdateRange = {"Every day",      "Every week",     "Every month",
                                "Every 3 months", "Every 6 months", "Never"};
constexpr Items kUiSize = {"Small", "Medium", "Large"};
constexpr Items kDdsLoadAs = {"Auto", "BGRA", "RGBA"};
constexpr Items kFrameLoading = {"All Frames", "First Frame", "Middle Frame", "Last Frame",
                                 "Random Frame"};
constexpr Items kRawLoadAs = {"Auto", "RGB8", "RGB16", "RGB24", "RGB48HS", "RGB48"};
constexpr Items kToneMapping = {"None", "Linear", "Adaptive Logarithmic", "DR Reduction",
                                "Gradient Domain"};
constexpr Items kNoneRle = {"None", "RLE"};
constexpr Items kColorTable = {"Auto", "Exact"};
constexpr Items kExrCompression = {"None", "ZIP", "PIZ", "PXR24", "B44"};
constexpr Items kChroma = {"None", "Low", "Medium", "High"};
constexpr Items kSaveAs = {"Baseline Standard", "Baseline Simple", "Baseline Optimized",
                           "Progressive"};
constexpr Items kPngCompression = {"None", "ZLIB1", "ZLIB6", "ZLIB9"};
constexpr Items kTiffCompression = {"None",         "CCITTFAX3", "CCITTFAX4", "PACKBITS", "DEFLATE",
                                    "ADOBEDEFLATE", "LZW",       "JPEG",      "LOGLUV"};
constexpr Items kColorModel = {"RGB", "CMYK"};
constexpr Items kRotationType = {"Simple Rotation", "Advanced Rotation"};
constexpr Items kUnits = {"Pixels", "Percent"};
constexpr Items kResizeType = {"All Images", "Large Images"};
constexpr Items kAlgorithm = {"Box", "Bilinear", "Bspline", "Bicubic", "Catmullrom", "Lanczos"};
constexpr Items kFrameType = {"None", "Frame Solid"};
constexpr Items kWatermarkType = {"None", "Watermark Text", "Watermark Image"};
constexpr Items kFontStyle = {"Regular", "Bold", "Italic", "Bold Italic"};
constexpr Items kFontEffect = {"None", "Underline", "Strikeout"};
constexpr Items kAlignment = {"Align Left", "Align Center", "Align Right"};
constexpr Items kBoundary = {"Bound Image", "Bound Frame"};
constexpr Items kPosition = {"Top-Left",    "Top-Center",    "Top-Right",
                             "Middle-Left", "Middle-Center", "Middle-Right",
                             "Bottom-Left", "Bottom-Center", "Bottom-Right"};
constexpr Items kSize = {"Fixed"};
constexpr Items kTimestamp = {"Current", "Original", "Custom"};
constexpr Items kHistory = {"Clean On Exit", "Keep Folders"};

using V = OptionValue;
using R = SettingRefusal;
using S = DebugShow;

// Digit fields of the dialog take at most six digits.
constexpr double kDigits = 999999;
constexpr double kInt32Max = std::numeric_limits<int32_t>::max();

std::vector<SettingField> GeneralFields() {
  return {
      FIELD("General", "CFG", general.cfg),
      FIELD("General", "Language", general.language),
      FIELD("General", "Update Range", general.update_range)
          .Listed("Check For Updates", kUpdateRange),
      FIELD("General", "Update Date", general.update_date),
      FIELD("General", "Save Window Position", general.save_window_position)
          .Check("Save window position"),
  };
}

std::vector<SettingField> WindowFields() {
  return {
      FIELD("Window", "IsMaximized", window.is_maximized).Choices(2),
      FIELD("Window", "Width", window.width),
      FIELD("Window", "Height", window.height),
      FIELD("Window", "X", window.x),
      FIELD("Window", "Y", window.y),
  };
}

std::vector<SettingField> InterfaceFields() {
  return {
      FIELD("Interface", "UI Theme", interface.ui_theme).Shown(RowKind::kTheme, "UI Theme"),
      FIELD("Interface", "UI Size", interface.ui_size).Listed("UI Size", kUiSize),
  };
}

std::vector<SettingField> InputFields() {
  return {
      FIELD("Input", "Format", input.format).Shown(RowKind::kInputFormat, "Input Format"),
      FORMAT_FIELD("Input", "DDS Load As", "dds", input.dds_load_as)
          .Keyword("--DDS-LOAD-AS", kKindDdsLoadAs)
          .Debug("DDS Load As")
          .Listed("Load As", kDdsLoadAs),
      FRAME_LOADING("GIF", "gif", input.gif_frame_loading),
      FRAME_LOADING("ICO", "ico", input.ico_frame_loading),
      FRAME_LOADING("TIFF", "tiff", input.tiff_frame_loading),
      FORMAT_FIELD("Input", "RAW Load As", "raw", input.raw_load_as)
          .Keyword("--RAW-LOAD-AS", kKindRawLoadAs)
          .Debug("RAW Load As")
          .Listed("Load As", kRawLoadAs),
      FORMAT_FIELD("Input", "RAW Header Size", "raw", input.raw_header_size)
          .Range(0, kDigits)
          .Option("--RAW-HEADER-SIZE", V::kInteger)
          .Debug("RAW Header Size")
          .Digits("Header Size", "Bytes"),
      FORMAT_FIELD("Input", "RAW Image Width", "raw", input.raw_image_width)
          .Range(0, kDigits)
          .Option("--RAW-WIDTH", V::kInteger)
          .Debug("RAW Image Width")
          .Digits("Image Width", "Pixels"),
      FORMAT_FIELD("Input", "RAW Image Height", "raw", input.raw_image_height)
          .Range(0, kDigits)
          .Option("--RAW-HEIGHT", V::kInteger)
          .Debug("RAW Image Height")
          .Digits("Image Height", "Pixels"),
      FORMAT_FIELD("Input", "RAW Tone Mapping", "raw", input.raw_tone_mapping)
          .Keyword("--RAW-TONE-MAPPING", kKindRawToneMapping)
          .Debug("RAW Tone Mapping")
          .Listed("Tone Mapping", kToneMapping),
  };
}

std::vector<SettingField> OutputFields() {
  return {
      FIELD("Output", "Format", output.format).Shown(RowKind::kOutputFormat, "Output Format"),
      DEPTH("BMP BPP", "bmp", output.bmp_bpp, "--BMP-BPP"),
      DEPTH("DDS BPP", "dds", output.dds_bpp, "--DDS-BPP"),
      DEPTH("EXR BPP", "exr", output.exr_bpp, "--EXR-BPP"),
      DEPTH("GIF BPP", "gif", output.gif_bpp, "--GIF-BPP"),
      DEPTH("HDR BPP", "hdr", output.hdr_bpp, "--HDR-BPP"),
      DEPTH("ICO BPP", "ico", output.ico_bpp, "--ICO-BPP"),
      DEPTH("J2K BPP", "j2k", output.j2k_bpp, "--J2K-BPP"),
      DEPTH("JNG BPP", "jng", output.jng_bpp, "--JNG-BPP"),
      DEPTH("JP2 BPP", "jp2", output.jp2_bpp, "--JP2-BPP"),
      DEPTH("JPG BPP", "jpg", output.jpg_bpp, "--JPG-BPP"),
      DEPTH("JXR BPP", "jxr", output.jxr_bpp, "--JXR-BPP"),
      DEPTH("PBM BPP", "pbm", output.pbm_bpp, "--PBM-BPP"),
      DEPTH("PCX BPP", "pcx", output.pcx_bpp, "--PCX-BPP"),
      DEPTH("PFM BPP", "pfm", output.pfm_bpp, "--PFM-BPP"),
      DEPTH("PGM BPP", "pgm", output.pgm_bpp, "--PGM-BPP"),
      DEPTH("PNG BPP", "png", output.png_bpp, "--PNG-BPP"),
      DEPTH("PPM BPP", "ppm", output.ppm_bpp, "--PPM-BPP"),
      DEPTH("PSD BPP", "psd", output.psd_bpp, "--PSD-BPP"),
      DEPTH("TGA BPP", "tga", output.tga_bpp, "--TGA-BPP"),
      DEPTH("TIFF BPP", "tiff", output.tiff_bpp, "--TIFF-BPP"),
      DEPTH("WBMP BPP", "wbmp", output.wbmp_bpp, "--WBMP-BPP"),
      DEPTH("WEBP BPP", "webp", output.webp_bpp, "--WEBP-BPP"),
      DEPTH("XPM BPP", "xpm", output.xpm_bpp, "--XPM-BPP"),
      COMPRESSION("BMP", "bmp", output.bmp_compression, kNoneRle),
      FORMAT_FIELD("Output", "BMP Color Table", "bmp", output.bmp_color_table)
          .Keyword("--BMP-COLOR-TABLE", kKindBmpColorTable)
          .Debug("BMP Color Table")
          .Listed("Color Table", kColorTable),
      COMPRESSION("EXR", "exr", output.exr_compression, kExrCompression),
      FORMAT_FIELD("Output", "JPG Quality", "jpg", output.jpg_quality)
          .Range(1, 100)
          .Refuse(R::kOutsideRange)
          .Option("--JPG-QUALITY", V::kInteger)
          .Debug("JPG Quality")
          .Slider("Image Quality"),
      FORMAT_FIELD("Output", "JPG Chroma", "jpg", output.jpg_chroma)
          .Keyword("--JPG-CHROMA", kKindJpgChroma)
          .Debug("JPG Chroma Subsampling")
          .Listed("Chroma Subsampling", kChroma),
      FORMAT_FIELD("Output", "JPG Save As", "jpg", output.jpg_save_as)
          .Keyword("--JPG-SAVE-AS", kKindJpgSaveAs)
          .Debug("JPG Save As")
          .Listed("Save As", kSaveAs),
      COMPRESSION("PNG", "png", output.png_compression, kPngCompression),
      FORMAT_FIELD("Output", "PNG Interlaced", "png", output.png_interlaced)
          .Flag("--PNG-INTERLACED", 1)
          .Debug("PNG Interlaced")
          .Check("Interlaced"),
      COMPRESSION("TGA", "tga", output.tga_compression, kNoneRle),
      COMPRESSION("TIFF", "tiff", output.tiff_compression, kTiffCompression),
      FORMAT_FIELD("Output", "TIFF Color Model", "tiff", output.tiff_color_model)
          .Keyword("--TIFF-COLOR-MODEL", kKindTiffColorModel)
          .Debug("TIFF Color Model")
          .Listed("Color Model", kColorModel),
  };
}

std::vector<SettingField> TransformFields() {
  return {
      FIELD("Transform", "Do Image Rotation", transform.do_image_rotation).Check("Image Rotation"),
      FIELD("Transform", "Image Rotation Type", transform.image_rotation_type)
          .Keyword("--ROTATION-TYPE", kKindRotationType)
          .Debug("Image Rotation Type")
          .Gate("Do Image Rotation")
          .Listed("Rotation Type", kRotationType),
      FIELD("Transform", "Image Rotation", transform.image_rotation)
          .Range(0, 360)
          .Option("--ROTATION", V::kInteger)
          .Switches("Do Image Rotation", 1)
          .Debug("Image Rotation")
          .Gate("Do Image Rotation")
          .Slider("Rotation Angle"),
      FIELD("Transform", "Image Rotation Back Color", transform.image_rotation_back_color)
          .Option("--ROTATION-BACK-COLOR", V::kText)
          .Debug("Image Rotation Back Color")
          .Show(S::kText)
          .Gate("Do Image Rotation")
          .Shown(RowKind::kColourButton, "Background Color"),
      FIELD("Transform", "Do Image Resize", transform.do_image_resize).Check("Image Resize"),
      FIELD("Transform", "Image Width", transform.image_width)
          .Range(0, kDigits)
          .Refuse(R::kZero)
          .Option("--WIDTH", V::kInteger)
          .Switches("Do Image Resize", 1)
          .Debug("Width")
          .Join("Image Width Unit", " ")
          .Gate("Do Image Resize")
          .Digits("Image Width", "")
          .UnitIn("Image Width Unit"),
      FIELD("Transform", "Image Width Unit", transform.image_width_unit)
          .Choices(2)
          .Keyword("--WIDTH-UNIT", kKindSizeUnit),
      FIELD("Transform", "Image Height", transform.image_height)
          .Range(0, kDigits)
          .Refuse(R::kZero)
          .Option("--HEIGHT", V::kInteger)
          .Switches("Do Image Resize", 1)
          .Debug("Height")
          .Join("Image Height Unit", " ")
          .Gate("Do Image Resize")
          .Digits("Image Height", "")
          .UnitIn("Image Height Unit"),
      FIELD("Transform", "Image Height Unit", transform.image_height_unit)
          .Choices(2)
          .Keyword("--HEIGHT-UNIT", kKindSizeUnit),
      FIELD("Transform", "Keep Aspect Ratio", transform.keep_aspect_ratio)
          .Flag("--KEEP-ASPECT-RATIO", 1)
          .Debug("Keep Aspect Ratio")
          .Gate("Do Image Resize")
          .Check("Keep Aspect Ratio"),
      FIELD("Transform", "Image Resize Type", transform.image_resize_type)
          .Keyword("--RESIZE-TYPE", kKindResizeType)
          .Debug("Image Resize Type")
          .Gate("Do Image Resize")
          .Listed("Resize Type", kResizeType),
      FIELD("Transform", "Image Resize Algorithm", transform.image_resize_algorithm)
          .Keyword("--RESIZE-ALGORITHM", kKindResizeAlgorithm)
          .Debug("Image Resize Algorithm")
          .Gate("Do Image Resize")
          .Listed("Resize Algorithm", kAlgorithm),
      FIELD("Transform", "Do Image Flip Horizontal", transform.do_image_flip_horizontal)
          .Flag("--FLIP-HORIZONTAL", 1)
          .Debug("Flip Horizontal")
          .Check("Image Flip Horizontal"),
      FIELD("Transform", "Do Image Flip Vertical", transform.do_image_flip_vertical)
          .Flag("--FLIP-VERTICAL", 1)
          .Debug("Flip Vertical")
          .Check("Image Flip Vertical"),
  };
}

std::vector<SettingField> AdjustmentFields() {
  return {
      FIELD("Adjustment", "Do Image Color Correction", adjustment.do_image_color_correction)
          .Choices(2),
      FIELD("Adjustment", "Image Brightness", adjustment.image_brightness)
          .Range(-100, 100)
          .Refuse(R::kOutsideRange)
          .Option("--BRIGHTNESS", V::kInteger)
          .Switches("Do Image Color Correction", 1)
          .Debug("Brightness")
          .Gate("Do Image Color Correction")
          .Slider("Image Brightness", "", RowScale::kShifted),
      FIELD("Adjustment", "Image Contrast", adjustment.image_contrast)
          .Range(-100, 100)
          .Refuse(R::kOutsideRange)
          .Option("--CONTRAST", V::kInteger)
          .Switches("Do Image Color Correction", 1)
          .Debug("Contrast")
          .Gate("Do Image Color Correction")
          .Slider("Image Contrast", "", RowScale::kShifted),
      FIELD("Adjustment", "Image Gamma", adjustment.image_gamma)
          .Range(0.01, 9.99)
          .Refuse(R::kOutsideRange)
          .Option("--GAMMA", V::kDecimal)
          .Switches("Do Image Color Correction", 1)
          .Debug("Gamma")
          .Show(S::kHundredths)
          .Gate("Do Image Color Correction")
          .Slider("Image Gamma", "", RowScale::kHundredths),
      FIELD("Adjustment", "Image Invert", adjustment.image_invert)
          .Flag("--INVERT", 1)
          .Switches("Do Image Color Correction", 1)
          .Debug("Invert")
          .Gate("Do Image Color Correction")
          .Check("Image Invert"),
      FIELD("Adjustment", "Do Image Greyscale", adjustment.do_image_greyscale)
          .Flag("--GREYSCALE", 1)
          .Debug("Greyscale")
          .Check("Image Greyscale"),
      FIELD("Adjustment", "Do Image Threshold", adjustment.do_image_threshold)
          .Check("Image Threshold"),
      FIELD("Adjustment", "Image Threshold", adjustment.image_threshold)
          .Range(0, 255)
          .Option("--THRESHOLD", V::kInteger)
          .Switches("Do Image Threshold", 1)
          .Debug("Image Threshold")
          .Gate("Do Image Threshold")
          .Slider("Threshold Level"),
  };
}

std::vector<SettingField> FrameFields() {
  return {
      FIELD("Frame", "Do Frame", frame.do_frame)
          .Debug("Frame")
          .Show(S::kKeyword, kKindFrame)
          .Listed("Frame Type", kFrameType),
      FRAME_SIDE("Left", "LEFT", "left", solid_left),
      FRAME_SIDE("Right", "RIGHT", "right", solid_right),
      FRAME_SIDE("Top", "TOP", "top", solid_top),
      FRAME_SIDE("Bottom", "BOTTOM", "bottom", solid_bottom),
      FRAME_SIDE_COLOR("Left", "LEFT", "left", solid_left_color),
      FRAME_SIDE_COLOR("Right", "RIGHT", "right", solid_right_color),
      FRAME_SIDE_COLOR("Top", "TOP", "top", solid_top_color),
      FRAME_SIDE_COLOR("Bottom", "BOTTOM", "bottom", solid_bottom_color),
      FIELD("Frame", "Solid Opacity", frame.solid_opacity)
          .Range(1, 255)
          .Option("--FR-SOLID-OPACITY", V::kInteger)
          .Debug("Frame opacity")
          .Gate("Do Frame", 1)
          .Slider("Opacity", "frame"),
  };
}

std::vector<SettingField> WatermarkTextFields() {
  return {
      FIELD("Watermark", "Do Watermark", watermark.kind)
          .Debug("Watermark")
          .Show(S::kKeyword, kKindWatermark)
          .Listed("Watermark Type", kWatermarkType),
      FIELD("Watermark", "Text", watermark.text)
          .Option("--WM-TEXT", V::kText)
          .Switches("Do Watermark", 1)
          .Debug("Watermark text")
          .Show(S::kText)
          .Gate("Do Watermark", 1)
          .Shown(RowKind::kText, "Text", "text"),
      FIELD("Watermark", "Fonts", watermark.fonts),
      FIELD("Watermark", "Font", watermark.font)
          .Refuse(R::kWatermarkFont)
          .Option("--WM-FONT", V::kText)
          .Debug("Watermark font")
          .Show(S::kText)
          .Gate("Do Watermark", 1)
          .Shown(RowKind::kFontList, "Font", "text")
          .ListIn("Fonts"),
      FIELD("Watermark", "Font Size", watermark.font_size)
          .Range(1, platform::kMaxFontPoints)
          .Option("--WM-FONT-SIZE", V::kInteger)
          .Debug("Watermark font size")
          .Gate("Do Watermark", 1)
          .Digits("Font Size", "Points", "text"),
      FIELD("Watermark", "Font Leading", watermark.font_leading)
          .Range(0, kDigits)
          .Option("--WM-FONT-LEADING", V::kInteger)
          .Debug("Watermark font leading")
          .Gate("Do Watermark", 1)
          .Digits("Font Leading", "Pixels", "text"),
      FIELD("Watermark", "Font Colors", watermark.font_colors),
      FIELD("Watermark", "Font Color", watermark.font_color)
          .Option("--WM-FONT-COLOR", V::kText)
          .Debug("Watermark font color")
          .Show(S::kText)
          .Gate("Do Watermark", 1)
          .Shown(RowKind::kColourList, "Font Color", "text")
          .ListIn("Font Colors"),
      FIELD("Watermark", "Font Style", watermark.font_style)
          .Keyword("--WM-FONT-STYLE", kKindFontStyle)
          .Debug("Watermark font style")
          .Gate("Do Watermark", 1)
          .Listed("Font Style", kFontStyle, "text"),
      FIELD("Watermark", "Font Effect", watermark.font_effect)
          .Keyword("--WM-FONT-EFFECT", kKindFontEffect)
          .Debug("Watermark font effect")
          .Gate("Do Watermark", 1)
          .Listed("Font Effect", kFontEffect, "text"),
      FIELD("Watermark", "Text Antialiasing", watermark.text_antialiasing)
          .Flag("--WM-TEXT-ANTIALIASING", 1)
          .Debug("Watermark text antialiasing")
          .Gate("Do Watermark", 1)
          .Check("Antialiasing", "text"),
      FIELD("Watermark", "Text Alignment", watermark.text_alignment)
          .Keyword("--WM-TEXT-ALIGNMENT", kKindTextAlignment)
          .Debug("Watermark text alignment")
          .Gate("Do Watermark", 1)
          .Listed("Text Alignment", kAlignment, "text"),
      FIELD("Watermark", "Text Padding", watermark.text_padding)
          .Range(0, kDigits)
          .Option("--WM-TEXT-PADDING", V::kInteger)
          .Debug("Watermark text padding")
          .Gate("Do Watermark", 1)
          .Digits("Text Padding", "Pixels", "text"),
      FIELD("Watermark", "Text Opacity", watermark.text_opacity)
          .Range(1, 255)
          .Option("--WM-TEXT-OPACITY", V::kInteger)
          .Debug("Watermark text opacity")
          .Gate("Do Watermark", 1)
          .Slider("Text Opacity", "text"),
      FIELD("Watermark", "Back Colors", watermark.back_colors),
      FIELD("Watermark", "Back Color", watermark.back_color)
          .Option("--WM-BACK-COLOR", V::kText)
          .Debug("Watermark background color")
          .Show(S::kText)
          .Gate("Do Watermark", 1)
          .Shown(RowKind::kColourList, "Background Color", "text")
          .ListIn("Back Colors"),
      FIELD("Watermark", "Back Opacity", watermark.back_opacity)
          .Range(1, 255)
          .Option("--WM-BACK-OPACITY", V::kInteger)
          .Debug("Watermark background opacity")
          .Gate("Do Watermark", 1)
          .Slider("Background Opacity", "text"),
      PLACEMENT_FIELDS("Text", "TEXT", "text", text_place, 1),
  };
}

std::vector<SettingField> WatermarkImageFields() {
  return {
      FIELD("Watermark", "Image", watermark.image)
          .Refuse(R::kWatermarkImage)
          .Option("--WM-IMAGE", V::kText)
          .Switches("Do Watermark", 2)
          .Debug("Watermark image")
          .Show(S::kText)
          .Gate("Do Watermark", 2)
          .Shown(RowKind::kImagePath, "Image", "image"),
      FIELD("Watermark", "Image Greyscale", watermark.image_greyscale)
          .Flag("--WM-IMAGE-GREYSCALE", 1)
          .Debug("Watermark greyscale")
          .Gate("Do Watermark", 2)
          .Check("Image Greyscale", "image"),
      FIELD("Watermark", "Image Opacity", watermark.image_opacity)
          .Range(1, 255)
          .Option("--WM-IMAGE-OPACITY", V::kInteger)
          .Debug("Watermark opacity")
          .Gate("Do Watermark", 2)
          .Slider("Opacity", "image"),
      PLACEMENT_FIELDS("Image", "IMAGE", "image", image_place, 2),
  };
}

std::vector<SettingField> AdvancedFields() {
  return {
      FIELD("Advanced", "Filename Mask", advanced.filename_mask)
          .Refuse(R::kFilenameMask)
          .Option("--FILENAME-MASK", V::kText)
          .Debug("Filename Mask")
          .Show(S::kText)
          .Shown(RowKind::kText, "Filename Mask"),
      FIELD("Advanced", "File Timestamp", advanced.file_timestamp)
          .Keyword("--FILE-TIMESTAMP", kKindFileTimestamp)
          .Debug("File Timestamp")
          .Listed("File Timestamp", kTimestamp),
      FIELD("Advanced", "Custom Timestamp", advanced.custom_timestamp)
          .Range(0, kInt32Max)
          .Option("--FILE-TIMESTAMP-CUSTOM", V::kInteger)
          .Debug("Custom Timestamp")
          .Gate("File Timestamp", 2)
          .Shown(RowKind::kDate, "Custom Timestamp"),
      FIELD("Advanced", "Out Folders History", advanced.out_folders_history)
          .Listed("Out Folders History", kHistory),
      FIELD("Advanced", "Out Folders Number", advanced.out_folders_number)
          .Range(1, 50)
          .Slider("Out Folders Number"),
      FIELD("Advanced", "Keep Subfolders", advanced.keep_subfolders)
          .Flag("--NO-SUBFOLDERS", 0)
          .Debug("Keep Subfolders")
          .Check("Keep Subfolders"),
  };
}

std::vector<SettingField> FileFields() {
  return {
      FIELD("File", "Recent Out Folders", file.recent_out_folders),
  };
}

// Every row, in file order.
std::vector<SettingField> BuildFields() {
  std::vector<SettingField> fields;
  for (auto* group : {&GeneralFields, &WindowFields, &InterfaceFields, &InputFields, &OutputFields,
                      &TransformFields, &AdjustmentFields, &FrameFields, &WatermarkTextFields,
                      &WatermarkImageFields, &AdvancedFields, &FileFields}) {
    const std::vector<SettingField> rows = group();
    fields.insert(fields.end(), rows.begin(), rows.end());
  }
  return fields;
}

#undef PLACEMENT_FIELDS
#undef COMPRESSION
#undef FRAME_LOADING
#undef FRAME_SIDE_COLOR
#undef FRAME_SIDE
#undef DEPTH
#undef FORMAT_FIELD
#undef FIELD

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

int8_t Number(WatermarkKind kind) { return static_cast<int8_t>(kind); }

// Decimals of the float fields in the file.
constexpr int kFloatDecimals = 6;

}  // namespace

std::span<const SettingField> SettingFields() {
  static const std::vector<SettingField> kFields = BuildFields();
  return kFields;
}

const SettingField* FindSettingField(std::string_view group, std::string_view key) {
  for (const SettingField& field : SettingFields()) {
    if (IniNameEquals(field.group, group) && IniNameEquals(field.key, key)) return &field;
  }
  return nullptr;
}

SettingType TypeOfSetting(const SettingField& field) {
  static const Settings kProbe;
  return std::visit(Overloaded{
                        [](int8_t*) { return SettingType::kInt8; },
                        [](WatermarkKind*) { return SettingType::kInt8; },
                        [](int32_t*) { return SettingType::kInt32; },
                        [](float*) { return SettingType::kFloat; },
                        [](std::string*) { return SettingType::kString; },
                    },
                    RefOf(kProbe, field));
}

std::string SettingText(const Settings& settings, const SettingField& field) {
  return std::visit(Overloaded{
                        [](int8_t* v) { return std::to_string(*v); },
                        [](WatermarkKind* v) { return std::to_string(Number(*v)); },
                        [](int32_t* v) { return std::to_string(*v); },
                        [](float* v) { return IniFormatFloat(*v, kFloatDecimals); },
                        [](std::string* v) { return *v; },
                    },
                    RefOf(settings, field));
}

void SetSettingFromText(Settings* settings, const SettingField& field, std::string_view text) {
  std::visit(Overloaded{
                 [&](int8_t* v) { *v = Saturate<int8_t>(ParseIniInt(text)); },
                 [&](WatermarkKind* v) { *v = WatermarkKind(Saturate<int8_t>(ParseIniInt(text))); },
                 [&](int32_t* v) { *v = ParseIniInt(text); },
                 [&](float* v) { *v = ParseIniFloat(text); },
                 [&](std::string* v) { v->assign(text); },
             },
             field.ref(*settings));
}

int64_t SettingInt(const Settings& settings, const SettingField& field) {
  return std::visit(Overloaded{
                        [](int8_t* v) -> int64_t { return *v; },
                        [](WatermarkKind* v) -> int64_t { return Number(*v); },
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
                 [&](WatermarkKind* v) { *v = WatermarkKind(Saturate<int8_t>(value)); },
                 [&](int32_t* v) { *v = Saturate<int32_t>(value); },
                 [&](float* v) { *v = static_cast<float>(value); },
                 [](std::string*) {},
             },
             field.ref(*settings));
}

void ClampSetting(Settings* settings, const SettingField& field) {
  if (!field.range.limited) return;
  const double min = field.range.min;
  const double max = field.range.max;
  std::visit(Overloaded{
                 [&](int8_t* v) { *v = static_cast<int8_t>(std::clamp<double>(*v, min, max)); },
                 [&](WatermarkKind* v) {
                   *v =
                       WatermarkKind(static_cast<int8_t>(std::clamp<double>(Number(*v), min, max)));
                 },
                 [&](int32_t* v) { *v = static_cast<int32_t>(std::clamp<double>(*v, min, max)); },
                 [&](float* v) {
                   // Compared in single precision, so both ends themselves stay.
                   const float low = static_cast<float>(min);
                   const float high = static_cast<float>(max);
                   *v = std::isnan(*v) ? low : std::clamp(*v, low, high);
                 },
                 [](std::string*) {},
             },
             field.ref(*settings));
}

bool SettingInUse(const Settings& settings, const SettingField& field) {
  if (!field.format.empty()) {
    const std::string& chosen =
        field.group == "Input" ? settings.input.format : settings.output.format;
    if (chosen != field.format) return false;
  }
  if (field.gate.empty()) return true;
  const SettingField* gate = FindSettingField(field.group, field.gate);
  if (gate == nullptr) return true;
  const int64_t value = SettingInt(settings, *gate);
  return field.gate_value == kGateOn ? value != 0 : value == field.gate_value;
}

const SettingField* FindOptionField(std::string_view option) {
  if (option.empty()) return nullptr;
  for (const SettingField& field : SettingFields()) {
    if (field.option == option) return &field;
  }
  return nullptr;
}

}  // namespace pic2jpg
