#include "cli/profile.h"

#include <string_view>

#include "cli/option_table.h"
#include "platform/file_system.h"
#include "text/ascii_case.h"
#include "text/ascii_scan.h"
#include "text/ini_file.h"

namespace pic2jpg {
namespace {

// Key and value come trimmed from the preferences reader.
void ApplyProfileKey(const std::string& key, std::string_view value) {
  const OptionSpec* option = FindOption(UpperAscii(key));
  // Only settings are profile keys: input, output, conversion, --profile
  // itself and the switches are ignored.
  if (option == nullptr || option->action != OptionAction::kSetting) return;
  // "--FILENAME-MASK" may be written in double quotes: every leading and
  // trailing quote character goes.
  if (option->name == "--FILENAME-MASK") value = TrimAsciiChar(value, '"');
  ApplySettingValue(*option, value);
}

}  // namespace

bool LoadProfile(const std::string& path) {
  if (path.empty()) return false;
  // Folders, devices and pipes are not profiles.
  if (!fs::IsRegularFile(path)) return false;
  IniFile file;
  if (!ReadIniFile(path, &file)) return false;
  // The reader gathers every "[CLI]" section into one group, in file order.
  const IniGroup* group = FindIniGroup(file, "CLI");
  if (group == nullptr) return true;
  for (const auto& [key, value] : group->entries) ApplyProfileKey(key, value);
  return true;
}

}  // namespace pic2jpg
