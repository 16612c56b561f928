// The rows of the preferences dialog: page, area, caption, control kind, the
// setting each edits and its range as the user sees it.
#include <cmath>
#include <vector>

#include "engine/format_tables.h"
#include "gui/preferences_model.h"

namespace pic2jpg {
namespace {

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
constexpr Items kRle = {"RLE"};
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

PreferencesRow List(int page, std::string_view area, std::string_view caption, std::string_view key,
                    std::span<const char* const> items) {
  PreferencesRow row;
  row.page = page;
  row.area = area;
  row.caption = caption;
  row.kind = RowKind::kList;
  row.key = key;
  row.items = items;
  row.max = static_cast<int>(items.size()) - 1;
  return row;
}

PreferencesRow Plain(int page, std::string_view area, std::string_view caption, RowKind kind,
                     std::string_view key) {
  PreferencesRow row;
  row.page = page;
  row.area = area;
  row.caption = caption;
  row.kind = kind;
  row.key = key;
  if (kind == RowKind::kCheck) row.max = 1;
  return row;
}

PreferencesRow Number(int page, std::string_view area, std::string_view caption,
                      std::string_view key, std::string_view unit) {
  PreferencesRow row = Plain(page, area, caption, RowKind::kNumber, key);
  row.unit = unit;
  return row;
}

PreferencesRow Slider(int page, std::string_view area, std::string_view caption,
                      std::string_view key, RowScale scale = RowScale::kPlain) {
  PreferencesRow row = Plain(page, area, caption, RowKind::kSlider, key);
  row.scale = scale;
  return row;
}

// Numbers and sliders show the range of their setting (gamma in hundredths).
void TakeRange(PreferencesRow* row) {
  if (row->kind != RowKind::kNumber && row->kind != RowKind::kSlider) return;
  const SettingField* field = RowField(*row);
  if (field == nullptr || !field->range.limited) return;
  const double scale = row->scale == RowScale::kHundredths ? 100.0 : 1.0;
  row->min = static_cast<int>(std::lround(field->range.min * scale));
  row->max = static_cast<int>(std::lround(field->range.max * scale));
}

PreferencesRow Listed(int page, std::string_view area, std::string_view caption, RowKind kind,
                      std::string_view key, std::string_view list_key) {
  PreferencesRow row = Plain(page, area, caption, kind, key);
  row.list_key = list_key;
  return row;
}

std::vector<PreferencesRow> BuildRows() {
  std::vector<PreferencesRow> rows;
  auto add = [&rows](PreferencesRow row) { rows.push_back(row); };

  // General.
  add(Plain(0, "", "Language", RowKind::kLanguage, ""));
  add(List(0, "", "Check For Updates", "Update Range", kUpdateRange));
  add(Plain(0, "", "Save window position", RowKind::kCheck, "Save Window Position"));
  // Interface.
  add(Plain(1, "", "UI Theme", RowKind::kTheme, "UI Theme"));
  add(List(1, "", "UI Size", "UI Size", kUiSize));
  // Input and its per-format panes.
  add(Plain(2, "", "Input Format", RowKind::kInputFormat, "Format"));
  add(List(2, "dds", "Load As", "DDS Load As", kDdsLoadAs));
  add(List(2, "gif", "Frame Loading", "GIF Frame Loading", kFrameLoading));
  add(List(2, "ico", "Frame Loading", "ICO Frame Loading", kFrameLoading));
  add(List(2, "raw", "Load As", "RAW Load As", kRawLoadAs));
  add(Number(2, "raw", "Header Size", "RAW Header Size", "Bytes"));
  add(Number(2, "raw", "Image Width", "RAW Image Width", "Pixels"));
  add(Number(2, "raw", "Image Height", "RAW Image Height", "Pixels"));
  add(List(2, "raw", "Tone Mapping", "RAW Tone Mapping", kToneMapping));
  add(List(2, "tiff", "Frame Loading", "TIFF Frame Loading", kFrameLoading));
  // Output: the format list, then one pane per output format, its depth first.
  add(Plain(3, "", "Output Format", RowKind::kOutputFormat, "Format"));
  for (const SettingField& field : SettingFields()) {
    if (field.group != "Output" || field.format.empty()) continue;
    const std::string_view format = field.format;
    if (field.key.ends_with(" BPP")) {
      add(Plain(3, format, "Bits Per Pixel", RowKind::kDepthList, field.key));
    }
  }
  auto pane_row = [&rows](PreferencesRow row) {
    // Behind the depth row of its pane.
    auto at = rows.end();
    for (auto it = rows.begin(); it != rows.end(); ++it) {
      if (it->page == row.page && it->area == row.area) at = it + 1;
    }
    rows.insert(at, row);
  };
  pane_row(List(3, "bmp", "Compression", "BMP Compression", kNoneRle));
  pane_row(List(3, "bmp", "Color Table", "BMP Color Table", kColorTable));
  pane_row(List(3, "exr", "Compression", "EXR Compression", kExrCompression));
  pane_row(Slider(3, "jpg", "Image Quality", "JPG Quality"));
  pane_row(List(3, "jpg", "Chroma Subsampling", "JPG Chroma", kChroma));
  pane_row(List(3, "jpg", "Save As", "JPG Save As", kSaveAs));
  pane_row(List(3, "pcx", "Compression", "", kRle));
  pane_row(List(3, "png", "Compression", "PNG Compression", kPngCompression));
  pane_row(Plain(3, "png", "Interlaced", RowKind::kCheck, "PNG Interlaced"));
  pane_row(List(3, "tga", "Compression", "TGA Compression", kNoneRle));
  pane_row(List(3, "tiff", "Compression", "TIFF Compression", kTiffCompression));
  pane_row(List(3, "tiff", "Color Model", "TIFF Color Model", kColorModel));
  // Transform.
  add(Plain(4, "", "Image Rotation", RowKind::kCheck, "Do Image Rotation"));
  add(List(4, "", "Rotation Type", "Image Rotation Type", kRotationType));
  add(Slider(4, "", "Rotation Angle", "Image Rotation"));
  add(Plain(4, "", "Background Color", RowKind::kColourButton, "Image Rotation Back Color"));
  add(Plain(4, "", "Image Resize", RowKind::kCheck, "Do Image Resize"));
  PreferencesRow width = Number(4, "", "Image Width", "Image Width", "");
  width.unit_key = "Image Width Unit";
  add(width);
  PreferencesRow height = Number(4, "", "Image Height", "Image Height", "");
  height.unit_key = "Image Height Unit";
  add(height);
  add(Plain(4, "", "Keep Aspect Ratio", RowKind::kCheck, "Keep Aspect Ratio"));
  add(List(4, "", "Resize Type", "Image Resize Type", kResizeType));
  add(List(4, "", "Resize Algorithm", "Image Resize Algorithm", kAlgorithm));
  add(Plain(4, "", "Image Flip Horizontal", RowKind::kCheck, "Do Image Flip Horizontal"));
  add(Plain(4, "", "Image Flip Vertical", RowKind::kCheck, "Do Image Flip Vertical"));
  // Adjustment.
  add(Slider(5, "", "Image Brightness", "Image Brightness", RowScale::kShifted));
  add(Slider(5, "", "Image Contrast", "Image Contrast", RowScale::kShifted));
  add(Slider(5, "", "Image Gamma", "Image Gamma", RowScale::kHundredths));
  add(Plain(5, "", "Image Invert", RowKind::kCheck, "Image Invert"));
  add(Plain(5, "", "Image Greyscale", RowKind::kCheck, "Do Image Greyscale"));
  add(Plain(5, "", "Image Threshold", RowKind::kCheck, "Do Image Threshold"));
  add(Slider(5, "", "Threshold Level", "Image Threshold"));
  // Frame.
  add(List(6, "", "Frame Type", "Do Frame", kFrameType));
  add(Number(6, "frame", "Left", "Solid Left", "Pixels"));
  add(Number(6, "frame", "Right", "Solid Right", "Pixels"));
  add(Number(6, "frame", "Top", "Solid Top", "Pixels"));
  add(Number(6, "frame", "Bottom", "Solid Bottom", "Pixels"));
  add(Plain(6, "frame", "Left Color", RowKind::kColourButton, "Solid Left Color"));
  add(Plain(6, "frame", "Right Color", RowKind::kColourButton, "Solid Right Color"));
  add(Plain(6, "frame", "Top Color", RowKind::kColourButton, "Solid Top Color"));
  add(Plain(6, "frame", "Bottom Color", RowKind::kColourButton, "Solid Bottom Color"));
  add(Slider(6, "frame", "Opacity", "Solid Opacity"));
  // Watermark: the type, then the text area and the image area.
  add(List(7, "", "Watermark Type", "Do Watermark", kWatermarkType));
  add(Plain(7, "text", "Text", RowKind::kText, "Text"));
  add(Listed(7, "text", "Font", RowKind::kFontList, "Font", "Fonts"));
  add(Number(7, "text", "Font Size", "Font Size", "Points"));
  add(Number(7, "text", "Font Leading", "Font Leading", "Pixels"));
  add(Listed(7, "text", "Font Color", RowKind::kColourList, "Font Color", "Font Colors"));
  add(List(7, "text", "Font Style", "Font Style", kFontStyle));
  add(List(7, "text", "Font Effect", "Font Effect", kFontEffect));
  add(Plain(7, "text", "Antialiasing", RowKind::kCheck, "Text Antialiasing"));
  add(List(7, "text", "Text Alignment", "Text Alignment", kAlignment));
  add(Number(7, "text", "Text Padding", "Text Padding", "Pixels"));
  add(Slider(7, "text", "Text Opacity", "Text Opacity"));
  add(Listed(7, "text", "Background Color", RowKind::kColourList, "Back Color", "Back Colors"));
  add(Slider(7, "text", "Background Opacity", "Back Opacity"));
  add(List(7, "text", "Boundary", "Text Boundary", kBoundary));
  add(List(7, "text", "Position", "Text Position", kPosition));
  add(Number(7, "text", "X-Offset", "Text X Offset", "Pixels"));
  add(Number(7, "text", "Y-Offset", "Text Y Offset", "Pixels"));
  add(Slider(7, "text", "Rotation Angle", "Text Rotation"));
  add(List(7, "text", "Size", "Text Size", kSize));
  add(Slider(7, "text", "Scale", "Text Scale"));
  add(Plain(7, "image", "Image", RowKind::kImagePath, "Image"));
  add(Plain(7, "image", "Image Greyscale", RowKind::kCheck, "Image Greyscale"));
  add(Slider(7, "image", "Opacity", "Image Opacity"));
  add(List(7, "image", "Boundary", "Image Boundary", kBoundary));
  add(List(7, "image", "Position", "Image Position", kPosition));
  add(Number(7, "image", "X-Offset", "Image X Offset", "Pixels"));
  add(Number(7, "image", "Y-Offset", "Image Y Offset", "Pixels"));
  add(Slider(7, "image", "Rotation Angle", "Image Rotation"));
  add(List(7, "image", "Size", "Image Size", kSize));
  add(Slider(7, "image", "Scale", "Image Scale"));
  // Advanced.
  add(Plain(8, "", "Filename Mask", RowKind::kText, "Filename Mask"));
  add(List(8, "", "File Timestamp", "File Timestamp", kTimestamp));
  add(Plain(8, "", "Custom Timestamp", RowKind::kDate, "Custom Timestamp"));
  add(List(8, "", "Out Folders History", "Out Folders History", kHistory));
  add(Slider(8, "", "Out Folders Number", "Out Folders Number"));
  add(Plain(8, "", "Keep Subfolders", RowKind::kCheck, "Keep Subfolders"));
  for (PreferencesRow& row : rows) TakeRange(&row);
  return rows;
}

}  // namespace

std::span<const PreferencesRow> PreferencesRows() {
  static const std::vector<PreferencesRow> kRows = BuildRows();
  return kRows;
}

}  // namespace pic2jpg
