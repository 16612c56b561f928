// Loading a preferences file of arbitrary content: no crash, and what is
// loaded saves to a file that loads to the same record (saving is a fixed
// point after one load).
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/file_system.h"
#include "settings/settings.h"
#include "settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pic2jpg;
  g_preferences_path = fuzz::ScratchFile(fuzz::AsText(data, size));
  LoadSettings();

  g_preferences_path = fuzz::ScratchFolder() + "saved.ini";
  fuzz::Check(SaveSettings(), "the loaded settings can be saved");
  std::string first;
  fuzz::Check(fs::ReadFile(g_preferences_path, &first), "the saved file reads");
  LoadSettings();
  fuzz::Check(SaveSettings(), "the reloaded settings can be saved");
  std::string second;
  fuzz::Check(fs::ReadFile(g_preferences_path, &second), "the saved file reads again");
  fuzz::Check(first == second, "a saved file loads to the record it came from");
  return 0;
}
