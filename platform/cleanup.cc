#include "platform/cleanup.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "platform/file_system.h"

namespace pic2jpg::platform {
namespace {

constexpr int kPathSlots = 16;
constexpr int kChildSlots = 8;
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// A slot is free (0), being filled (1) or in use (2); the handler reads only
// slots in use, so it never sees half a path.
struct PathSlot {
  std::atomic<int> state{0};
  bool is_folder = false;
  char path[PATH_MAX] = {};
};

PathSlot g_paths[kPathSlots];
std::atomic<pid_t> g_children[kChildSlots];
std::atomic<bool> g_installed{false};

// Removes the entries of a folder (one level) and the folder itself, with
// system calls only: opendir and readdir are not safe in a handler.
void RemoveFolderInHandler(const char* path) {
  int fd = open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd >= 0) {
    alignas(8) char buffer[4096];
    while (true) {
      long n = syscall(SYS_getdents64, fd, buffer, sizeof buffer);
      if (n <= 0) break;
      for (long at = 0; at < n;) {
        // struct linux_dirent64: inode (8), offset (8), record length (2),
        // type (1), then the name.
        unsigned short length;
        std::memcpy(&length, buffer + at + 16, sizeof length);
        const char* name = buffer + at + 19;
        if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) unlinkat(fd, name, 0);
        at += length;
      }
    }
    close(fd);
  }
  rmdir(path);
}

void OnSignal(int signal_number) {
  // The signal stays blocked until this returns, and the thread it stopped
  // may still look at errno before the process ends.
  const int saved_errno = errno;
  for (std::atomic<pid_t>& child : g_children) {
    pid_t pid = child.load();
    if (pid > 0) kill(pid, SIGKILL);
  }
  for (PathSlot& slot : g_paths) {
    if (slot.state.load() != 2) continue;
    if (slot.is_folder) {
      RemoveFolderInHandler(slot.path);
    } else {
      unlink(slot.path);
    }
  }
  // End as the signal would have ended us, so that the parent sees it.
  struct sigaction plain {};
  plain.sa_handler = SIG_DFL;
  sigemptyset(&plain.sa_mask);
  sigaction(signal_number, &plain, nullptr);
  raise(signal_number);
  errno = saved_errno;
}

const char* g_time_limit_message = "";

void OnTimeLimit(int signal_number) {
  const size_t length = std::strlen(g_time_limit_message);
  if (write(STDERR_FILENO, g_time_limit_message, length) < 0) {
    // Nothing more can be done about a lost message here.
  }
  OnSignal(signal_number);
}

}  // namespace

void InstallTimeLimit(int seconds, const char* message) {
  g_time_limit_message = message;
  struct rlimit no_core {};
  setrlimit(RLIMIT_CORE, &no_core);
  struct sigaction action {};
  action.sa_handler = OnTimeLimit;
  sigemptyset(&action.sa_mask);
  sigaddset(&action.sa_mask, SIGALRM);
  sigaddset(&action.sa_mask, SIGXCPU);
  for (int blocked : kSignals) sigaddset(&action.sa_mask, blocked);
  sigaction(SIGALRM, &action, nullptr);
  sigaction(SIGXCPU, &action, nullptr);
  // Processor time: SIGXCPU at the soft limit, SIGKILL soon after should the
  // handler not end us.
  const auto cpu = static_cast<rlim_t>(seconds);
  struct rlimit cpu_limit {
    cpu, cpu + 2
  };
  setrlimit(RLIMIT_CPU, &cpu_limit);
  alarm(static_cast<unsigned>(seconds));
}

bool LimitAddressSpace(long long bytes) {
  struct rlimit limit {
    static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)
  };
  return setrlimit(RLIMIT_AS, &limit) == 0;
}

void InstallCleanupHandlers() {
  if (g_installed.exchange(true)) return;
  for (int signal_number : kSignals) {
    struct sigaction old {};
    if (sigaction(signal_number, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) {
      continue;  // started with the signal ignored (nohup): it stays ignored
    }
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int blocked : kSignals) sigaddset(&action.sa_mask, blocked);
    sigaction(signal_number, &action, nullptr);
  }
}

int RegisterPath(const std::string& path, bool is_folder) {
  if (path.empty() || path.size() >= PATH_MAX) return -1;
  for (int i = 0; i < kPathSlots; ++i) {
    int expected = 0;
    if (!g_paths[i].state.compare_exchange_strong(expected, 1)) continue;
    std::memcpy(g_paths[i].path, path.c_str(), path.size() + 1);
    g_paths[i].is_folder = is_folder;
    g_paths[i].state.store(2);
    return i;
  }
  return -1;
}

void UnregisterPath(int slot) {
  if (slot >= 0 && slot < kPathSlots) g_paths[slot].state.store(0);
}

int RegisterChild(pid_t pid) {
  for (int i = 0; i < kChildSlots; ++i) {
    pid_t expected = 0;
    if (g_children[i].compare_exchange_strong(expected, pid)) return i;
  }
  return -1;
}

void UnregisterChild(int slot) {
  if (slot >= 0 && slot < kChildSlots) g_children[slot].store(0);
}

int RemoveStaleTempFolders(const std::string& temp_folder, std::string_view prefix) {
  DIR* dir = opendir(temp_folder.c_str());
  if (dir == nullptr) return 0;
  const std::string lead = std::string(prefix) + "-";
  int removed = 0;
  while (const dirent* entry = readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (!name.starts_with(lead)) continue;
    // PREFIX-PID-XXXXXX: digits, then the dash of the unique part.
    size_t at = lead.size();
    pid_t pid = 0;
    while (at < name.size() && name[at] >= '0' && name[at] <= '9' && pid < 100000000) {
      pid = pid * 10 + (name[at] - '0');
      ++at;
    }
    if (at == lead.size() || at >= name.size() || name[at] != '-' || pid <= 0) continue;
    std::string path = temp_folder;
    if (path.back() != '/') path += '/';
    path += name;
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid()) continue;
    if (kill(pid, 0) == 0 || errno != ESRCH) continue;  // still running, or not ours to ask
    if (fs::RemoveTree(path)) ++removed;
  }
  closedir(dir);
  return removed;
}

}  // namespace pic2jpg::platform
