// The preferences-format reader on arbitrary text: what it keeps must be
// valid UTF-8 without NUL bytes or line ends, trimmed, found again by the
// lookups, and written back by the writer into a text that reads the same.
#include <string>

#include "fuzz/fuzz_support.h"
#include "text/ini_file.h"
#include "text/utf8.h"

namespace pic2jpg {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsTrimmed(const std::string& text) {
  return text.empty() || (!IsBlank(text.front()) && !IsBlank(text.back()));
}

bool IsOneLine(const std::string& text) {
  return text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

void CheckFile(const IniFile& file) {
  for (const IniGroup& group : file.groups) {
    fuzz::Check(IsValidUtf8(group.name), "group name is UTF-8");
    fuzz::Check(IsOneLine(group.name) && IsTrimmed(group.name), "group name is one trimmed line");
    fuzz::Check(FindIniGroup(file, group.name) == &group, "a group name occurs once");
    for (const auto& [key, value] : group.entries) {
      fuzz::Check(!key.empty(), "keys are not empty");
      fuzz::Check(IsValidUtf8(key) && IsValidUtf8(value), "keys and values are UTF-8");
      fuzz::Check(IsOneLine(key) && IsOneLine(value), "keys and values are one line");
      fuzz::Check(IsTrimmed(key) && IsTrimmed(value), "keys and values are trimmed");
      fuzz::Check(key.find('=') == std::string::npos, "keys hold no '='");
      // The lookup gives the first entry of that key.
      const std::string* first = nullptr;
      for (const auto& [other_key, other_value] : group.entries) {
        if (IniNameEquals(other_key, key)) {
          first = &other_value;
          break;
        }
      }
      const std::string* found = FindIniValue(file, group.name, key);
      fuzz::Check(found != nullptr && *found == *first, "lookup gives the first occurrence");
      fuzz::Check(IniString(file, group.name, key, "") == *first, "IniString gives the value");
      fuzz::Check(IniInt(file, group.name, key, -7) == ParseIniInt(*first),
                  "IniInt reads the value");
      (void)IniFloat(file, group.name, key, 0.5f);
    }
  }
}

// The writer's text of a parsed file.
std::string WriteBack(const IniFile& file) {
  std::string out;
  IniWriteStart(&out);
  for (const IniGroup& group : file.groups) {
    IniWriteGroup(&out, group.name);
    for (const auto& [key, value] : group.entries) IniWriteKey(&out, key, value);
    IniWriteGroupEnd(&out);
  }
  return out;
}

}  // namespace
}  // namespace pic2jpg

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pic2jpg;
  const std::string_view text = fuzz::AsText(data, size);
  const IniFile file = ParseIni(text);
  CheckFile(file);
  (void)ParseIniInt(text);
  (void)ParseIniFloat(text);

  const IniFile again = ParseIni(WriteBack(file));
  fuzz::Check(again.groups.size() == file.groups.size(), "written text has the same groups");
  for (size_t g = 0; g < file.groups.size(); ++g) {
    fuzz::Check(again.groups[g].name == file.groups[g].name, "group names survive writing");
    fuzz::Check(again.groups[g].entries == file.groups[g].entries, "entries survive writing");
  }
  return 0;
}
