// Starting other programs: no shell, arguments passed one by one.
#ifndef PIC2JPG_PLATFORM_PROCESS_H_
#define PIC2JPG_PLATFORM_PROCESS_H_

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace pic2jpg::platform {

// A waited-for program's exit status, or 128 + the signal that ended it, as
// a shell reports them; -1 for a wait status that is neither.
int ExitCodeOf(int wait_status);

// Full path of an executable `name` found on PATH; "" when there is none.
std::string FindOnPath(const std::string& name);

// Runs `program` with `args` (not including argv[0]), standard input and
// output on /dev/null, and waits for it. Returns its exit status, 128 +
// signal number when a signal ended it, or -1 when it could not be started.
// A program still running after `timeout_seconds` (when positive) is killed
// and counts as failed. The child is killed with us: by the signal clean-up
// (platform/cleanup.h) and by the kernel when this process dies. With
// `error_text` its standard error (the first 4 KiB) is kept there, or why it
// could not be started; otherwise standard error is discarded.
int RunProgram(const std::string& program, const std::vector<std::string>& args,
               int timeout_seconds = 0, std::string* error_text = nullptr);

// Starts `program` with `args` without waiting: standard input and output
// from the given descriptors (/dev/null when -1), standard error discarded,
// and the child dies with this process. 0, or the error number.
int StartProgram(const std::string& program, const std::vector<std::string>& args, int input_fd,
                 int output_fd, pid_t* pid);

// A program whose standard output this process reads as it is written (a
// converter streaming a picture's rows). Standard input is /dev/null, and
// standard error is kept as RunProgram keeps it. Every read waits at most
// until the deadline set at the start; after it the program is killed.
struct ReadingProgram {
  pid_t pid = 0;
  int output_fd = -1;  // our end of its standard output
  int error_fd = -1;   // our end of its standard error
  int cleanup_slot = -1;
  long long deadline_ms = 0;  // on the monotonic clock; 0: none
  bool timed_out = false;
  std::string error_text;
};

// Starts the program; 0, or the error number (`program` is then not
// running and `error_text` says why).
int StartReadingProgram(const std::string& program, const std::vector<std::string>& args,
                        int timeout_seconds, ReadingProgram* running);

// Reads up to `size` bytes, waiting for all of them until the program's
// output ends or the deadline passes. Returns how many were read.
size_t ReadFromProgram(ReadingProgram* running, void* buffer, size_t size);

// Waits for the program's end (killing it first when `stop` is set or the
// deadline passed) and returns its status as RunProgram does: 128 + SIGKILL
// after the deadline.
int FinishReadingProgram(ReadingProgram* running, bool stop);

// Opens a URL or a file with the desktop's default handler (xdg-open),
// without waiting. False when xdg-open is missing or cannot be started;
// otherwise `on_end`, when given, gets xdg-open's exit status (0 when the
// target was handed on) on another thread.
bool OpenWithDesktop(const std::string& target, std::function<void(int)> on_end = {});

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_PROCESS_H_
