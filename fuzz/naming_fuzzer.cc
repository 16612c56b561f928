// Filename-mask and watermark-text expansion on arbitrary masks, texts and
// run records. The input is cut at line ends into: mask, watermark text,
// input path, output extension, output folder, relative subfolder, a token.
#include <string>
#include <vector>

#include "engine/naming.h"
#include "fuzz/fuzz_support.h"
#include "runlist/run_state.h"
#include "settings/settings.h"

namespace {

std::string Part(const std::vector<std::string>& parts, size_t i) {
  return i < parts.size() ? parts[i] : std::string();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pic2jpg;
  const std::vector<std::string> parts = fuzz::Split(fuzz::AsText(data, size), '\n');
  g_settings.advanced.filename_mask = Part(parts, 0);
  g_settings.watermark.text = Part(parts, 1);
  g_run_state.input_path = Part(parts, 2);
  g_run_state.output_extension = Part(parts, 3);
  g_run_state.output_folder = Part(parts, 4);
  g_run_state.relative_subfolder = Part(parts, 5);
  const std::string token = Part(parts, 6);
  // Numbers from the input's length keep the number tokens moving.
  g_run_state.target_depth = static_cast<int>(size % 49);
  g_run_state.last_width = static_cast<int>(size * 7919);
  g_run_state.last_height = -static_cast<int>(size);
  g_run_state.random_number = static_cast<int>(size * 104729);
  g_run_state.counter = static_cast<int>(size);
  g_settings.advanced.keep_subfolders = static_cast<int8_t>(size % 2);

  const std::string name = ExpandFilenameMask();
  const std::string mark = ExpandTextPlaceholders();
  if (g_settings.watermark.text.find('%') == std::string::npos) {
    fuzz::Check(mark == g_settings.watermark.text, "a text without '%' is kept as it is");
  }
  const std::string path = BuildOutputPath();
  fuzz::Check(path.compare(0, g_run_state.output_folder.size(), g_run_state.output_folder) == 0,
              "the output path starts with the output folder");
  const std::string stem = RemoveExtension(g_run_state.input_path);
  fuzz::Check(g_run_state.input_path.compare(0, stem.size(), stem) == 0,
              "removing the extension keeps a prefix");
  (void)ReplaceMaskToken(g_settings.watermark.text, token);
  return 0;
}
