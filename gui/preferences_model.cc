#include "gui/preferences_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "text/ascii_scan.h"
#include "text/ini_file.h"

namespace pic2jpg {
namespace {

std::string TrimText(std::string_view text) { return std::string(TrimAsciiBlanks(text)); }

constexpr const char* kPageKeys[kPreferencesPageCount] = {"General", "Interface", "Input",
                                                          "Output",  "Transform", "Adjustment",
                                                          "Frame",   "Watermark", "Advanced"};

bool IsTextKind(RowKind kind) {
  switch (kind) {
    case RowKind::kColourButton:
    case RowKind::kColourList:
    case RowKind::kText:
    case RowKind::kImagePath:
    case RowKind::kFontList:
    case RowKind::kInputFormat:
    case RowKind::kOutputFormat:
    case RowKind::kTheme:
    case RowKind::kLanguage:
      return true;
    default:
      return false;
  }
}

int64_t Clamp(const PreferencesRow& row, int64_t value) {
  return std::clamp<int64_t>(value, row.min, row.max);
}

}  // namespace

std::string_view PreferencesPageKey(int page) {
  if (page < 0 || page >= kPreferencesPageCount) return "";
  return kPageKeys[page];
}

const PreferencesRow* FindPreferencesRow(std::string_view group, std::string_view key) {
  for (const PreferencesRow& row : PreferencesRows()) {
    if (!row.key.empty() && IniNameEquals(PreferencesPageKey(row.page), group) &&
        IniNameEquals(row.key, key)) {
      return &row;
    }
  }
  return nullptr;
}

const SettingField* RowField(const PreferencesRow& row) {
  if (row.key.empty()) return nullptr;
  return FindSettingField(PreferencesPageKey(row.page), row.key);
}

int64_t RowValue(const PreferencesRow& row, const Settings& settings) {
  const SettingField* field = RowField(row);
  if (field == nullptr || IsTextKind(row.kind)) return 0;
  if (row.scale == RowScale::kHundredths) {
    const double gamma = settings.adjustment.image_gamma;
    if (!std::isfinite(gamma)) return 100;
    return Clamp(row, std::llround(std::clamp(gamma, -1.0e6, 1.0e6) * 100.0));
  }
  return SettingInt(settings, *field);
}

void SetRowValue(const PreferencesRow& row, int64_t value, Settings* settings) {
  const SettingField* field = RowField(row);
  if (field == nullptr || IsTextKind(row.kind)) return;
  if (row.kind == RowKind::kNumber || row.kind == RowKind::kSlider || row.kind == RowKind::kCheck) {
    value = Clamp(row, value);
  }
  if (row.scale == RowScale::kHundredths) {
    settings->adjustment.image_gamma = static_cast<float>(value) / 100.0f;
    return;
  }
  SetSettingInt(settings, *field, value);
}

std::string RowText(const PreferencesRow& row, const Settings& settings) {
  const SettingField* field = RowField(row);
  if (field == nullptr) return "";
  return SettingText(settings, *field);
}

void SetRowText(const PreferencesRow& row, const std::string& text, Settings* settings) {
  const SettingField* field = RowField(row);
  if (field == nullptr || !IsTextKind(row.kind)) return;
  if (row.kind == RowKind::kText || row.kind == RowKind::kImagePath ||
      row.kind == RowKind::kFontList) {
    SetSettingFromText(settings, *field, CleanTextField(text));
    return;
  }
  SetSettingFromText(settings, *field, text);
}

int SliderPosition(const PreferencesRow& row, int64_t value) {
  value = Clamp(row, value);
  if (row.scale == RowScale::kShifted) value += 100;
  return static_cast<int>(value);
}

int64_t ValueOfSliderPosition(const PreferencesRow& row, int position) {
  int64_t value = position;
  if (row.scale == RowScale::kShifted) value -= 100;
  return Clamp(row, value);
}

std::string NumberText(const PreferencesRow& row, int64_t value) {
  if (row.scale == RowScale::kHundredths) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(Clamp(row, value)) / 100.0);
    return text;
  }
  return std::to_string(value);
}

