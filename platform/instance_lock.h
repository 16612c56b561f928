// The single-instance lock: an exclusive flock on a lock file named after the
// program title and version, held until the process ends.
//
// The lock file lives in $XDG_RUNTIME_DIR when that is a folder of this user
// that nobody else can write to; otherwise in a folder of our own in the
// user's cache folder ($XDG_CACHE_HOME/pic2jpg or ~/.cache/pic2jpg, mode
// 0700, its owner and mode checked), never in a shared temporary folder
// where another user could claim the name first. The
// file is opened without following symbolic links, so nobody can plant a
// link that makes us create or lock a file elsewhere.
#ifndef PIC2JPG_PLATFORM_INSTANCE_LOCK_H_
#define PIC2JPG_PLATFORM_INSTANCE_LOCK_H_

#include <string>

namespace pic2jpg::platform {

struct InstanceLock {
  int handle = -1;    // >= 0 while held
  bool busy = false;  // another process holds it
  std::string error;  // why it could not be taken otherwise ("" when held or busy)
};

// Takes the lock named `name`.
InstanceLock AcquireInstanceLock(const std::string& name);
void ReleaseInstanceLock(int handle);

// The folder the lock file goes into (ends with "/"); "" with `error` set
// when no safe folder can be had.
std::string LockFolder(std::string* error);

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_INSTANCE_LOCK_H_
