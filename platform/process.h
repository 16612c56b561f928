// Starting other programs: no shell, arguments passed one by one.
#ifndef PIC2JPG_PLATFORM_PROCESS_H_
#define PIC2JPG_PLATFORM_PROCESS_H_

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace pic2jpg::platform {

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

// Opens a URL or a file with the desktop's default handler (xdg-open),
// without waiting. False when xdg-open is missing or cannot be started;
// otherwise `on_end`, when given, gets xdg-open's exit status (0 when the
// target was handed on) on another thread.
bool OpenWithDesktop(const std::string& target, std::function<void(int)> on_end = {});

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_PROCESS_H_
