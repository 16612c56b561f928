#include "text/text_catalogue.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "text/ascii_case.h"
#include "text/catalogue_content.h"
#include "text/ini_file.h"

namespace pic2jpg {

TextCatalogue g_text_catalogue;

namespace {

constexpr char kSeparator = '\x01';  // sorts below every character of a key

std::string TextOf(const CatalogueItem& item) {
  switch (item.rule) {
    case TextRule::kKey:
      return item.first;
    case TextRule::kKeyColon:
      return std::string(item.first) + ":";
    case TextRule::kLiteral:
      break;
  }
  return item.text;
}

void ApplyOverride(const std::string& path, TextCatalogue* catalogue) {
  if (path.empty()) return;
  IniFile file;
  if (!ReadIniFile(path, &file)) return;
  for (size_t g = 1; g < catalogue->groups.size(); ++g) {
    const TextGroup& group = catalogue->groups[g];
    for (int j = group.first; j <= group.last; ++j) {
      const std::string* value = FindIniValue(file, group.name, catalogue->keys[j]);
      if (value != nullptr) catalogue->texts[j] = *value;
    }
  }
}

}  // namespace

void LoadTextCatalogue(const std::string& override_path) {
  std::span<const CatalogueItem> block = BuiltInCatalogue();
  TextCatalogue catalogue;

  // Reading pass: combined "KEY\x01text" strings, so that sorting by the
  // combined string sorts by key first. Slot 0 of groups and entries is
  // "none".
  catalogue.groups.resize(1);
  std::vector<std::string> combined(1);
  for (const CatalogueItem& item : block) {
    std::string first = UpperAscii(item.first);
    if (first == "_END_") break;
    if (first != "_GROUP_") {
      combined.push_back(first + kSeparator + TextOf(item));
      continue;
    }
    const int last = static_cast<int>(combined.size()) - 1;
    catalogue.groups.back().last = last;
    TextGroup group;
    group.name = UpperAscii(item.text);
    group.first = last + 1;
    catalogue.groups.push_back(std::move(group));
  }
  catalogue.groups.back().last = static_cast<int>(combined.size()) - 1;
  catalogue.keys.resize(combined.size());
  catalogue.texts.resize(combined.size());

  // Index pass.
  for (size_t gi = 1; gi < catalogue.groups.size(); ++gi) {
    TextGroup& group = catalogue.groups[gi];
    if (group.first > group.last) continue;
    std::sort(combined.begin() + group.first, combined.begin() + group.last + 1);
    int previous = 0;
    for (int j = group.first; j <= group.last; ++j) {
      size_t cut = combined[j].find(kSeparator);
      catalogue.keys[j] = combined[j].substr(0, cut);
      catalogue.texts[j] = combined[j].substr(cut + 1);
      int c = catalogue.keys[j].empty() ? 0 : static_cast<unsigned char>(catalogue.keys[j][0]);
      if (c != previous) group.first_letter[c] = j;
      previous = c;
    }
  }

  ApplyOverride(override_path, &catalogue);
  g_text_catalogue = std::move(catalogue);
}

// Lookups only read the catalogue, so they are safe from any thread while no
// catalogue is being loaded (loading happens at start, before any run).
std::string GetText(std::string_view group_name, std::string_view key_name) {
  const TextCatalogue& catalogue = g_text_catalogue;
  std::string group = UpperAscii(group_name);
  std::string key = UpperAscii(key_name);
  std::string result = kNoStringError;
  if (catalogue.groups.empty()) return result;

  // A handful of groups: a plain search is as quick as a cache would be.
  size_t index = 0;
  for (size_t g = 1; g < catalogue.groups.size(); ++g) {
    if (catalogue.groups[g].name == group) {
      index = g;
      break;
    }
  }
  if (index == 0 || key.empty()) return result;

  const TextGroup& found = catalogue.groups[index];
  int slot = found.first_letter[static_cast<unsigned char>(key[0])];
  if (slot == 0) return result;
  for (int j = slot; j <= found.last; ++j) {
    int order = key.compare(catalogue.keys[j]);
    if (order == 0) return catalogue.texts[j];
    if (order < 0) break;
  }
  return result;
}

}  // namespace pic2jpg
