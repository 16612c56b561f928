#include "text/comma_list.h"

#include "text/ascii_scan.h"

namespace pic2jpg {

std::vector<std::string> SplitCommaList(std::string_view text) {
  std::vector<std::string> entries;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(',', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view entry = TrimAsciiBlanks(text.substr(start, end - start));
    if (!entry.empty()) entries.emplace_back(entry);
    start = end + 1;
  }
  return entries;
}

}  // namespace pic2jpg
