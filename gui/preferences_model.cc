#include "gui/preferences_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "engine/format_tables.h"
#include "engine/geometry.h"
#include "engine/naming.h"
#include "engine/run_setup.h"
#include "engine/watermark.h"
#include "platform/file_system.h"
#include "platform/font_config.h"
#include "runlist/run_state.h"
#include "settings/settings_file.h"
#include "text/ascii_case.h"
#include "text/ini_file.h"
#include "text/placeholders.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

constexpr const char* kPageKeys[kPreferencesPageCount] = {"General", "Interface", "Input",
                                                          "Output",  "Transform", "Adjustment",
                                                          "Frame",   "Watermark", "Advanced"};

std::string Trim(std::string_view text) {
  const size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return "";
  const size_t end = text.find_last_not_of(" \t");
  return std::string(text.substr(begin, end - begin + 1));
}

// Comma-separated entries, each trimmed; empty entries left out.
std::vector<std::string> SplitList(std::string_view text) {
  std::vector<std::string> entries;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(',', start);
    if (end == std::string_view::npos) end = text.size();
    std::string entry = Trim(text.substr(start, end - start));
    if (!entry.empty()) entries.push_back(std::move(entry));
    start = end + 1;
  }
  return entries;
}

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

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2 ? 1 : 0;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
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
  const std::string trimmed = Trim(text);
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
  if (row.page == 7 && row.key == "Text Scale") return draft.watermark.text_size == 1;
  if (row.page == 7 && row.key == "Image Scale") return draft.watermark.image_size == 1;
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
  for (char c : Trim(text)) {
    if (c != '\t' && c != '\r' && c != '\n') kept.push_back(c);
  }
  kept = Trim(kept);
  if (kept.size() > kMaxTextFieldBytes) {
    size_t cut = kMaxTextFieldBytes;
    // Not inside a UTF-8 sequence: back up over continuation bytes.
    while (cut > 0 && (static_cast<unsigned char>(kept[cut]) & 0xC0) == 0x80) --cut;
    kept.resize(cut);
  }
  return kept;
}

bool IsHexColour(std::string_view text) {
  return text.size() == 6 && std::all_of(text.begin(), text.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
         });
}

std::string ColourToHex(uint32_t colour) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X%02X%02X", colour & 0xFFu, (colour >> 8) & 0xFFu,
                (colour >> 16) & 0xFFu);
  return text;
}

uint32_t ColourOfHex(std::string_view hex) { return ParseHexColour(std::string(hex)); }

std::string ColourName(std::string_view hex) {
  struct Named {
    const char* name;
    const char* hex;
  };
  static constexpr Named kNamed[] = {
      {"Black", "000000"},  {"Silver", "C0C0C0"}, {"Gray", "808080"},   {"White", "FFFFFF"},
      {"Maroon", "800000"}, {"Red", "FF0000"},    {"Purple", "800080"}, {"Fuchsia", "FF00FF"},
      {"Green", "008000"},  {"Lime", "00FF00"},   {"Olive", "808000"},  {"Yellow", "FFFF00"},
      {"Navy", "000080"},   {"Blue", "0000FF"},   {"Teal", "008080"},   {"Aqua", "00FFFF"},
      {"Orange", "FF8000"}, {"Brown", "804000"},  {"Violet", "8000FF"}};
  const std::string upper = UpperAscii(hex);
  for (const Named& named : kNamed) {
    if (upper == named.hex) return GetText("Preferences", named.name);
  }
  return GetText("Preferences", "Color") + " #" + upper;
}

std::vector<uint8_t> ColourSwatch(uint32_t colour, int width, int height) {
  const size_t pixels = static_cast<size_t>(std::max(width, 0)) * std::max(height, 0);
  std::vector<uint8_t> bytes(pixels * 3);
  for (size_t i = 0; i < pixels; ++i) {
    bytes[i * 3] = static_cast<uint8_t>(colour & 0xFFu);
    bytes[i * 3 + 1] = static_cast<uint8_t>((colour >> 8) & 0xFFu);
    bytes[i * 3 + 2] = static_cast<uint8_t>((colour >> 16) & 0xFFu);
  }
  return bytes;
}

