// Filename-mask and watermark-text expansion on arbitrary masks, texts and
// name contexts. The input is cut at line ends into: mask, watermark text,
// input path, output extension, output folder, relative subfolder, a token.
#include <string>
#include <vector>

#include "engine/naming.h"
#include "fuzz/fuzz_support.h"
#include "settings/settings.h"

namespace {

std::string Part(const std::vector<std::string>& parts, size_t i) {
  return i < parts.size() ? parts[i] : std::string();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pic2jpg;
  const std::vector<std::string> parts = fuzz::Split(fuzz::AsText(data, size), '\n');
  AdvancedSettings advanced;
  advanced.filename_mask = Part(parts, 0);
  advanced.keep_subfolders = static_cast<int8_t>(size % 2);
  const std::string text = Part(parts, 1);
  NameContext names;
  names.input_path = Part(parts, 2);
  names.output_extension = Part(parts, 3);
  const std::string output_folder = Part(parts, 4);
  const std::string relative_subfolder = Part(parts, 5);
  const std::string token = Part(parts, 6);
  // Numbers from the input's length keep the number tokens moving.
  names.depth = static_cast<int>(size % 49);
  names.width = static_cast<int>(size * 7919);
  names.height = -static_cast<int>(size);
  names.random_number = static_cast<int>(size * 104729);
  names.counter = static_cast<int>(size);

  (void)ExpandFilenameMask(advanced.filename_mask, names);
  const std::string mark = ExpandTextPlaceholders(text, names);
  if (text.find('%') == std::string::npos) {
    fuzz::Check(mark == text, "a text without '%' is kept as it is");
  }
  const std::string path = BuildOutputPath(advanced, output_folder, relative_subfolder, names);
  fuzz::Check(path.compare(0, output_folder.size(), output_folder) == 0,
              "the output path starts with the output folder");
  const std::string stem = RemoveExtension(names.input_path);
  fuzz::Check(names.input_path.compare(0, stem.size(), stem) == 0,
              "removing the extension keeps a prefix");
  (void)ReplaceMaskToken(text, token, names);
  return 0;
}
