// The built-in text catalogue: every caption, label and message the user sees,
// looked up by group and key. Built once at start (LoadTextCatalogue), read
// through GetText afterwards. Lookups ignore letter case on both sides; an
// unknown group or key gives kNoStringError. GetText keeps a cache of the last
// group and belongs to the user-interface (main) thread.
#ifndef PIC2JPG_TEXT_TEXT_CATALOGUE_H_
#define PIC2JPG_TEXT_TEXT_CATALOGUE_H_

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace pic2jpg {

inline constexpr const char* kNoStringError = "%NO_STRING_ERROR%";

struct TextGroup {
  std::string name;  // upper case
  int first = 1;     // index of the first entry
  int last = 0;      // index of the last entry (first > last: no entries)
  // Index of the first entry whose key begins with each character code; 0
  // where no key begins with it.
  std::array<int, 256> first_letter{};
};

struct TextCatalogue {
  // Slot 0 of each vector stands for "none"; real data starts at 1.
  std::vector<TextGroup> groups;
  std::vector<std::string> keys;  // upper case, sorted within each group
  std::vector<std::string> texts;
};

extern TextCatalogue g_text_catalogue;

// Builds g_text_catalogue from the built-in texts. When `override_path` names
// a readable preferences-format file, its values replace the texts of the
// same group and key; otherwise the built-in texts stand.
void LoadTextCatalogue(const std::string& override_path);

// The text of group/key, or kNoStringError.
std::string GetText(std::string_view group, std::string_view key);

}  // namespace pic2jpg

#endif  // PIC2JPG_TEXT_TEXT_CATALOGUE_H_
