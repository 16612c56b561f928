#include "platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string_view>
#include <thread>

#include "platform/cleanup.h"

extern char** environ;

namespace pic2jpg::platform {

int ExitCodeOf(int wait_status) {
  if (WIFEXITED(wait_status)) return WEXITSTATUS(wait_status);
  if (WIFSIGNALED(wait_status)) return 128 + WTERMSIG(wait_status);
  return -1;
}

std::string FindOnPath(const std::string& name) {
  if (name.find('/') != std::string::npos) {
    return access(name.c_str(), X_OK) == 0 ? name : std::string();
  }
  const char* path = getenv("PATH");
  if (path == nullptr) return "";
  const std::string_view dirs = path;
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string_view::npos) end = dirs.size();
    // An empty entry stands for the current folder.
    const std::string_view dir = end > start ? dirs.substr(start, end - start) : ".";
    std::string candidate(dir);
    candidate.append("/").append(name);
    struct stat st;
    if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
    start = end + 1;
  }
  return "";
}

namespace {

// Starts `program` in a child that dies with this thread's process: with
// PR_SET_PDEATHSIG a converter killed parent leaves no converter spinning on
// alone. The child is made with vfork: it borrows this process's memory
// until its exec, instead of a copy of its page tables that would also make
// every page this process writes afterwards fault once (costly on a virtual
// machine, and a large picture's converter starts that much later). Until
// the exec this thread waits, and the child makes only system calls. Every
// signal is blocked meanwhile, so that no handler of ours runs in the child;
// the child sets back to default those we handle and unblocks them just
// before the exec. Standard input, output and error come from `input_fd`,
// `output_fd` and `error_fd`, each /dev/null when -1.
int Spawn(const std::string& program, const std::vector<std::string>& args, int input_fd,
          int output_fd, int error_fd, bool die_with_parent, pid_t* pid) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  // Reports a failed exec to the parent through a close-on-exec pipe.
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return errno;
  const pid_t parent = getpid();
  sigset_t all;
  sigset_t before;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &before);
  const pid_t child = vfork();
  if (child == 0) {
    if (die_with_parent) {
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (getppid() != parent) _exit(127);  // the parent ended before the line above
    }
    // Signal dispositions the parent set for itself are not the child's.
    for (int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) signal(signal_number, SIG_DFL);
    int null_fd = open("/dev/null", O_RDWR);
    if (null_fd >= 0) {
      dup2(input_fd >= 0 ? input_fd : null_fd, 0);
      dup2(output_fd >= 0 ? output_fd : null_fd, 1);
      dup2(error_fd >= 0 ? error_fd : null_fd, 2);
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    execve(program.c_str(), argv.data(), environ);
    int error = errno;
    (void)!write(report[1], &error, sizeof error);
    _exit(127);
  }
  const int spawn_error = child < 0 ? errno : 0;
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
  close(report[1]);
  if (child < 0) {
    close(report[0]);
    return spawn_error;
  }
  int error = 0;
  ssize_t n;
  do {
    n = read(report[0], &error, sizeof error);
  } while (n < 0 && errno == EINTR);
  close(report[0]);
  if (n == static_cast<ssize_t>(sizeof error)) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return error == 0 ? ENOEXEC : error;
  }
  *pid = child;
  return 0;
}

long long MillisecondsSince(const struct timespec& start) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (now.tv_sec - start.tv_sec) * 1000LL + (now.tv_nsec - start.tv_nsec) / 1000000;
}

// Reads what is there from the child's standard error, keeping the first
// `kMaxErrorText` bytes. False at its end.
constexpr size_t kMaxErrorText = 4096;
bool DrainErrorPipe(int fd, std::string* text) {
  char buffer[1024];
  while (true) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 && errno == EAGAIN;
    if (text != nullptr && text->size() < kMaxErrorText) {
      text->append(buffer, std::min(static_cast<size_t>(n), kMaxErrorText - text->size()));
    }
  }
}

