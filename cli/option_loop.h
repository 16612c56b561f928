// Reading the command line's parameters into the settings record and the run
// record, option by option in command-line order.
#ifndef PIC2JPG_CLI_OPTION_LOOP_H_
#define PIC2JPG_CLI_OPTION_LOOP_H_

#include <string>
#include <vector>

namespace pic2jpg {

inline constexpr const char* kIncorrectParameters = "Incorrect number of parameters";
inline constexpr const char* kInvalidProfile = "Invalid profile file";

// Parameter i with surrounding blanks removed, upper-cased; "" when it does
// not begin with "-". For "--name=value" only "--NAME". "" past the end.
std::string ProgramParameterName(const std::vector<std::string>& args, size_t i);

// Parameter i with surrounding blanks removed; for "--name=value" only the
// text after the first "=". "" past the end.
std::string ProgramParameterValue(const std::vector<std::string>& args, size_t i);

struct OptionLoopResult {
  std::string error;  // "" when every option was read
  bool quiet = false;
  bool pause = false;
  // Parameters that were read past: unknown options and stray words.
  std::vector<std::string> warnings;
};

// Applies every option in order to g_settings and g_run_state (the console
// defaults must be in place). Stops at the first option whose value is
// missing or malformed, or whose profile cannot be read, and names the
// problem in `error`; options after it are not applied.
OptionLoopResult RunOptionLoop(const std::vector<std::string>& args);

// Settings the conversion will pass over without a word: a rotation outside
// 1-359, a negative resize width or height. One text each.
std::vector<std::string> IgnoredSettingWarnings();

}  // namespace pic2jpg

#endif  // PIC2JPG_CLI_OPTION_LOOP_H_
