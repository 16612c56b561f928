// What a run leaves behind while it works, and how it is cleared away when
// the run is ended by a signal: temporary files and folders register here
// while they exist, converter children while they run. SIGINT, SIGTERM and
// SIGHUP kill the registered children, remove the registered paths and end
// the process with the same signal. Registration is thread-safe and the
// handler only makes async-signal-safe calls.
//
// Temporary folders of a run carry its process id in their name
// ("PREFIX-PID-XXXXXX"); RemoveStaleTempFolders clears those of processes
// that no longer exist, what a run killed with SIGKILL leaves behind.
#ifndef PIC2JPG_PLATFORM_CLEANUP_H_
#define PIC2JPG_PLATFORM_CLEANUP_H_

#include <sys/types.h>

#include <string>
#include <string_view>

namespace pic2jpg::platform {

// Installs the handlers; once per process, later calls do nothing.
void InstallCleanupHandlers();

// A registered path: a file, or a folder whose files (one level) are removed
// with it. Returns a slot for UnregisterPath, or -1 when every slot is taken
// or the path is too long to keep (it is then simply not cleared).
int RegisterPath(const std::string& path, bool is_folder);
void UnregisterPath(int slot);

// A running child that a signal must take down with us.
int RegisterChild(pid_t pid);
void UnregisterChild(int slot);

// Ends the process once it has run `seconds` by the clock or used that much
// processor time, the way the signals above end it (registered paths
// removed, children killed), after writing `message` (kept, not copied) to
// standard error. No core file is written. Once per process.
void InstallTimeLimit(int seconds, const char* message);

// Holds the process's address space to `bytes`; false when that fails.
bool LimitAddressSpace(long long bytes);

// Removes "PREFIX-PID-*" folders in `temp_folder` that belong to this user
// and name a process that has ended. Returns how many were removed.
int RemoveStaleTempFolders(const std::string& temp_folder, std::string_view prefix);

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_CLEANUP_H_
