#include "gui/themes.h"

#include <archive.h>
#include <archive_entry.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "gui/builtin_pictures.h"
#include "gui/commands.h"
#include "gui/image_maps.h"
#include "platform/file_system.h"
#include "platform/folder_names.h"
#include "runlist/run_state.h"
#include "settings/settings.h"
#include "text/ascii_case.h"

namespace pic2jpg {

std::map<int, std::string> g_images;
std::map<int, std::string> g_builtin_images;
std::map<std::string, std::string> g_themes;
std::string g_last_scanned_theme;

namespace {

constexpr int kAboutImage = 0;

bool IsPng(const std::string& bytes) {
  static const char kSignature[] = "\x89PNG\r\n\x1a\n";
  return bytes.size() > 8 && std::memcmp(bytes.data(), kSignature, 8) == 0;
}

// A package is a few small pictures and a text; anything much larger is
// refused whole, from its listing, before any entry is unpacked.
constexpr int kMaxPackageEntries = 512;
constexpr la_int64_t kMaxEntryBytes = 4 << 20;
constexpr la_int64_t kMaxPackageBytes = 32 << 20;
constexpr uint32_t kMaxPictureSide = 1024;

archive* OpenPackage(const std::string& path) {
  archive* reader = archive_read_new();
  archive_read_support_format_zip(reader);
  if (archive_read_open_filename(reader, path.c_str(), 16384) == ARCHIVE_OK) return reader;
  archive_read_free(reader);
  return nullptr;
}

// True when the package's listing stays within the caps.
bool PackageWithinCaps(const std::string& path) {
  archive* reader = OpenPackage(path);
  if (reader == nullptr) return false;
  int count = 0;
  la_int64_t total = 0;
  archive_entry* entry = nullptr;
  bool ok = true;
  int status = ARCHIVE_OK;
  while (ok && (status = archive_read_next_header(reader, &entry)) == ARCHIVE_OK) {
    const la_int64_t size = archive_entry_size(entry);
    total += size > 0 ? size : 0;
    ok = ++count <= kMaxPackageEntries && size <= kMaxEntryBytes && total <= kMaxPackageBytes;
  }
  archive_read_free(reader);
  return ok && status == ARCHIVE_EOF;
}

// Every entry of a ZIP package with more than 0 bytes, read whole; false
// when the file is empty, not an archive or over the caps.
bool ReadPackage(const std::string& path, std::map<std::string, std::string>* entries) {
  if (fs::FileSize(path) <= 0 || !PackageWithinCaps(path)) return false;
  archive* reader = OpenPackage(path);
  if (reader == nullptr) return false;
  archive_entry* entry = nullptr;
  la_int64_t total = 0;
  while (archive_read_next_header(reader, &entry) == ARCHIVE_OK) {
    const la_int64_t size = archive_entry_size(entry);
    // The sizes were checked, but a second reading of a file may differ.
    if (size <= 0 || size > kMaxEntryBytes || (total += size) > kMaxPackageBytes) continue;
    std::string bytes(static_cast<size_t>(size), '\0');
    la_ssize_t got = archive_read_data(reader, bytes.data(), bytes.size());
    if (got != size) continue;
    (*entries)[archive_entry_pathname(entry)] = std::move(bytes);
  }
  archive_read_free(reader);
  return true;
}

// A PNG picture of at most kMaxPictureSide pixels each way (read from its
// header, before anything decodes it).
bool IsUsablePng(const std::string& bytes) {
  if (!IsPng(bytes) || bytes.size() < 24 || bytes.compare(12, 4, "IHDR") != 0) return false;
  auto side = [&](size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
    return value;
  };
  return side(16) > 0 && side(16) <= kMaxPictureSide && side(20) > 0 && side(20) <= kMaxPictureSide;
}

// The text up to the first zero byte.
std::string CfgText(const std::string& bytes) { return bytes.substr(0, bytes.find('\0')); }

}  // namespace

bool IsThemeName(const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos || name.find("..") != std::string::npos) {
    return false;
  }
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
  }
  return true;
}

std::string ThemeFolder() {
  const std::string& program = g_run_state.program_folder;
  if (fs::IsFolder(program + "gfx")) return program + "gfx/";
  // Installed: <prefix>/bin/pic2jpg and <prefix>/share/pic2jpg/gfx/.
  return program + "../share/pic2jpg/gfx/";
}

void LoadBuiltInImages() {
  g_images.clear();
  g_images[kAboutImage] = std::string(BuiltInPicture("About", 32));
  for (const auto& [name, number] : g_button_image_map) {
    g_images[number] = std::string(BuiltInPicture(name, 32));
  }
  for (const auto& [name, number] : g_icon_image_map) {
    g_images[number] = std::string(BuiltInPicture(name, 16));
  }
  for (const auto& [name, number] : g_second_icon_image_map) {
    g_images[number] = std::string(BuiltInPicture(name, 32));
  }
  g_builtin_images = g_images;
}

