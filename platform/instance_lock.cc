#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/app_paths.h"
#include "platform/file_system.h"

namespace pic2jpg::platform {
namespace {

std::string WithSlash(std::string folder) {
  if (folder.back() != '/') folder += '/';
  return folder;
}

// A folder only this user can change: a real folder (not a link), owned by
// us, that group and others cannot write to (`closed_mask` 022); our own
// folder is closed to them entirely (077).
bool IsPrivateFolder(const std::string& path, mode_t closed_mask, std::string* why) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) {
    *why = path + ": " + fs::ErrorText(errno);
    return false;
  }
  if (!S_ISDIR(st.st_mode)) {
    *why = path + " is not a folder";
    return false;
  }
  if (st.st_uid != geteuid()) {
    *why = path + " belongs to another user";
    return false;
  }
  if ((st.st_mode & closed_mask) != 0) {
    *why = path + " is open to other users";
    return false;
  }
  return true;
}

}  // namespace

std::string LockFolder(std::string* error) {
  std::string why;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/' && IsPrivateFolder(runtime, 022, &why)) {
    return WithSlash(runtime);
  }
  // Not a shared temporary folder, where another user could take the name
  // first: our own folder in the user's cache folder.
  const std::string cache = UserCacheFolder();
  if (cache.empty()) {
    *error = "no folder for the lock: neither XDG_RUNTIME_DIR nor a home folder is usable";
    return "";
  }
  const std::string folder = cache + "pic2jpg";
  if (!fs::MakeFolders(cache) || (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)) {
    *error = "cannot create " + folder + ": " + fs::ErrorText(errno);
    return "";
  }
  if (!IsPrivateFolder(folder, 077, &why)) {
    *error = "unsafe lock folder: " + why;
    return "";
  }
  return WithSlash(folder);
}

InstanceLock AcquireInstanceLock(const std::string& name) {
  InstanceLock lock;
  std::string file_name;
  for (char c : name) file_name += (c == '/' || c == ' ') ? '_' : c;
  const std::string folder = LockFolder(&lock.error);
  if (folder.empty()) return lock;
  const std::string path = folder + file_name + ".lock";
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
  if (fd < 0) {
    lock.error = "cannot open " + path + ": " + fs::ErrorText(errno);
    return lock;
  }
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    lock.error = path + " is not a regular file";
    return lock;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    close(fd);
    if (error == EWOULDBLOCK) {
      lock.busy = true;
    } else {
      lock.error = "cannot lock " + path + ": " + fs::ErrorText(error);
    }
    return lock;
  }
  lock.handle = fd;
  return lock;
}

void ReleaseInstanceLock(int handle) {
  if (handle >= 0) close(handle);
}

}  // namespace pic2jpg::platform
