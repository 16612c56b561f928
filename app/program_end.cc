#include <FreeImage.h>

#include <cstdio>
#include <cstdlib>

#include "app/identity.h"
#include "platform/instance_lock.h"
#include "platform/lazy_libraries.h"

namespace pic2jpg {

int EnsureSingleInstance(const std::string& name) {
  platform::InstanceLock lock = platform::AcquireInstanceLock(name);
  if (lock.busy) {
    // Standard output stays silent; a script still learns why we ended.
    std::fputs("pic2jpg: another copy of this version is running\n", stderr);
    EndProgram(kAlreadyRunningStatus);
  }
  if (lock.handle < 0) {
    std::fprintf(stderr, "pic2jpg: cannot take the single-instance lock: %s\n", lock.error.c_str());
    EndProgram(kLockFailedStatus);
  }
  return lock.handle;
}

void EndProgram(int exit_status) {
  std::fflush(stdout);
  std::fflush(stderr);
  // Not loaded only to be let go of.
  if (platform::LazyLibrariesOpened()) FreeImage_DeInitialise();
  std::_Exit(exit_status);
}

}  // namespace pic2jpg