void ScanThemes() {
  g_themes.clear();
  g_last_scanned_theme.clear();
  for (const std::string& name : platform::FolderNames(ThemeFolder())) {
    if (name.size() <= 4 || LowerAscii(name.substr(name.size() - 4)) != ".zip") continue;
    if (!fs::IsRegularFile(ThemeFolder() + name)) continue;
    const std::string id = name.substr(0, name.size() - 4);
    if (!IsThemeName(id)) continue;
    g_themes[id] = ThemeDisplayName(id);
    g_last_scanned_theme = id;
  }
}

std::string ThemeDisplayName(const std::string& id) {
  std::map<std::string, std::string> entries;
  if (!ReadPackage(ThemeFolder() + id + ".zip", &entries)) return id;
  auto cfg = entries.find("theme.cfg");
  if (cfg == entries.end()) return "";
  return CfgValue(CfgText(cfg->second.substr(0, 255)), "Theme", "Name");
}

std::string CleanCfgValue(const std::string& text) {
  std::string value = text;
  for (const char* strip : {" ", "\t", "\r", "\n"}) {
    size_t begin = value.find_first_not_of(strip);
    if (begin == std::string::npos) return "";
    value = value.substr(begin, value.find_last_not_of(strip) - begin + 1);
  }
  return value;
}

std::string CfgValue(const std::string& cfg, const std::string& group, const std::string& key) {
  const std::string lower = LowerAscii(cfg);
  // Built by appending: GCC 12 at -O3 warns (-Wrestrict, a false alarm inside
  // std::string) about a literal + temporary string here.
  std::string header(1, '[');
  header += LowerAscii(group);
  header += ']';
  size_t start = lower.find(header);
  if (start == std::string::npos) return "";
  size_t region_end = lower.find('[', start + 1);
  if (region_end == std::string::npos) region_end = lower.size();
  std::string key_line = "\r\n";
  key_line += LowerAscii(key);
  size_t line = lower.find(key_line, start);
  if (line == std::string::npos || line >= region_end) return "";
  size_t line_end = cfg.find("\r\n", line + 2);
  if (line_end == std::string::npos) return "";
  const std::string text = cfg.substr(line + 2, line_end - line - 2);
  size_t equals = text.find('=');
  if (equals == std::string::npos) return "";
  size_t second = text.find('=', equals + 1);
  return CleanCfgValue(text.substr(
      equals + 1, second == std::string::npos ? std::string::npos : second - equals - 1));
}

std::string PictureEntryName(const std::string& value, int pixels) {
  if (LowerAscii(value).find(".png") != std::string::npos) return value;
  return value + "_" + std::to_string(pixels) + ".png";
}

void LoadThemeImages(bool buttons, bool icons1, bool icons2) {
  std::string& theme = g_settings.interface.ui_theme;
  // The theme is chosen by name from the packages the scan found; a name
  // that could lead elsewhere is no theme, and the default takes its place.
  if (!IsThemeName(theme)) theme = Settings{}.interface.ui_theme;
  if (g_themes.count(theme) == 0 || !fs::IsRegularFile(ThemeFolder() + theme + ".zip")) {
    if (g_last_scanned_theme.empty()) return;
    theme = g_last_scanned_theme;
  }
  const std::string path = ThemeFolder() + theme + ".zip";
  std::map<std::string, std::string> entries;
  if (!ReadPackage(path, &entries)) return;
  auto cfg_entry = entries.find("theme.cfg");
  if (cfg_entry == entries.end()) return;
  const std::string cfg = CfgText(cfg_entry->second);
  struct Set {
    bool chosen;
    const std::map<std::string, int>* map;
    const char* group;
    int pixels;
  };
  const Set sets[] = {
      {buttons, &g_button_image_map, "Buttons", 16},
      {icons1, &g_icon_image_map, "Icons", 16},
      {icons2, &g_second_icon_image_map, "Icons", IconPixelSize(g_settings.interface.ui_size)},
  };
  for (const Set& set : sets) {
    if (!set.chosen) continue;
    for (const auto& [name, number] : *set.map) {
      const std::string value = CfgValue(cfg, set.group, name);
      if (value.empty()) continue;
      auto picture = entries.find(PictureEntryName(value, set.pixels));
      if (picture != entries.end() && IsUsablePng(picture->second))
        g_images[number] = picture->second;
    }
  }
}

}  // namespace pic2jpg
