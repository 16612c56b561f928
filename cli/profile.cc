#include "cli/profile.h"

#include <string_view>

#include "cli/option_table.h"
#include "platform/file_system.h"
#include "settings/ini_file.h"
#include "text/ascii_case.h"
#include "text/ascii_scan.h"

namespace pic2jpg {
namespace {

// "--FILENAME-MASK" may be written in double quotes: every leading and
// trailing quote character goes.
std::string_view StripQuotes(std::string_view text) {
  while (!text.empty() && text.front() == '"') text.remove_prefix(1);
  while (!text.empty() && text.back() == '"') text.remove_suffix(1);
  return text;
}

void ApplyProfileKey(const std::string& key, const std::string& raw_value) {
  const OptionSpec* option = FindOption(UpperAscii(TrimAsciiBlanks(key)));
  // Only settings are profile keys: input, output, conversion, --profile
  // itself and the switches are ignored.
  if (option == nullptr || option->action != OptionAction::kSetting) return;
  std::string_view value = TrimAsciiBlanks(raw_value);
  if (std::string_view(option->name) == "--FILENAME-MASK") value = StripQuotes(value);
  ApplySettingValue(*option, value);
}

}  // namespace

bool LoadProfile(const std::string& path) {
  if (path.empty()) return false;
  // Folders, devices and pipes are not profiles.
  if (!fs::IsRegularFile(path)) return false;
  IniFile file;
  if (!ReadIniFile(path, &file)) return false;
  // Every "CLI" group counts, in file order.
  for (const IniGroup& group : file.groups) {
    if (UpperAscii(TrimAsciiBlanks(group.name)) != "CLI") continue;
    for (const auto& [key, value] : group.entries) ApplyProfileKey(key, value);
  }
  return true;
}

}  // namespace pic2jpg
