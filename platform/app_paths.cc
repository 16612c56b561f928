#include "platform/app_paths.h"

#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include <climits>

#include "platform/file_system.h"

namespace pic2jpg::platform {
namespace {

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

std::string Env(const char* name) {
  const char* value = getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

}  // namespace

std::string ProgramFolder() {
  char buffer[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return "./";
  buffer[n] = '\0';
  return fs::FolderOf(buffer);
}

std::string HomeFolder() {
  std::string home = Env("HOME");
  if (home.empty()) {
    struct passwd* pw = getpwuid(getuid());
    if (pw != nullptr && pw->pw_dir != nullptr) home = pw->pw_dir;
  }
  return WithSlash(home);
}

std::string UserDataFolder() {
  std::string config = Env("XDG_CONFIG_HOME");
  if (!config.empty() && config[0] == '/') return WithSlash(config);
  const std::string home = HomeFolder();
  if (home.empty()) return "";
  return home + ".config/";
}

std::string GetProgramDataFolder(const std::string& maker, const std::string& program) {
  std::string folder = UserDataFolder();
  if (folder.empty()) return "";
  fs::MakeFolders(folder);
  folder += maker;
  fs::MakeFolder(folder);
  folder += "/" + program;
  fs::MakeFolder(folder);
  return folder + "/";
}

std::string RuntimeFolder() {
  std::string runtime = Env("XDG_RUNTIME_DIR");
  if (!runtime.empty() && fs::IsFolder(runtime)) return WithSlash(runtime);
  std::string tmp = Env("TMPDIR");
  if (!tmp.empty() && fs::IsFolder(tmp)) return WithSlash(tmp);
  return "/tmp/";
}

}  // namespace pic2jpg::platform
