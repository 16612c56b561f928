// The table of command-line options: each option's name, how its value is
// read and where it goes. The option loop and the profile reader both work
// from it, so an option and the profile key of the same name behave alike.
#ifndef PIC2JPG_CLI_OPTION_TABLE_H_
#define PIC2JPG_CLI_OPTION_TABLE_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "text/ascii_case.h"  // UpperAscii, for the names FindOption takes

namespace pic2jpg {

enum class ValueType {
  kNone,     // takes no value (switches)
  kText,     // stored unchanged
  kInteger,  // ReadInteger
  kDecimal,  // ReadDecimal
  kKeyword,  // KeywordToValue of the option's kind, blanks trimmed
  kFlag,     // stores the option's fixed value; any value text is ignored
};

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

// A settings field of any of the record's value types.
using FieldRef = std::variant<int32_t*, int8_t*, float*, std::string*>;

struct OptionSpec {
  const char* name;        // long form, upper case: "--JPG-QUALITY"
  const char* short_name;  // "-I"; nullptr when there is none
  OptionAction action;
  ValueType type;
  int kind;              // keyword kind; -1 for other types
  FieldRef (*target)();  // the settings field; nullptr for the non-settings
  int32_t flag_value;    // what a flag stores
  void (*sets)();        // fields set to fixed values as well; may be nullptr
};

std::span<const OptionSpec> AllOptions();

// The option whose long or short name equals `upper_name` exactly (names are
// upper-cased by the caller); nullptr when there is none.
const OptionSpec* FindOption(std::string_view upper_name);

// Reads `value` by the option's type, stores it into the option's field and
// sets its fixed fields. Only for kSetting options.
void ApplySettingValue(const OptionSpec& option, std::string_view value);

}  // namespace pic2jpg

#endif  // PIC2JPG_CLI_OPTION_TABLE_H_
