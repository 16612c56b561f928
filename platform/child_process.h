// A helper program kept running for many requests: its standard input and
// output are pipes to us, its errors are discarded. Used for a converter
// that takes one file after another instead of starting once per file.
#ifndef PIC2JPG_PLATFORM_CHILD_PROCESS_H_
#define PIC2JPG_PLATFORM_CHILD_PROCESS_H_

#include <string>
#include <string_view>
#include <vector>

namespace pic2jpg::platform {

struct ChildProcess {
  int pid = -1;
  int to_child = -1;    // its standard input
  int from_child = -1;  // its standard output
  int cleanup_slot = -1;
};

// Starts `program` with `args` (not including argv[0]); it dies with this
// process, and a signal that ends this process ends it too. False when it
// could not be started.
bool StartChild(const std::string& program, const std::vector<std::string>& args,
                ChildProcess* child);

bool ChildRunning(const ChildProcess& child);

// Writes all of `data` to the child's input. False when the child has gone
// (its input closed) or the write failed.
bool WriteToChild(ChildProcess* child, std::string_view data);

// Waits at most `timeout_ms` until one of `children` has output to read or
// has ended. Returns the index of the first such child, -1 when the time
// passed first.
int AwaitChildOutput(const std::vector<const ChildProcess*>& children, int timeout_ms);

// Appends what the child has written so far to *output without waiting.
// False when its output has ended (it closed it or ended).
bool ReadFromChild(ChildProcess* child, std::string* output);

// Kills the child at once and collects it. Returns how it ended: its exit
// status, or 128 + the signal (its own crash's, when it had ended already).
int KillChild(ChildProcess* child);

// Closes the child's input, which tells it to end, and collects it; a child
// still running after `grace_ms` is killed.
void EndChild(ChildProcess* child, int grace_ms);

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_CHILD_PROCESS_H_
