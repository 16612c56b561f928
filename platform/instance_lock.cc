#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/app_paths.h"

namespace pic2jpg::platform {

int AcquireInstanceLock(const std::string& name) {
  std::string file_name;
  for (char c : name) file_name += (c == '/' || c == ' ') ? '_' : c;
  std::string path = RuntimeFolder() + file_name + ".lock";
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return -1;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

void ReleaseInstanceLock(int handle) {
  if (handle >= 0) close(handle);
}

}  // namespace pic2jpg::platform
