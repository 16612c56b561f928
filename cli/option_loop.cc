#include "cli/option_loop.h"

#include <string_view>

#include "cli/option_table.h"
#include "cli/path_options.h"
#include "cli/profile.h"
#include "runlist/run_state.h"
#include "settings/settings.h"
#include "text/ascii_case.h"
#include "text/ascii_scan.h"

namespace pic2jpg {
namespace {

// Parameters lose their spaces (not tabs) at both ends.
std::string_view TrimSpaces(std::string_view text) { return TrimAsciiChar(text, ' '); }

// The value of a short-or-long option (-i FILE, --input=FILE); advances `i`
// past the value parameter of the short form. False when the value is
// missing or looks like another option. The short form takes the whole next
// parameter, so "-i --jpg-quality=80" is refused rather than reading "80" as
// the file.
bool ShortOrLongValue(const std::vector<std::string>& args, const std::string& name, size_t* i,
                      std::string* value) {
  if (name.starts_with("--")) {
    *value = ProgramParameterValue(args, *i);
  } else {
    ++*i;
    *value = *i < args.size() ? std::string(TrimSpaces(args[*i])) : std::string();
  }
  return !value->empty() && (*value)[0] != '-';
}

// The value of a long-only option, after "=" in the same parameter. Without
// "=" the value is the option text itself, which is refused.
bool LongValue(const std::vector<std::string>& args, size_t i, std::string* value) {
  *value = ProgramParameterValue(args, i);
  return !value->empty() && !value->starts_with("--");
}

// Reads the value of an option that takes one, moving `i` past a value in
// the next parameter; false when the value is missing.
bool ReadOptionValue(const OptionSpec& option, const std::vector<std::string>& args,
                     const std::string& name, size_t* i, std::string* value) {
  switch (option.action) {
    case OptionAction::kInput:
    case OptionAction::kOutput:
    case OptionAction::kConversion:
      return ShortOrLongValue(args, name, i, value);
    case OptionAction::kProfile:
      return LongValue(args, *i, value);
    case OptionAction::kSetting:
      return option.type == ValueType::kFlag || LongValue(args, *i, value);
    case OptionAction::kDebug:
    case OptionAction::kQuiet:
    case OptionAction::kPause:
      return true;
  }
  return true;
}

}  // namespace

std::string ProgramParameterName(const std::vector<std::string>& args, size_t i) {
  if (i >= args.size()) return "";
  std::string_view parameter = TrimSpaces(args[i]);
  if (!parameter.starts_with("-")) return "";
  if (parameter.starts_with("--")) parameter = parameter.substr(0, parameter.find('='));
  return UpperAscii(parameter);
}

std::string ProgramParameterValue(const std::vector<std::string>& args, size_t i) {
  if (i >= args.size()) return "";
  std::string_view parameter = TrimSpaces(args[i]);
  if (parameter.starts_with("--")) {
    size_t equals = parameter.find('=', 2);
    if (equals != std::string_view::npos) parameter = parameter.substr(equals + 1);
  }
  return std::string(parameter);
}

OptionLoopResult RunOptionLoop(const std::vector<std::string>& args) {
  OptionLoopResult result;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string name = ProgramParameterName(args, i);
    const OptionSpec* option = FindOption(name);
    if (option == nullptr) {
      // Unknown options and stray words are passed over, but not silently:
      // a typo such as --jpg-qualty=5 would otherwise go unseen.
      const std::string_view text = TrimSpaces(args[i]);
      if (!name.empty()) {
        result.warnings.push_back("unknown option " + std::string(text.substr(0, text.find('='))) +
                                  " ignored");
      } else if (!text.empty()) {
        result.warnings.push_back("parameter \"" + std::string(text) + "\" ignored");
      }
      continue;
    }
    // -i makes the run a console run even when its value is missing.
    if (option->action == OptionAction::kInput) g_run_state.console_mode = true;
    std::string value;
    if (!ReadOptionValue(*option, args, name, &i, &value)) {
      result.error = kIncorrectParameters;
      return result;
    }
    switch (option->action) {
      case OptionAction::kInput:
        g_run_state.input_argument = ExpandHome(value);
        break;
      case OptionAction::kOutput:
        g_run_state.output_folder = ExpandHome(value);
        break;
      case OptionAction::kConversion:
        g_run_state.output_extension = value;
        break;
      case OptionAction::kProfile:
        if (!LoadProfile(ExpandHome(value))) {
          result.error = kInvalidProfile;
          return result;
        }
        break;
      case OptionAction::kDebug:
        g_run_state.message_level = MessageLevel::kDebug;
        break;
      case OptionAction::kQuiet:
        result.quiet = true;
        break;
      case OptionAction::kPause:
        result.pause = true;
        break;
      case OptionAction::kSetting:
        ApplySettingValue(*option, value);  // a flag's value is empty
        break;
    }
  }
  return result;
}

std::vector<std::string> IgnoredSettingWarnings() {
  std::vector<std::string> warnings;
  const TransformSettings& transform = g_settings.transform;
  if (transform.do_image_rotation != 0 &&
      (transform.image_rotation < 1 || transform.image_rotation > 359)) {
    warnings.push_back("rotation " + std::to_string(transform.image_rotation) +
                       " is outside 1-359 and is ignored (a right turn of 90 is 270)");
  }
  if (transform.do_image_resize != 0 && (transform.image_width < 0 || transform.image_height < 0)) {
    warnings.push_back("a negative width or height is ignored: the picture keeps its size");
  }
  return warnings;
}

}  // namespace pic2jpg
