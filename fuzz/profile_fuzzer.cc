// Profile files of arbitrary content: no crash; a profile sets settings only,
// never the input, output or format of the run; applying it twice gives the
// same settings as once.
#include <string>
#include <vector>

#include "cli/profile.h"
#include "fuzz/fuzz_support.h"
#include "runlist/run_list.h"
#include "runlist/run_state.h"
#include "settings/settings.h"
#include "settings/settings_fields.h"
#include "settings/settings_file.h"

namespace {

std::vector<std::string> SettingTexts() {
  std::vector<std::string> texts;
  for (const pic2jpg::SettingField& field : pic2jpg::SettingFields()) {
    texts.push_back(pic2jpg::SettingText(pic2jpg::g_settings, field));
  }
  return texts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pic2jpg;
  const std::string path = fuzz::ScratchFile(fuzz::AsText(data, size), "profile.ini");
  ResetRunState();
  ApplyDefaultSettings(/*console=*/true);
  fuzz::Check(LoadProfile(path), "a readable file is a profile");
  fuzz::Check(g_run_state.input_argument.empty() && g_run_state.output_folder.empty() &&
                  g_run_state.output_extension.empty(),
              "a profile leaves the run record alone");
  const std::vector<std::string> once = SettingTexts();
  fuzz::Check(LoadProfile(path), "a profile reads twice");
  fuzz::Check(SettingTexts() == once, "a profile applied twice sets what it set once");
  return 0;
}
