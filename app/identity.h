// The one way the program ends, and its single-instance lock.
#ifndef PIC2JPG_APP_IDENTITY_H_
#define PIC2JPG_APP_IDENTITY_H_

#include <string>

#include "text/identity.h"

namespace pic2jpg {

// Ends the process with the given exit status after releasing what the
// program holds. Never returns.
[[noreturn]] void EndProgram(int exit_status);

// Takes the single-instance lock; ends the program (status kAlreadyRunning)
// when another copy of this version holds it, and with kLockFailedStatus and
// the reason when the lock cannot be taken at all. Returns the lock handle.
inline constexpr int kAlreadyRunningStatus = 3;
inline constexpr int kLockFailedStatus = 1;
int EnsureSingleInstance(const std::string& name);

}  // namespace pic2jpg

#endif  // PIC2JPG_APP_IDENTITY_H_