// Waits for the child's end through a process file descriptor, which wakes
// the moment it ends, reading its standard error on the way. Kills the child
// when the timeout (when positive) passes first.
int WaitForChild(pid_t pid, int timeout_seconds, int error_fd, std::string* error_text) {
  int pid_fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  struct timespec start;
  clock_gettime(CLOCK_MONOTONIC, &start);
  bool timed_out = false;
  bool error_open = error_fd >= 0;
  while (pid_fd >= 0 || error_open) {
    long long left_ms = 60000;
    if (timeout_seconds > 0) {
      left_ms = timeout_seconds * 1000LL - MillisecondsSince(start);
      if (left_ms <= 0) {
        timed_out = true;
        break;
      }
    }
    struct pollfd fds[2];
    nfds_t count = 0;
    if (pid_fd >= 0) fds[count++] = {pid_fd, POLLIN, 0};
    if (error_open) fds[count++] = {error_fd, POLLIN, 0};
    // Without a process descriptor the child is looked for every 10 ms.
    const int wait_ms = pid_fd >= 0 ? static_cast<int>(std::min(left_ms, 60000LL))
                                    : static_cast<int>(std::min(left_ms, 10LL));
    int ready = poll(fds, count, wait_ms);
    if (ready < 0 && errno != EINTR) break;
    if (error_open) error_open = DrainErrorPipe(error_fd, error_text);
    if (pid_fd >= 0 && ready > 0 && (fds[0].revents & POLLIN) != 0) break;
    if (pid_fd < 0) {
      int status = 0;
      pid_t done = waitpid(pid, &status, WNOHANG);
      if (done == pid) {
        if (error_fd >= 0) DrainErrorPipe(error_fd, error_text);
        return ExitCodeOf(status);
      }
    }
  }
  if (pid_fd >= 0) close(pid_fd);
  if (timed_out) kill(pid, SIGKILL);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  if (error_fd >= 0) DrainErrorPipe(error_fd, error_text);
  if (timed_out) return 128 + SIGKILL;
  return ExitCodeOf(status);
}

}  // namespace

int RunProgram(const std::string& program, const std::vector<std::string>& args,
               int timeout_seconds, std::string* error_text) {
  if (error_text != nullptr) error_text->clear();
  if (program.empty()) return -1;
  int error_pipe[2] = {-1, -1};
  if (error_text != nullptr) {
    if (pipe2(error_pipe, O_CLOEXEC) != 0) return -1;
    // Only our end is non-blocking: the child writes as to any stream.
    fcntl(error_pipe[0], F_SETFL, O_NONBLOCK);
  }
  pid_t pid = 0;
  int spawn_error = Spawn(program, args, -1, -1, error_pipe[1], /*die_with_parent=*/true, &pid);
  if (error_pipe[1] >= 0) close(error_pipe[1]);
  if (spawn_error != 0) {
    if (error_pipe[0] >= 0) close(error_pipe[0]);
    if (error_text != nullptr) *error_text = std::strerror(spawn_error);
    return -1;
  }
  const int slot = RegisterChild(pid);
  int status = WaitForChild(pid, timeout_seconds, error_pipe[0], error_text);
  UnregisterChild(slot);
  if (error_pipe[0] >= 0) close(error_pipe[0]);
  return status;
}

int StartProgram(const std::string& program, const std::vector<std::string>& args, int input_fd,
                 int output_fd, pid_t* pid) {
  return Spawn(program, args, input_fd, output_fd, -1, /*die_with_parent=*/true, pid);
}

namespace {

// The most an unprivileged process may ask for by default
// (/proc/sys/fs/pipe-max-size); a refusal leaves the usual 64 KiB.
constexpr int kReadingPipeBytes = 1 << 20;

long long MonotonicMilliseconds() {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000LL + now.tv_nsec / 1000000;
}

}  // namespace