std::vector<ColourItem> FillColourList(std::string_view colours) {
  std::vector<ColourItem> items;
  for (const std::string& entry : SplitList(colours)) {
    if (!IsHexColour(entry)) continue;
    const uint32_t colour = ParseHexColour(entry);
    if (ColourListSelection(items, ColourToHex(colour)) >= 0) continue;
    items.push_back({ColourName(entry), colour});
  }
  return items;
}

int ColourListSelection(const std::vector<ColourItem>& items, std::string_view hex) {
  if (!IsHexColour(hex)) return -1;
  const uint32_t colour = ParseHexColour(std::string(hex));
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].colour == colour) return static_cast<int>(i);
  }
  return -1;
}

bool AddCustomColour(std::string* list_setting, uint32_t colour) {
  colour &= 0xFFFFFFu;
  if (ColourListSelection(FillColourList(*list_setting), ColourToHex(colour)) >= 0) return false;
  if (!Trim(*list_setting).empty()) *list_setting += ",";
  *list_setting += ColourToHex(colour);
  return true;
}

std::vector<std::string> FillFontList(std::string_view fonts, std::string_view font) {
  std::vector<std::string> names = SplitList(fonts);
  const std::string current = Trim(font);
  if (!current.empty() && std::find(names.begin(), names.end(), current) == names.end()) {
    names.push_back(current);
  }
  return names;
}

std::string CleanFontName(std::string_view name) {
  std::string kept;
  for (char c : name) {
    if (c != ',' && c != '\t' && c != '\r' && c != '\n') kept.push_back(c);
  }
  return Trim(kept);
}

bool AddFontName(std::string* fonts_setting, std::string_view name) {
  const std::string clean = CleanFontName(name);
  if (clean.empty()) return false;
  const std::vector<std::string> names = SplitList(*fonts_setting);
  if (std::find(names.begin(), names.end(), clean) != names.end()) return false;
  if (!Trim(*fonts_setting).empty()) *fonts_setting += ",";
  *fonts_setting += clean;
  return true;
}

std::vector<ThemeItem> FillThemeList(const std::map<std::string, std::string>& themes) {
  std::vector<ThemeItem> items;
  for (const auto& [id, name] : themes) {
    if (!name.empty()) items.push_back({id, name});
  }
  std::stable_sort(items.begin(), items.end(), [](const ThemeItem& a, const ThemeItem& b) {
    return LowerAscii(a.id) < LowerAscii(b.id);
  });
  if (items.empty()) items.push_back({"", GetText("Preferences", "None")});
  return items;
}

int ThemeListSelection(const std::vector<ThemeItem>& items, std::string_view theme) {
  for (size_t i = 0; i < items.size(); ++i) {
    if (!items[i].id.empty() && items[i].id == theme) return static_cast<int>(i);
  }
  return 0;
}

DepthList FillDepthList(const std::string& extension, int depth) {
  DepthList list;
  list.items = DepthChoices(extension);
  if (depth == 0) {
    list.selection = 0;
    return list;
  }
  const std::string text = std::to_string(depth);
  for (size_t i = 1; i < list.items.size(); ++i) {
    if (list.items[i] == text) list.selection = static_cast<int>(i);
  }
  return list;
}

int DepthOfChoice(const std::string& extension, int selection) {
  const std::vector<int> depths = AllowedDepthList(extension);
  if (selection < 1 || static_cast<size_t>(selection) > depths.size()) return 0;
  return depths[static_cast<size_t>(selection) - 1];
}

namespace {

int g_start_page = 0;  // the page the next opening shows

}  // namespace

