#include "text/resource_reference.h"

#include <string_view>

#include "platform/file_system.h"

namespace pic2jpg {
namespace {

constexpr std::string_view kPictMark = "#PICT ";
constexpr std::string_view kDataForkMark = "#data fork";
constexpr size_t kMaxNameBytes = 100;

// "ID" or "ID NAME" after the mark; false for anything else.
bool ParseIdAndName(std::string_view text, int* id, std::string* name) {
  size_t digits = text.starts_with('-') ? 1 : 0;
  const size_t first = digits;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
  if (digits == first || digits - first > 5) return false;
  const int value = std::stoi(std::string(text.substr(0, digits)));
  if (value < -32768 || value > 32767) return false;
  if (digits < text.size()) {
    if (text[digits] != ' ' || digits + 1 == text.size()) return false;
    *name = std::string(text.substr(digits + 1));
  } else {
    name->clear();
  }
  *id = value;
  return true;
}

}  // namespace

std::string ResourceReferencePath(const std::string& container, int id, const std::string& name) {
  if (id == kDataForkResourceId) return container + std::string(kDataForkMark);
  std::string path = container + std::string(kPictMark) + std::to_string(id);
  const std::string safe = SafeResourceName(name);
  if (!safe.empty()) path += " " + safe;
  return path;
}

std::string SafeResourceName(const std::string& name) {
  std::string safe;
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '/') continue;
    safe.push_back(c);
  }
  // Cut at a character boundary.
  if (safe.size() > kMaxNameBytes) {
    size_t end = kMaxNameBytes;
    while (end > 0 && (static_cast<unsigned char>(safe[end]) & 0xC0) == 0x80) --end;
    safe.resize(end);
  }
  const size_t start = safe.find_first_not_of(' ');
  if (start == std::string::npos) return "";
  safe.erase(0, start);
  while (!safe.empty() && safe.back() == ' ') safe.pop_back();
  if (safe.find_first_not_of('.') == std::string::npos) return "";
  return safe;
}

bool SplitResourceReference(const std::string& path, ResourceReference* reference) {
  if (fs::FileSize(path) != fs::kMissing) return false;
  // The container's own name may hold "#": each "#" from the right is tried.
  for (size_t hash = path.rfind('#'); hash != std::string::npos && hash > 0;
       hash = path.rfind('#', hash - 1)) {
    const std::string_view rest = std::string_view(path).substr(hash);
    ResourceReference found;
    found.container = path.substr(0, hash);
    bool parsed = false;
    if (rest == kDataForkMark) {
      found.id = kDataForkResourceId;
      parsed = true;
    } else if (rest.starts_with(kPictMark)) {
      parsed = ParseIdAndName(rest.substr(kPictMark.size()), &found.id, &found.name);
    }
    if (parsed && fs::IsRegularFile(found.container)) {
      *reference = std::move(found);
      return true;
    }
  }
  return false;
}

std::string ContainerOfInput(const std::string& path) {
  ResourceReference reference;
  return SplitResourceReference(path, &reference) ? reference.container : path;
}

std::string ResourceOutputBase(const ResourceReference& reference) {
  std::string base = fs::NameOf(reference.container);
  if (base.starts_with("._") && base.size() > 2) base.erase(0, 2);
  const size_t dot = base.rfind('.');
  if (dot != std::string::npos && dot > 0) base.resize(dot);
  if (reference.id == kDataForkResourceId) return base;
  // Appended piece by piece: GCC 12 at -O3 flags "-" + a temporary string
  // with a false -Wrestrict.
  base += '-';
  base += std::to_string(reference.id);
  if (!reference.name.empty()) {
    base += '-';
    base += reference.name;
  }
  return base;
}

}  // namespace pic2jpg
