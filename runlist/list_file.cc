#include "runlist/list_file.h"

#include "platform/file_system.h"
#include "runlist/input_queue.h"
#include "text/ascii_case.h"

namespace pic2jpg {

bool IsListExtension(const std::string& extension) {
  const std::string lower = LowerAscii(extension);
  return lower == "txt" || lower == "lst";
}

std::vector<std::string> ParseInputList(std::string_view text, const std::string& list_folder) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<std::string> paths;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (line.ends_with('\r')) line.remove_suffix(1);
    // Blanks around a name are kept: they can be part of it.
    if (line.empty() || line.front() == '#') continue;
    if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
    paths.push_back(NormalizePath(std::string(line), list_folder));
  }
  return paths;
}

bool ReadInputList(const std::string& path, std::vector<std::string>* paths) {
  paths->clear();
  std::string text;
  if (!fs::ReadFile(path, &text, kMaxListBytes)) return false;
  if (text.find('\0') != std::string::npos) return false;
  *paths = ParseInputList(text, fs::FolderOf(path));
  return true;
}

}  // namespace pic2jpg
