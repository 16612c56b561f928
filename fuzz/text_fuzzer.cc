// Text catalogue lookups with arbitrary groups and keys, catalogues built
// with arbitrary override files, and placeholder filling. The first byte
// chooses: even, lookups on the built-in catalogue (input cut at line ends
// into group, key and four placeholder values); odd, the rest of the input is
// an override file, after which every entry must still be found by its group
// and key.
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "text/placeholders.h"
#include "text/text_catalogue.h"

namespace {

std::string Part(const std::vector<std::string>& parts, size_t i) {
  return i < parts.size() ? parts[i] : std::string();
}

std::string SwapCase(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    } else if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return text;
}

bool g_built_in = false;  // g_text_catalogue holds the built-in texts

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pic2jpg;
  if (size == 0) return 0;
  const std::string_view rest = fuzz::AsText(data + 1, size - 1);
  if (data[0] % 2 == 0) {
    if (!g_built_in) LoadTextCatalogue("");
    g_built_in = true;
    const std::vector<std::string> parts = fuzz::Split(rest, '\n');
    const std::string group = Part(parts, 0);
    const std::string key = Part(parts, 1);
    const std::string text = GetText(group, key);
    fuzz::Check(GetText(SwapCase(group), SwapCase(key)) == text, "lookups ignore letter case");
    fuzz::Check(GetText(group, key) == text, "a lookup repeated gives the same text");
    fuzz::Check(FillPlaceholders(text) == text, "empty values leave a message as it is");
    (void)FillPlaceholders(text, Part(parts, 2), Part(parts, 3), Part(parts, 4), Part(parts, 5));
    (void)FillPlaceholders(Part(parts, 2), key, group, Part(parts, 3), Part(parts, 4));
    return 0;
  }
  LoadTextCatalogue(fuzz::ScratchFile(rest, "texts.ini"));
  g_built_in = false;
  const TextCatalogue catalogue = g_text_catalogue;
  for (size_t g = 1; g < catalogue.groups.size(); ++g) {
    const TextGroup& group = catalogue.groups[g];
    for (int j = group.first; j <= group.last; ++j) {
      // Keys repeated in a group give the text of their first entry.
      int first = j;
      while (first > group.first && catalogue.keys[first - 1] == catalogue.keys[j]) --first;
      fuzz::Check(GetText(group.name, catalogue.keys[j]) == catalogue.texts[first],
                  "every entry is found by its group and key");
    }
  }
  return 0;
}
