#include "text/ini_file.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "platform/file_system.h"
#include "text/ascii_case.h"
#include "text/ascii_scan.h"
#include "text/utf8.h"

namespace pic2jpg {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

// Windows-1252 code points of the bytes 0x80..0x9F. The five bytes the code
// page leaves open keep their C1 control code point, as the system does.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// `line` as valid UTF-8 without NUL bytes (see the reading rules).
std::string NormalizeLine(std::string_view line, bool declared_utf8) {
  std::string out;
  out.reserve(line.size() + line.size() / 2);
  size_t i = 0;
  while (i < line.size()) {
    unsigned char c = static_cast<unsigned char>(line[i]);
    if (c == 0) {
      ++i;
      continue;
    }
    size_t length = Utf8SequenceLength(line.substr(i));
    if (length > 0) {
      out.append(line.substr(i, length));
      i += length;
      continue;
    }
    if (declared_utf8) {
      AppendUtf8(0xFFFD, &out);
    } else {
      AppendUtf8(static_cast<char16_t>(c < 0xA0 ? kCp1252High[c - 0x80] : c), &out);
    }
    ++i;
  }
  return out;
}

struct Parser {
  IniFile file;
  IniGroup* current = nullptr;

  void Line(std::string_view raw) {
    std::string_view line = TrimAsciiBlanks(raw);
    if (line.empty() || line[0] == ';') return;
    if (line[0] == '[') {
      size_t close = line.find(']');
      std::string_view name = TrimAsciiBlanks(
          line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
      auto [it, added] = file.group_index.try_emplace(LowerAscii(name), file.groups.size());
      if (added) {
        file.groups.push_back(IniGroup{std::string(name), {}, {}});
      }
      current = &file.groups[it->second];
      return;
    }
    size_t equals = line.find('=');
    if (current == nullptr || equals == std::string_view::npos) return;
    std::string_view key = TrimAsciiBlanks(line.substr(0, equals));
    if (key.empty()) return;
    std::string_view value = TrimAsciiBlanks(line.substr(equals + 1));
    current->key_index.try_emplace(LowerAscii(key), current->entries.size());
    current->entries.emplace_back(std::string(key), std::string(value));
  }
};

const IniGroup* FindGroup(const IniFile& file, std::string_view group) {
  if (!file.group_index.empty()) {
    auto it = file.group_index.find(LowerAscii(group));
    return it == file.group_index.end() ? nullptr : &file.groups[it->second];
  }
  for (const IniGroup& g : file.groups) {
    if (IniNameEquals(g.name, group)) return &g;
  }
  return nullptr;
}

void AppendOneLine(std::string* out, std::string_view text) {
  for (char c : text) out->push_back(c == '\r' || c == '\n' ? ' ' : c);
}

}  // namespace

bool IniNameEquals(std::string_view a, std::string_view b) { return EqualsAsciiNoCase(a, b); }

IniFile ParseIni(std::string_view text) {
  bool declared_utf8 = text.substr(0, kBom.size()) == kBom;
  if (declared_utf8) text.remove_prefix(kBom.size());
  Parser parser;
  size_t start = 0;
  const size_t size = text.size();
  while (start < size) {
    // One pass finds the line end and whether the line needs normalising.
    bool plain = true;
    size_t end = start;
    for (; end < size; ++end) {
      unsigned char c = static_cast<unsigned char>(text[end]);
      if (c == '\n' || c == '\r') break;
      if (c == 0 || c >= 0x80) plain = false;
    }
    std::string_view raw = text.substr(start, end - start);
    if (plain) {
      parser.Line(raw);
    } else {
      parser.Line(NormalizeLine(raw, declared_utf8));
    }
    start = end + 1;
    if (end < size && text[end] == '\r' && start < size && text[start] == '\n') ++start;
  }
  return std::move(parser.file);
}

bool ReadIniFile(const std::string& path, IniFile* file) {
  std::string text;
  if (!fs::ReadFile(path, &text, kMaxIniFileBytes)) return false;
  *file = ParseIni(text);
  return true;
}

const IniGroup* FindIniGroup(const IniFile& file, std::string_view group) {
  return FindGroup(file, group);
}

const std::string* FindIniValue(const IniFile& file, std::string_view group, std::string_view key) {
  const IniGroup* g = FindGroup(file, group);
  if (g == nullptr) return nullptr;
  if (!g->key_index.empty()) {
    auto it = g->key_index.find(LowerAscii(key));
    return it == g->key_index.end() ? nullptr : &g->entries[it->second].second;
  }
  for (const auto& [name, value] : g->entries) {
    if (IniNameEquals(name, key)) return &value;
  }
  return nullptr;
}

int32_t ParseIniInt(std::string_view text) {
  size_t i = 0;
  const bool negative = SkipBlanksAndSign(text, &i);
  // Accumulate towards the sign's end of the range and stop growing there.
  const int64_t limit = negative ? -int64_t{std::numeric_limits<int32_t>::min()}
                                 : int64_t{std::numeric_limits<int32_t>::max()};
  int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > limit) magnitude = limit;
  }
  return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