int StartReadingProgram(const std::string& program, const std::vector<std::string>& args,
                        int timeout_seconds, ReadingProgram* running) {
  *running = ReadingProgram{};
  int output_pipe[2];
  int error_pipe[2];
  if (pipe2(output_pipe, O_CLOEXEC) != 0) return errno;
  if (pipe2(error_pipe, O_CLOEXEC) != 0) {
    const int error = errno;
    close(output_pipe[0]);
    close(output_pipe[1]);
    return error;
  }
  // Only our ends wait in poll; the child writes as to any stream. A large
  // pipe lets the child write a megabyte before it waits for the reader,
  // which matters on a busy machine, where every wait costs a time slice.
  fcntl(output_pipe[0], F_SETFL, O_NONBLOCK);
  fcntl(output_pipe[0], F_SETPIPE_SZ, kReadingPipeBytes);
  fcntl(error_pipe[0], F_SETFL, O_NONBLOCK);
  pid_t pid = 0;
  const int error =
      Spawn(program, args, -1, output_pipe[1], error_pipe[1], /*die_with_parent=*/true, &pid);
  close(output_pipe[1]);
  close(error_pipe[1]);
  if (error != 0) {
    close(output_pipe[0]);
    close(error_pipe[0]);
    running->error_text = std::strerror(error);
    return error;
  }
  running->pid = pid;
  running->output_fd = output_pipe[0];
  running->error_fd = error_pipe[0];
  running->cleanup_slot = RegisterChild(pid);
  if (timeout_seconds > 0) {
    running->deadline_ms = MonotonicMilliseconds() + timeout_seconds * 1000LL;
  }
  return 0;
}

size_t ReadFromProgram(ReadingProgram* running, void* buffer, size_t size) {
  auto* to = static_cast<char*>(buffer);
  size_t done = 0;
  bool error_open = running->error_fd >= 0;
  while (done < size && running->output_fd >= 0 && !running->timed_out) {
    const ssize_t n = read(running->output_fd, to + done, size - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n == 0 || (errno != EAGAIN && errno != EINTR)) break;  // the output ended
    if (errno == EINTR) continue;
    int wait_ms = 60000;
    if (running->deadline_ms > 0) {
      const long long left = running->deadline_ms - MonotonicMilliseconds();
      if (left <= 0) {
        running->timed_out = true;
        break;
      }
      wait_ms = static_cast<int>(std::min(left, 60000LL));
    }
    struct pollfd fds[2] = {{running->output_fd, POLLIN, 0}, {running->error_fd, POLLIN, 0}};
    if (poll(fds, error_open ? 2 : 1, wait_ms) < 0 && errno != EINTR) break;
    // A program that fills its error pipe would wait for us forever.
    if (error_open) error_open = DrainErrorPipe(running->error_fd, &running->error_text);
  }
  return done;
}

int FinishReadingProgram(ReadingProgram* running, bool stop) {
  if (running->pid <= 0) return -1;
  if (running->output_fd >= 0) close(running->output_fd);
  running->output_fd = -1;
  if (stop || running->timed_out) kill(running->pid, SIGKILL);
  int timeout_seconds = 0;
  if (running->deadline_ms > 0) {
    const long long left = running->deadline_ms - MonotonicMilliseconds();
    timeout_seconds = static_cast<int>(std::max(1LL, (left + 999) / 1000));
  }
  int status = WaitForChild(running->pid, timeout_seconds, running->error_fd, &running->error_text);
  UnregisterChild(running->cleanup_slot);
  if (running->error_fd >= 0) close(running->error_fd);
  running->error_fd = -1;
  running->pid = 0;
  if (running->timed_out) status = 128 + SIGKILL;
  return status;
}

bool OpenWithDesktop(const std::string& target, std::function<void(int)> on_end) {
  std::string opener = FindOnPath("xdg-open");
  if (opener.empty()) return false;
  pid_t pid = 0;
  if (Spawn(opener, {target}, -1, -1, -1, /*die_with_parent=*/false, &pid) != 0) return false;
  // xdg-open may wait for the program it starts: it is reaped (no zombie)
  // and its status reported from a thread of its own.
  std::thread([pid, on_end = std::move(on_end)] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (on_end) on_end(ExitCodeOf(status));
  }).detach();
  return true;
}

}  // namespace pic2jpg::platform
