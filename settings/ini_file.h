// Reader and writer of the preferences-file format: a UTF-8 text (an optional
// byte-order mark first), "[Group]" lines, "Key = value" lines, comment lines
// beginning with ";". Group and key names match without regard to letter case;
// a key is looked up only inside its group. The preferences file, profile
// files and the text override file all go through this one reader.
#ifndef PIC2JPG_SETTINGS_INI_FILE_H_
#define PIC2JPG_SETTINGS_INI_FILE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pic2jpg {

struct IniGroup {
  std::string name;
  // Keys in file order, values trimmed of blanks and tabs.
  std::vector<std::pair<std::string, std::string>> entries;
};

struct IniFile {
  std::vector<IniGroup> groups;
};

// Parses the text of a preferences-format file. Never fails: lines that fit
// no rule are skipped.
IniFile ParseIni(std::string_view text);
// Reads and parses a file; false when it cannot be opened or read.
bool ReadIniFile(const std::string& path, IniFile* file);

// The value of group/key, or nullptr when it is missing. When a key occurs
// more than once in a group, the first occurrence counts.
const std::string* FindIniValue(const IniFile& file, std::string_view group,
                                std::string_view key);
// The group of that name (first of them), or nullptr.
const IniGroup* FindIniGroup(const IniFile& file, std::string_view group);

// Typed reads with the caller's default for a missing key. An integer is the
// leading decimal number of the text (0 when there is none); a float accepts
// decimal notation (0 when unreadable).
int32_t IniInt(const IniFile& file, std::string_view group, std::string_view key,
               int32_t fallback);
float IniFloat(const IniFile& file, std::string_view group, std::string_view key,
               float fallback);
std::string IniString(const IniFile& file, std::string_view group, std::string_view key,
                      std::string_view fallback);

// Writing: the file starts with a line holding the byte-order mark; lines end
// with CR LF; each group ends with the comment line "; ".
void IniWriteStart(std::string* out);
void IniWriteGroup(std::string* out, std::string_view name);
void IniWriteKey(std::string* out, std::string_view key, std::string_view value);
void IniWriteKey(std::string* out, std::string_view key, int64_t value);
void IniWriteGroupEnd(std::string* out);

}  // namespace pic2jpg

#endif  // PIC2JPG_SETTINGS_INI_FILE_H_
