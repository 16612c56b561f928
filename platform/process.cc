#include "platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <string_view>

extern char** environ;

namespace pic2jpg::platform {

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

int Spawn(const std::string& program, const std::vector<std::string>& args, pid_t* pid) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  int rc = posix_spawn(pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc;
}

}  // namespace

namespace {

// Waits for the child's end through a process file descriptor, which wakes
// the moment it ends. False when the system has none (then the caller polls)
// or the timeout passed first.
bool AwaitExit(pid_t pid, int timeout_seconds, bool* timed_out) {
  *timed_out = false;
  int fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  if (fd < 0) return false;
  struct timespec start;
  clock_gettime(CLOCK_MONOTONIC, &start);
  bool ended = false;
  while (true) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    long long spent_ms =
        (now.tv_sec - start.tv_sec) * 1000LL + (now.tv_nsec - start.tv_nsec) / 1000000;
    long long left_ms = timeout_seconds * 1000LL - spent_ms;
    if (left_ms <= 0) {
      *timed_out = true;
      break;
    }
    struct pollfd wait_for {
      fd, POLLIN, 0
    };
    int ready = poll(&wait_for, 1, static_cast<int>(std::min(left_ms, 60000LL)));
    if (ready > 0) {
      ended = true;
      break;
    }
    if (ready < 0 && errno != EINTR) break;
  }
  close(fd);
  return ended || *timed_out;
}

// Waits for a child, killing it when the timeout passes.
int WaitForChild(pid_t pid, int timeout_seconds) {
  int status = 0;
  bool timed_out = false;
  if (timeout_seconds > 0 && AwaitExit(pid, timeout_seconds, &timed_out)) {
    if (timed_out) kill(pid, SIGKILL);
    timeout_seconds = 0;  // it has ended, or ends now: collect it
  }
  if (timed_out) {
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return 128 + SIGKILL;
  }
  // Without a process descriptor: polls with a short, growing sleep.
  if (timeout_seconds <= 0) {
    while (waitpid(pid, &status, 0) < 0) {
      if (errno != EINTR) return -1;
    }
  } else {
    struct timespec start;
    clock_gettime(CLOCK_MONOTONIC, &start);
    long sleep_us = 500;
    while (true) {
      pid_t done = waitpid(pid, &status, WNOHANG);
      if (done == pid) break;
      if (done < 0 && errno != EINTR) return -1;
      struct timespec now;
      clock_gettime(CLOCK_MONOTONIC, &now);
      if (now.tv_sec - start.tv_sec >= timeout_seconds) {
        kill(pid, SIGKILL);
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        return 128 + SIGKILL;
      }
      usleep(static_cast<useconds_t>(sleep_us));
      if (sleep_us < 20000) sleep_us *= 2;
    }
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace

int RunProgram(const std::string& program, const std::vector<std::string>& args,
               int timeout_seconds) {
  if (program.empty()) return -1;
  pid_t pid = 0;
  if (Spawn(program, args, &pid) != 0) return -1;
  return WaitForChild(pid, timeout_seconds);
}

int RunIsolated(int (*work)(void* context), void* context, int timeout_seconds) {
  fflush(nullptr);
  pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    // The child does its work and leaves without running the parent's exit
    // handlers or flushing its buffers a second time.
    _exit(work(context));
  }
  return WaitForChild(pid, timeout_seconds);
}

bool OpenWithDesktop(const std::string& target) {
  std::string opener = FindOnPath("xdg-open");
  if (opener.empty()) return false;
  pid_t pid = 0;
  if (Spawn(opener, {target}, &pid) != 0) return false;
  // Reap it in the background so that no zombie is left behind.
  int status = 0;
  waitpid(pid, &status, WNOHANG);
  return true;
}

}  // namespace pic2jpg::platform
