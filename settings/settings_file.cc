// Defaults, loading and saving of g_settings. Loading never fails: what the
// preferences file lacks (or the whole file, when it cannot be read) comes
// from the defaults. Saving goes through a temporary file and a rename, so a
// save that fails leaves the previous file as it was.
#include "settings/settings_file.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <span>
#include <string_view>

#include "platform/app_paths.h"
#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/file_system.h"
#include "settings/settings_fields.h"
#include "text/ascii_case.h"
#include "text/identity.h"
#include "text/ini_file.h"

namespace pic2jpg {
namespace {

constexpr const char* kProgramDataName = "quorvel";
constexpr const char* kPreferencesFileName = "config.ini";
// The layout version this program writes; older files are migrated on load.
constexpr int32_t kCurrentLayout = 17;
// Left and top edge of the main window when it cannot be centred, or when a
// preferences file exists but holds no position.
constexpr int kWindowFallback = 100;

int32_t NowAsSetting() {
  int64_t now = platform::NowSeconds();
  return static_cast<int32_t>(std::clamp<int64_t>(now, 0, std::numeric_limits<int32_t>::max()));
}

// The extensions whose own keys a group writes (Input and Output only).
std::span<const char* const> FormatsWrittenFor(std::string_view group) {
  if (group == "Input") return kMainInputFormats;
  if (group == "Output") return kMainOutputFormats;
  return {};
}

void WriteField(std::string* out, const Settings& settings, const SettingField& field) {
  if (field.group == "General" && field.key == "CFG") {
    IniWriteKey(out, field.key, int64_t{kCurrentLayout});
    return;
  }
  IniWriteKey(out, field.key, std::string_view(SettingText(settings, field)));
}

// The preferences file text of `settings`.
std::string FormatSettingsFile(const Settings& settings) {
  std::string out;
  IniWriteStart(&out);
  std::span<const SettingField> fields = SettingFields();
  size_t begin = 0;
  while (begin < fields.size()) {
    std::string_view group = fields[begin].group;
    size_t end = begin;
    while (end < fields.size() && fields[end].group == group) ++end;
    std::span<const SettingField> keys = fields.subspan(begin, end - begin);

    IniWriteGroup(&out, group);
    bool write_keys = group != "Window" || settings.general.save_window_position == 1;
    if (write_keys) {
      for (const SettingField& field : keys) {
        if (field.format.empty()) WriteField(&out, settings, field);
      }
      // Per-format keys: only those of the program's own formats, slot by slot.
      std::span<const char* const> formats = FormatsWrittenFor(group);
      for (size_t slot = 0; slot < formats.size(); ++slot) {
        std::string_view format = formats[slot];
        if (format.empty() ||
            std::find(formats.begin(), formats.begin() + slot, format) != formats.begin() + slot) {
          continue;
        }
        for (const SettingField& field : keys) {
          if (field.format == format) WriteField(&out, settings, field);
        }
      }
    }
    IniWriteGroupEnd(&out);
    begin = end;
  }
  return out;
}

// Whether a value text begins with a number, as the number reads take it:
// blanks, an optional sign, then a digit (or a "." and a digit).
bool StartsWithNumber(std::string_view text) {
  size_t at = text.find_first_not_of(" \t");
  if (at == std::string_view::npos) return false;
  if (text[at] == '+' || text[at] == '-') ++at;
  if (at < text.size() && text[at] == '.') ++at;
  return at < text.size() && text[at] >= '0' && text[at] <= '9';
}

// A number that is not one (or nothing) keeps what the record holds.
void ReadSettingsFrom(const IniFile& file, Settings* settings) {
  for (const SettingField& field : SettingFields()) {
    const std::string* value = FindIniValue(file, field.group, field.key);
    if (value == nullptr) continue;
    if (TypeOfSetting(field) != SettingType::kString && !StartsWithNumber(*value)) continue;
    SetSettingFromText(settings, field, *value);
  }
}

bool ContainsExtToken(std::string_view mask) {
  return LowerAscii(mask).find("%ext%") != std::string::npos;
}

// Brings settings read from an older layout up to date.
void MigrateSettings(Settings* settings) {
  int32_t layout = settings->general.cfg;
  // Before layout 11 the mask held no extension; the name expander reads the
  // mask in lower case, so any spelling of the token counts.
  if (layout < 11 && !ContainsExtToken(settings->advanced.filename_mask)) {
    settings->advanced.filename_mask += ".%ext%";
  }
  // Layout 14 put two choices in front of the RAW loading modes.
  if (layout < 14 && settings->input.raw_load_as != 0) {
    int64_t moved = int64_t{settings->input.raw_load_as} + 2;
    settings->input.raw_load_as =
        static_cast<int32_t>(std::min<int64_t>(moved, std::numeric_limits<int32_t>::max()));
  }
}

}  // namespace

void ApplyDefaultSettings(bool console) {
  g_settings = Settings{};
  g_settings.general.cfg = kCurrentLayout;
  g_settings.general.update_date = NowAsSetting();
  g_settings.advanced.custom_timestamp = NowAsSetting();
  g_settings.input.format = kMainInputFormats[0];
  g_settings.output.format = kMainOutputFormats[0];
  g_settings.window.x = CenteredCoordinate(g_settings.window.width, kWindowFallback, true);
  g_settings.window.y = CenteredCoordinate(g_settings.window.height, kWindowFallback, false);
  g_settings.transform.keep_aspect_ratio = console ? 0 : 1;
}

int CenteredCoordinate(int size, int fallback, bool horizontal) {
  platform::DesktopSize desktop = platform::PrimaryDesktopSize();
  int extent = horizontal ? desktop.width : desktop.height;
  if (extent > size) return static_cast<int>((int64_t{extent} - size) / 2);
  return fallback;
}

std::string BuildPreferencesPath() {
  std::string_view title = kProgramTitle;
  std::string maker(title.substr(0, title.find(' ')));
  std::string folder = platform::GetProgramDataFolder(maker, kProgramDataName);
  g_preferences_path = folder.empty() ? std::string() : folder + kPreferencesFileName;
  return g_preferences_path;
}

void LoadSettings() {
  IniFile file;
  bool opened = !g_preferences_path.empty() && ReadIniFile(g_preferences_path, &file);
  ApplyDefaultSettings(false);
  if (opened) {
    // An existing file without these keys predates them (CFG) or held no
    // window position (X, Y).
    g_settings.general.cfg = 0;
    g_settings.window.x = kWindowFallback;
    g_settings.window.y = kWindowFallback;
    ReadSettingsFrom(file, &g_settings);
  }
  MigrateSettings(&g_settings);
  // Numbers outside their range are held at the nearer end, as the dialog
  // shows them, so a later save writes them back in range.
  for (const SettingField& field : SettingFields()) ClampSetting(&g_settings, field);
}

bool SaveSettings() {
  if (g_preferences_path.empty()) return false;
  return fs::WriteFileAtomic(g_preferences_path, FormatSettingsFile(g_settings));
}

}  // namespace pic2jpg
