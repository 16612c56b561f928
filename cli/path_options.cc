#include "cli/path_options.h"

#include "platform/app_paths.h"

namespace pic2jpg {

std::string WithHomeFolder(const std::string& path, const std::string& home) {
  if (home.empty() || path.empty() || path[0] != '~') return path;
  if (path.size() == 1) return home;
  if (path[1] != '/') return path;
  return home + path.substr(2);
}

std::string ExpandHome(const std::string& path) {
  if (path.empty() || path[0] != '~') return path;
  return WithHomeFolder(path, platform::HomeFolder());
}

}  // namespace pic2jpg
