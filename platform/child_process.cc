#include "platform/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>

#include "platform/cleanup.h"
#include "platform/clock.h"
#include "platform/process.h"

namespace pic2jpg::platform {
namespace {

void CloseFd(int* fd) {
  if (*fd >= 0) close(*fd);
  *fd = -1;
}

// Waits for the child's end; its exit status, or 128 + the signal that ended it.
int Collect(ChildProcess* child) {
  int status = 0;
  pid_t done = 0;
  while ((done = waitpid(child->pid, &status, 0)) < 0 && errno == EINTR) {
  }
  child->pid = -1;
  UnregisterChild(child->cleanup_slot);
  child->cleanup_slot = -1;
  return done < 0 ? -1 : ExitCodeOf(status);
}

}  // namespace

bool StartChild(const std::string& program, const std::vector<std::string>& args,
                ChildProcess* child) {
  *child = ChildProcess{};
  // A child that dies while we write to it must give us an error, not end
  // this process.
  signal(SIGPIPE, SIG_IGN);
  int input[2];
  int output[2];
  if (pipe2(input, O_CLOEXEC) != 0) return false;
  if (pipe2(output, O_CLOEXEC) != 0) {
    close(input[0]);
    close(input[1]);
    return false;
  }
  pid_t pid = 0;
  // The child's copies (dup2 clears close-on-exec on them) are its standard
  // input and output; every other end stays here.
  const int error = StartProgram(program, args, input[0], output[1], &pid);
  close(input[0]);
  close(output[1]);
  if (error != 0) {
    close(input[1]);
    close(output[0]);
    return false;
  }
  fcntl(output[0], F_SETFL, fcntl(output[0], F_GETFL) | O_NONBLOCK);
  child->pid = pid;
  child->to_child = input[1];
  child->from_child = output[0];
  // A signal that ends this process takes the child with it.
  child->cleanup_slot = RegisterChild(pid);
  return true;
}

bool ChildRunning(const ChildProcess& child) { return child.pid > 0; }

bool WriteToChild(ChildProcess* child, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = write(child->to_child, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

int AwaitChildOutput(const std::vector<const ChildProcess*>& children, int timeout_ms) {
  std::vector<struct pollfd> fds;
  std::vector<int> owners;
  for (size_t i = 0; i < children.size(); ++i) {
    if (children[i]->from_child < 0) continue;
    fds.push_back({children[i]->from_child, POLLIN, 0});
    owners.push_back(static_cast<int>(i));
  }
  if (fds.empty()) return -1;
  const int64_t end = MonotonicMilliseconds() + timeout_ms;
  while (true) {
    const int64_t left = end - MonotonicMilliseconds();
    if (left < 0) return -1;
    int ready = poll(fds.data(), fds.size(), static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return -1;
    for (size_t i = 0; i < fds.size(); ++i) {
      if (fds[i].revents != 0) return owners[i];
    }
  }
}

bool ReadFromChild(ChildProcess* child, std::string* output) {
  char buffer[4096];
  while (true) {
    ssize_t n = read(child->from_child, buffer, sizeof buffer);
    if (n > 0) {
      output->append(buffer, static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    return false;  // end of output, or an error
  }
}

int KillChild(ChildProcess* child) {
  CloseFd(&child->to_child);
  CloseFd(&child->from_child);
  if (child->pid <= 0) return -1;
  // A child that has ended already keeps the status it ended with.
  kill(child->pid, SIGKILL);
  return Collect(child);
}

void EndChild(ChildProcess* child, int grace_ms) {
  CloseFd(&child->to_child);
  if (child->pid > 0) {
    const int64_t end = MonotonicMilliseconds() + grace_ms;
    int status = 0;
    while (true) {
      pid_t done = waitpid(child->pid, &status, WNOHANG);
      if (done == child->pid || (done < 0 && errno != EINTR)) {
        child->pid = -1;
        UnregisterChild(child->cleanup_slot);
        child->cleanup_slot = -1;
        break;
      }
      if (MonotonicMilliseconds() >= end) {
        kill(child->pid, SIGKILL);
        Collect(child);
        break;
      }
      usleep(2000);
    }
  }
  CloseFd(&child->from_child);
}

}  // namespace pic2jpg::platform
