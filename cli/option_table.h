// The table of command-line options: the settings table's options (each
// setting names its own option, value type and keyword kind) and the options
// of the run itself. The option loop and the profile reader both work from
// it, so an option and the profile key of the same name behave alike.
#ifndef PIC2JPG_CLI_OPTION_TABLE_H_
#define PIC2JPG_CLI_OPTION_TABLE_H_

#include <span>
#include <string_view>

#include "settings/settings_fields.h"
#include "text/ascii_case.h"  // UpperAscii, for the names FindOption takes

namespace pic2jpg {

using ValueType = OptionValue;

enum class OptionAction {
  kSetting,     // a field of the settings record (also a profile key)
  kInput,       // -i, --input
  kOutput,      // -o, --output
  kConversion,  // -c, --conversion
  kProfile,     // --profile
  kDebug,       // -d, --debug
  kQuiet,       // -q, --quiet
  kPause,       // -p, --pause
};

struct OptionSpec {
  std::string_view name;        // long form, upper case: "--JPG-QUALITY"
  std::string_view short_name;  // "-I"; empty when there is none
  OptionAction action = OptionAction::kSetting;
  ValueType type = ValueType::kNone;
  const SettingField* field = nullptr;  // the setting; nullptr for the others
};

std::span<const OptionSpec> AllOptions();

// The option whose long or short name equals `upper_name` exactly (names are
// upper-cased by the caller); nullptr when there is none.
const OptionSpec* FindOption(std::string_view upper_name);

// Reads `value` by the option's type, stores it into the option's field of
// g_settings and sets the field it switches on. Only for kSetting options.
void ApplySettingValue(const OptionSpec& option, std::string_view value);

}  // namespace pic2jpg

#endif  // PIC2JPG_CLI_OPTION_TABLE_H_