std::optional<int64_t> ValueOfNumberText(const PreferencesRow& row, std::string_view text) {
  const std::string trimmed = TrimText(text);
  if (row.scale == RowScale::kHundredths) {
    // Read with "." or "," as the separator; a typed 0 becomes the least gamma.
    std::string decimal = trimmed;
    std::replace(decimal.begin(), decimal.end(), ',', '.');
    if (decimal.find_first_of("0123456789") == std::string::npos) return std::nullopt;
    const double gamma = ParseIniFloat(decimal);
    return Clamp(row, std::llround(std::clamp(gamma * 100.0, -1.0e9, 1.0e9)));
  }
  size_t pos = 0;
  bool negative = false;
  if (pos < trimmed.size() && (trimmed[pos] == '-' || trimmed[pos] == '+')) {
    negative = trimmed[pos] == '-';
    ++pos;
  }
  if (pos >= trimmed.size() || trimmed[pos] < '0' || trimmed[pos] > '9') return std::nullopt;
  int64_t value = 0;
  for (; pos < trimmed.size() && trimmed[pos] >= '0' && trimmed[pos] <= '9'; ++pos) {
    // Held just above any range a row has, so a pasted run of digits cannot overflow.
    value = std::min<int64_t>(value * 10 + (trimmed[pos] - '0'), int64_t{1} << 40);
  }
  return Clamp(row, negative ? -value : value);
}

bool RowEnabled(const PreferencesRow& row, const Settings& draft) {
  const std::string_view key = row.key;
  switch (row.page) {
    case 2:
      if (row.area != "raw") return true;
      if (key == "RAW Header Size" || key == "RAW Image Width" || key == "RAW Image Height") {
        return draft.input.raw_load_as == 1 || draft.input.raw_load_as == 2;
      }
      if (key == "RAW Tone Mapping") {
        return draft.input.raw_load_as == 4 || draft.input.raw_load_as == 5;
      }
      return true;
    case 4:
      if (key == "Image Rotation Type" || key == "Image Rotation" ||
          key == "Image Rotation Back Color") {
        return draft.transform.do_image_rotation != 0;
      }
      if (key == "Image Width" || key == "Image Height" || key == "Keep Aspect Ratio" ||
          key == "Image Resize Type" || key == "Image Resize Algorithm") {
        return draft.transform.do_image_resize != 0;
      }
      return true;
    case 5:
      if (key == "Image Threshold") return draft.adjustment.do_image_threshold != 0;
      return true;
    case 8:
      if (key == "Custom Timestamp") return draft.advanced.file_timestamp == 2;
      return true;
    default:
      return true;
  }
}

bool RowVisible(const PreferencesRow& row, const Settings& draft) {
  if (row.page == 7 && row.key == "Text Scale") return draft.watermark.text_place.size == 1;
  if (row.page == 7 && row.key == "Image Scale") return draft.watermark.image_place.size == 1;
  if (row.page == 8 && row.key == "Keep Subfolders") return false;
  return true;
}

bool AreaVisible(int page, std::string_view area, const Settings& draft) {
  if (area.empty()) return true;
  switch (page) {
    case 2:
      return area == draft.input.format;
    case 3:
      return area == draft.output.format;
    case 6:
      return area == "frame" && draft.frame.do_frame == 1;
    case 7:
      return (area == "text" && draft.watermark.kind == WatermarkKind::kText) ||
             (area == "image" && draft.watermark.kind == WatermarkKind::kImage);
    default:
      return false;
  }
}

std::string CleanTextField(std::string_view text) {
  if (text.empty()) return "";
  std::string kept;
  kept.reserve(std::min(text.size(), kMaxTextFieldBytes));
  for (char c : TrimText(text)) {
    if (c != '\t' && c != '\r' && c != '\n') kept.push_back(c);
  }
  kept = TrimText(kept);
  if (kept.size() > kMaxTextFieldBytes) {
    size_t cut = kMaxTextFieldBytes;
    // Not inside a UTF-8 sequence: back up over continuation bytes.
    while (cut > 0 && (static_cast<unsigned char>(kept[cut]) & 0xC0) == 0x80) --cut;
    kept.resize(cut);
  }
  return kept;
}

int PreferencesPageOf(std::string_view group) {
  for (int page = 0; page < kPreferencesPageCount; ++page) {
    if (kPageKeys[page] == group) return page;
  }
  return -1;
}

}  // namespace pic2jpg