float ParseIniFloat(std::string_view text) {
  size_t i = 0;
  const bool negative = SkipBlanksAndSign(text, &i);
  std::string_view number = text.substr(i);
  // Decimal notation only: the number starts with a digit or ".digit".
  bool starts_well =
      !number.empty() &&
      ((number[0] >= '0' && number[0] <= '9') ||
       (number[0] == '.' && number.size() > 1 && number[1] >= '0' && number[1] <= '9'));
  if (!starts_well) return 0.0f;
  double value = 0.0;
  auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                      std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    // Too large or too small for a double: tell them apart by the exponent.
    std::string_view read(number.data(), static_cast<size_t>(end - number.data()));
    size_t e = read.find_first_of("eE");
    bool tiny = e != std::string_view::npos && e + 1 < read.size() && read[e + 1] == '-';
    value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  } else if (error != std::errc()) {
    return 0.0f;
  }
  constexpr double kMax = std::numeric_limits<float>::max();
  if (value > kMax) value = kMax;
  return static_cast<float>(negative ? -value : value);
}

int32_t IniInt(const IniFile& file, std::string_view group, std::string_view key,
               int32_t fallback) {
  const std::string* value = FindIniValue(file, group, key);
  return value == nullptr ? fallback : ParseIniInt(*value);
}

float IniFloat(const IniFile& file, std::string_view group, std::string_view key, float fallback) {
  const std::string* value = FindIniValue(file, group, key);
  return value == nullptr ? fallback : ParseIniFloat(*value);
}

std::string IniString(const IniFile& file, std::string_view group, std::string_view key,
                      std::string_view fallback) {
  const std::string* value = FindIniValue(file, group, key);
  return value == nullptr ? std::string(fallback) : *value;
}

void IniWriteStart(std::string* out) {
  out->append(kBom);
  out->append(kLineEnd);
}

void IniWriteGroup(std::string* out, std::string_view name) {
  out->push_back('[');
  AppendOneLine(out, name);
  out->push_back(']');
  out->append(kLineEnd);
}

void IniWriteKey(std::string* out, std::string_view key, std::string_view value) {
  AppendOneLine(out, key);
  out->append(" = ");
  AppendOneLine(out, value);
  out->append(kLineEnd);
}

void IniWriteKey(std::string* out, std::string_view key, int64_t value) {
  IniWriteKey(out, key, std::string_view(std::to_string(value)));
}

void IniWriteKey(std::string* out, std::string_view key, double value, int decimals) {
  IniWriteKey(out, key, std::string_view(IniFormatFloat(value, decimals)));
}

void IniWriteGroupEnd(std::string* out) {
  out->append("; ");
  out->append(kLineEnd);
}

std::string IniFormatFloat(double value, int decimals) {
  if (!std::isfinite(value)) value = 0.0;
  char buffer[512];
  auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (error != std::errc()) return "0";
  return std::string(buffer, end);
}

}  // namespace pic2jpg