void SetPreferencesStartPage(int page) { g_start_page = page; }

int TakePreferencesStartPage() {
  const int page = g_start_page;
  g_start_page = 0;
  return page >= 0 && page < kPreferencesPageCount ? page : 0;
}

DateFields TimestampFields(int32_t timestamp) {
  const int64_t seconds = std::max<int64_t>(timestamp, 0);
  const int64_t days = seconds / 86400;
  const int64_t rest = seconds % 86400;
  // Civil date of a day count (the inverse of DaysFromCivil).
  const int64_t z = days + 719468;
  const int64_t era = z / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  DateFields fields;
  fields.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  fields.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  fields.year = static_cast<int>(yoe + era * 400 + (fields.month <= 2 ? 1 : 0));
  fields.hour = static_cast<int>(rest / 3600);
  fields.minute = static_cast<int>(rest % 3600 / 60);
  return fields;
}

int32_t TimestampOfFields(const DateFields& fields) {
  const int64_t days =
      DaysFromCivil(fields.year, std::clamp(fields.month, 1, 12), std::clamp(fields.day, 1, 31));
  const int64_t seconds = days * 86400 + int64_t{std::clamp(fields.hour, 0, 23)} * 3600 +
                          int64_t{std::clamp(fields.minute, 0, 59)} * 60;
  const int64_t last_minute = std::numeric_limits<int32_t>::max() / 60 * 60;
  return static_cast<int32_t>(std::clamp<int64_t>(seconds, 0, last_minute));
}

bool ColourCorrectionNeeded(const AdjustmentSettings& adjustment) {
  return adjustment.image_brightness != 0 || adjustment.image_contrast != 0 ||
         adjustment.image_gamma != 1.0f || adjustment.image_invert != 0;
}

std::string SettingsProblemText(const SettingsProblem& problem) {
  if (problem.catalogue_key.empty()) return problem.console_message;
  const std::string text = GetText("Msg", std::string(problem.catalogue_key));
  return problem.detail.empty() ? text : FillPlaceholders(text, problem.detail);
}

int PreferencesPageOf(std::string_view group) {
  for (int page = 0; page < kPreferencesPageCount; ++page) {
    if (kPageKeys[page] == group) return page;
  }
  return -1;
}

std::string EmptyFieldMessage() { return GetText("Msg", "Empty extensions"); }

void DepthsToAuto(Settings* settings) {
  for (const SettingField& field : SettingFields()) {
    if (field.refuse != SettingRefusal::kDepth) continue;
    const int depth = static_cast<int>(SettingInt(*settings, field));
    if (!IsDepthAllowed(std::string(field.format), depth)) SetSettingInt(settings, field, 0);
  }
}

InterfaceChanges CommitPreferences(const Settings& draft, Settings* live) {
  Settings next = draft;
  next.general.language = "en";
  next.adjustment.do_image_color_correction = ColourCorrectionNeeded(next.adjustment) ? 1 : 0;
  DepthsToAuto(&next);
  // Colours as RRGGBB: a malformed colour from a hand-edited file is stored
  // as the conversion would have drawn it.
  for (const PreferencesRow& row : PreferencesRows()) {
    if (row.kind == RowKind::kColourButton || row.kind == RowKind::kColourList) {
      SetRowText(row, ColourToHex(ColourOfHex(RowText(row, next))), &next);
    }
  }
  // What the dialog does not edit stays as the live record has it.
  next.general.cfg = live->general.cfg;
  next.general.update_date = live->general.update_date;
  next.window = live->window;
  next.file = live->file;
  const InterfaceChanges changes = CompareInterface(*live, next);
  *live = std::move(next);
  return changes;
}

InterfaceChanges ResetPreferencesToDefaults() {
  const Settings before = g_settings;
  ApplyDefaultSettings(false);
  g_settings.file = before.file;
  return CompareInterface(before, g_settings);
}

}  // namespace pic2jpg
