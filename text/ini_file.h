// Reader and writer of the preferences-file format: a UTF-8 text (an optional
// byte-order mark first), "[Group]" lines, "Key = value" lines, comment lines
// beginning with ";". Group and key names match without regard to letter case;
// a key is looked up only inside its group. The preferences file, profile
// files and the text override file all go through this one reader.
//
// Reading rules, beyond the above:
// - Lines end in CR LF, LF or CR; the last line needs no line end.
// - Leading blanks and tabs of a line are ignored; a line whose first other
//   character is ";" is a comment.
// - A "[" line names a group: the text up to "]" (or the line end), trimmed.
//   A group named again later goes on with the same group.
// - A key line is split at its first "="; key and value are trimmed of blanks
//   and tabs. Key lines before the first group, lines with an empty key and
//   lines without "=" are skipped.
// - A key repeated within a group is kept in `entries` every time (in file
//   order), but lookups give its first occurrence.
// - Text is UTF-8 when the file starts with a byte-order mark (bytes that are
//   not UTF-8 then become U+FFFD). Without a mark the file is in the system's
//   ANSI code page: well-formed UTF-8 is taken as it is and every other byte
//   is read as Windows-1252 (Latin-1). So every name and value held is valid
//   UTF-8. NUL bytes are dropped.
// Parsing is linear in the size of the text and never fails.
#ifndef PIC2JPG_TEXT_INI_FILE_H_
#define PIC2JPG_TEXT_INI_FILE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace pic2jpg {

struct IniGroup {
  std::string name;
  // Keys in file order, values trimmed of blanks and tabs.
  std::vector<std::pair<std::string, std::string>> entries;
  // Lower-case key -> index in `entries` of its first occurrence. Filled by
  // ParseIni; when empty, lookups scan `entries`.
  std::unordered_map<std::string, size_t> key_index;
};

struct IniFile {
  std::vector<IniGroup> groups;
  // Lower-case group name -> index in `groups`. Filled by ParseIni; when
  // empty, lookups scan `groups`.
  std::unordered_map<std::string, size_t> group_index;
};

// Parses the text of a preferences-format file. Never fails: lines that fit
// no rule are skipped.
IniFile ParseIni(std::string_view text);
// Files larger than this count as unreadable.
inline constexpr int64_t kMaxIniFileBytes = int64_t{1} << 30;
// Reads and parses a file; false when it cannot be opened or read.
bool ReadIniFile(const std::string& path, IniFile* file);

// The value of group/key, or nullptr when it is missing. When a key occurs
// more than once in a group, the first occurrence counts.
const std::string* FindIniValue(const IniFile& file, std::string_view group, std::string_view key);
// The group of that name (first of them), or nullptr.
const IniGroup* FindIniGroup(const IniFile& file, std::string_view group);

// Typed reads with the caller's default for a missing key. An integer is the
// leading decimal number of the text (0 when there is none); a float accepts
// decimal notation (0 when unreadable).
int32_t IniInt(const IniFile& file, std::string_view group, std::string_view key, int32_t fallback);
float IniFloat(const IniFile& file, std::string_view group, std::string_view key, float fallback);
std::string IniString(const IniFile& file, std::string_view group, std::string_view key,
                      std::string_view fallback);

// The number rules of the typed reads, on a value text. ParseIniInt: leading
// blanks and tabs skipped, an optional sign, decimal digits up to the first
// other character; 0 when there are none; values beyond the 32-bit range give
// its nearest end. ParseIniFloat: an optional sign, digits with an optional
// "." fraction and an optional exponent, read up to the first other character
// ("." is the separator whatever the locale); 0 when unreadable (also for
// "inf" and "nan"); values beyond the float range give its nearest end.
int32_t ParseIniInt(std::string_view text);
float ParseIniFloat(std::string_view text);

// Group and key names compared as this format compares them (ASCII letters
// without regard to case).
bool IniNameEquals(std::string_view a, std::string_view b);

// Writing: the file starts with a line holding the byte-order mark; lines end
// with CR LF; each group ends with the comment line "; ". A CR or LF inside a
// key or value is written as a blank, so that a value can never start a line
// of its own.
void IniWriteStart(std::string* out);
void IniWriteGroup(std::string* out, std::string_view name);
void IniWriteKey(std::string* out, std::string_view key, std::string_view value);
void IniWriteKey(std::string* out, std::string_view key, int64_t value);
// A number in decimal notation with exactly `decimals` digits after the ".".
void IniWriteKey(std::string* out, std::string_view key, double value, int decimals);
void IniWriteGroupEnd(std::string* out);
// The text IniWriteKey writes for a number with `decimals` decimals.
std::string IniFormatFloat(double value, int decimals);

}  // namespace pic2jpg

#endif  // PIC2JPG_TEXT_INI_FILE_H_
