#include "runlist/input_queue.h"

#include "engine/format_tables.h"
#include "pict/pict_reader.h"
#include "platform/file_system.h"
#include "runlist/container_inputs.h"
#include "runlist/run_list.h"
#include "runlist/run_state.h"
#include "text/ascii_case.h"

namespace pic2jpg {

std::string NormalizePath(const std::string& path, const std::string& folder) {
  const std::string whole = !path.empty() && path[0] == '/' ? path : folder + path;
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= whole.size()) {
    size_t end = whole.find('/', start);
    if (end == std::string::npos) end = whole.size();
    const std::string part = whole.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  // Appended piece by piece: GCC 12 at -O3 warns (-Wrestrict, a false alarm
  // inside std::string) about "/" + part and the assignment of "/".
  std::string result;
  for (const std::string& part : parts) {
    result.push_back('/');
    result.append(part);
  }
  if (result.empty()) result.push_back('/');
  return result;
}

std::string SubfolderBelow(const std::string& path, const std::string& base) {
  const std::string folder = fs::FolderOf(path);
  if (base.empty() || !folder.starts_with(base)) return "";
  return folder.substr(base.size());
}

bool CheckInputFile(const std::string& path, std::string* reason) {
  const int64_t size = fs::FileSize(path);
  if (size == fs::kMissing) {
    *reason = "not found";
    return false;
  }
  if (size == fs::kIsFolder) {
    *reason = "a folder";
    return false;
  }
  if (!ListContains(AcceptedInputExtensions(), LowerAscii(fs::ExtensionOf(path)))) {
    *reason = "not a PICT file (by its extension)";
    return false;
  }
  if (!fs::IsRegularFile(path)) {
    *reason = "not a regular file";
    return false;
  }
  if (size == 0) {
    *reason = "empty";
    return false;
  }
  // A container named like a picture (a MacBinary "photo.pict") is read as
  // the container it is; the caller lists its resources instead.
  std::string head;
  if (fs::ReadFilePrefix(path, pict::kPictHeaderBytes, &head) &&
      !pict::StartsWithPictHeader(reinterpret_cast<const uint8_t*>(head.data()), head.size()) &&
      IsContainerFile(path)) {
    *reason = "a container of pictures";
    return false;
  }
  return true;
}

bool QueueInputFile(const std::string& path, const std::string& base, std::string* reason) {
  if (!CheckInputFile(path, reason)) return false;
  g_input_list[path] = InputEntry{SubfolderBelow(path, base), ""};
  return true;
}

}  // namespace pic2jpg
