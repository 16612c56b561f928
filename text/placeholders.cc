#include "text/placeholders.h"

#include <cstddef>

#include "text/ascii_case.h"

namespace pic2jpg {
namespace {

// Position of `placeholder` (lower case) in `text` from `from` on, ignoring
// letter case; npos when absent.
size_t FindNoCase(const std::string& text, std::string_view placeholder, size_t from) {
  if (placeholder.size() > text.size()) return std::string::npos;
  for (size_t i = from; i + placeholder.size() <= text.size(); ++i) {
    size_t j = 0;
    while (j < placeholder.size() && AsciiLower(text[i + j]) == placeholder[j]) ++j;
    if (j == placeholder.size()) return i;
  }
  return std::string::npos;
}

void ReplaceAll(std::string* text, std::string_view placeholder, std::string_view value) {
  if (value.empty()) return;
  size_t pos = FindNoCase(*text, placeholder, 0);
  while (pos != std::string::npos) {
    text->replace(pos, placeholder.size(), value);
    pos = FindNoCase(*text, placeholder, pos + value.size());
  }
}

}  // namespace

std::string FillPlaceholders(std::string_view message, std::string_view s1, std::string_view s2,
                             std::string_view s3, std::string_view s4) {
  std::string result(message);
  if (result.empty()) return result;
  ReplaceAll(&result, "%s1%", s1);
  ReplaceAll(&result, "%s2%", s2);
  ReplaceAll(&result, "%s3%", s3);
  ReplaceAll(&result, "%s4%", s4);
  return result;
}

}  // namespace pic2jpg
