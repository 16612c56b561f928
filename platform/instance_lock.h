// The single-instance lock: an exclusive flock on a lock file named after the
// program title and version, held until the process ends.
#ifndef PIC2JPG_PLATFORM_INSTANCE_LOCK_H_
#define PIC2JPG_PLATFORM_INSTANCE_LOCK_H_

#include <string>

namespace pic2jpg::platform {

// Takes the lock named `name` (in RuntimeFolder()). Returns the lock handle
// (>= 0) or -1 when another process holds it or it cannot be created.
int AcquireInstanceLock(const std::string& name);
void ReleaseInstanceLock(int handle);

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_INSTANCE_LOCK_H_
