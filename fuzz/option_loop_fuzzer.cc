// The command-line option loop on arbitrary argument lists: the input is cut
// at every line end into arguments. No crash; parameter names are upper-case
// option words; the loop gives the same result and settings when run again
// from the same start.
#include <string>
#include <vector>

#include "cli/option_loop.h"
#include "fuzz/fuzz_support.h"
#include "runlist/run_list.h"
#include "runlist/run_state.h"
#include "settings/settings.h"
#include "settings/settings_fields.h"
#include "settings/settings_file.h"

namespace {

struct Outcome {
  pic2jpg::OptionLoopResult result;
  std::vector<std::string> settings;
  std::string input, output, extension;
  pic2jpg::MessageLevel message_level = pic2jpg::MessageLevel::kNormal;
  bool console_mode = false;
};

Outcome RunFromDefaults(const std::vector<std::string>& args) {
  using namespace pic2jpg;
  g_run_state.message_level = MessageLevel::kNormal;
  ResetRunState();
  ApplyDefaultSettings(/*console=*/true);
  // The defaults take the dates from the clock; hold them still so that two
  // runs can be compared.
  g_settings.general.update_date = 1000000000;
  g_settings.advanced.custom_timestamp = 1000000000;
  Outcome outcome;
  outcome.result = RunOptionLoop(args);
  for (const SettingField& field : SettingFields()) {
    outcome.settings.push_back(SettingText(g_settings, field));
  }
  outcome.input = g_run_state.input_argument;
  outcome.output = g_run_state.output_folder;
  outcome.extension = g_run_state.output_extension;
  outcome.message_level = g_run_state.message_level;
  outcome.console_mode = g_run_state.console_mode;
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pic2jpg;
  const std::vector<std::string> args = fuzz::Split(fuzz::AsText(data, size), '\n');
  for (size_t i = 0; i <= args.size(); ++i) {
    const std::string name = ProgramParameterName(args, i);
    fuzz::Check(name.empty() || name[0] == '-', "a parameter name starts with '-'");
    for (char c : name) fuzz::Check(!(c >= 'a' && c <= 'z'), "a parameter name is upper case");
    (void)ProgramParameterValue(args, i);
  }
  const Outcome first = RunFromDefaults(args);
  const Outcome second = RunFromDefaults(args);
  fuzz::Check(first.result.error == second.result.error &&
                  first.result.quiet == second.result.quiet &&
                  first.result.pause == second.result.pause,
              "the loop's result depends on the arguments only");
  for (size_t f = 0; f < first.settings.size(); ++f) {
    if (first.settings[f] == second.settings[f]) continue;
    const SettingField& field = SettingFields()[f];
    std::fprintf(stderr, "%s/%s: \"%s\" then \"%s\"\n", std::string(field.group).c_str(),
                 std::string(field.key).c_str(), first.settings[f].c_str(),
                 second.settings[f].c_str());
  }
  fuzz::Check(first.settings == second.settings && first.input == second.input &&
                  first.output == second.output && first.extension == second.extension &&
                  first.message_level == second.message_level &&
                  first.console_mode == second.console_mode,
              "the loop's settings depend on the arguments only");
  return 0;
}
