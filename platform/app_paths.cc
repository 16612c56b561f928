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

namespace {

// $VARIABLE when it is an absolute path, else ~/FALLBACK; "" without a home.
std::string XdgFolder(const char* variable, const char* fallback) {
  const std::string folder = Env(variable);
  if (!folder.empty() && folder[0] == '/') return WithSlash(folder);
  const std::string home = HomeFolder();
  if (home.empty()) return "";
  return home + fallback;
}

}  // namespace

std::string UserDataFolder() { return XdgFolder("XDG_CONFIG_HOME", ".config/"); }

std::string UserCacheFolder() { return XdgFolder("XDG_CACHE_HOME", ".cache/"); }

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

}  // namespace pic2jpg::platform
