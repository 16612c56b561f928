#include "bench/process_figures.h"

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

#include "platform/directory.h"
#include "platform/file_system.h"

extern char** environ;

namespace pic2jpg::bench {
namespace {

using Clock = std::chrono::steady_clock;

// A file of /proc, read with plain reads: a process that ends while it is
// read gives an empty text (stream reads would throw).
std::string ReadProcFile(const std::string& path) {
  std::string text;
  if (!fs::ReadFilePrefix(path, 1 << 14, &text)) text.clear();
  return text;
}

std::string ReadName(int pid) {
  std::string name = ReadProcFile("/proc/" + std::to_string(pid) + "/comm");
  return name.substr(0, name.find('\n'));
}

long ReadHighWaterKb(int pid) {
  const std::string status = ReadProcFile("/proc/" + std::to_string(pid) + "/status");
  const size_t at = status.find("\nVmHWM:");
  return at == std::string::npos ? -1 : std::atol(status.c_str() + at + 7);
}

// Processes whose parent is in `family`.
void AddChildren(std::map<int, std::string>* family) {
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return;
  while (dirent* entry = readdir(proc)) {
    int pid = std::atoi(entry->d_name);
    if (pid <= 0 || family->count(pid)) continue;
    const std::string text = ReadProcFile("/proc/" + std::string(entry->d_name) + "/stat");
    size_t close = text.rfind(')');
    size_t open = text.find('(');
    if (close == std::string::npos || open == std::string::npos) continue;
    std::istringstream rest(text.substr(close + 2));
    char state;
    int ppid = 0;
    rest >> state >> ppid;
    if (family->count(ppid)) (*family)[pid] = text.substr(open + 1, close - open - 1);
  }
  closedir(proc);
}

// wait4() counts the children the process waited for in its own figures.
double CpuSeconds(const rusage& usage) {
  auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

RunFigures Measure(const std::string& program, const std::vector<std::string>& args,
                   const std::string& runtime_dir, bool sample_memory) {
  RunFigures figures;
  std::vector<std::string> env_strings;
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::strncmp(*e, "XDG_RUNTIME_DIR=", 16) != 0) env_strings.emplace_back(*e);
  }
  env_strings.push_back("XDG_RUNTIME_DIR=" + runtime_dir);
  std::vector<char*> envp;
  for (std::string& e : env_strings) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::vector<std::string> arg_strings = {program};
  arg_strings.insert(arg_strings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : arg_strings) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  Clock::time_point start = Clock::now();
  int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return figures;

  std::map<int, std::string> family = {{pid, fs::NameOf(program)}};
  std::map<int, long> peaks;
  int status = 0;
  rusage usage{};
  if (!sample_memory) {
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    figures.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    figures.cpu_seconds = CpuSeconds(usage);
    figures.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return figures;
  }
  while (true) {
    AddChildren(&family);
    for (auto& [member, name] : family) {
      long kb = ReadHighWaterKb(member);
      if (kb > peaks[member]) peaks[member] = kb;
      std::string now = ReadName(member);  // a child takes its name at exec
      if (!now.empty()) name = now;
    }
    pid_t done = wait4(pid, &status, WNOHANG, &usage);
    if (done == pid) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  figures.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  figures.cpu_seconds = CpuSeconds(usage);
  figures.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  // The kernel's own figure only when no sample caught the process: it
  // counts the memory this program held when the child was spawned (the
  // child starts in our memory until its exec), so it is this program's
  // size for any short command.
  if (peaks[pid] == 0) peaks[pid] = static_cast<long>(usage.ru_maxrss);
  for (const auto& [member, kb] : peaks) {
    std::string name = family[member];
    figures.peak_kb[name] = std::max(figures.peak_kb[name], kb);
    figures.total_kb += kb;
  }
  return figures;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

double MedianSeconds(const std::vector<RunFigures>& runs) {
  std::vector<double> values;
  for (const RunFigures& r : runs) values.push_back(r.seconds);
  return Median(values);
}

double MedianCpuSeconds(const std::vector<RunFigures>& runs) {
  std::vector<double> values;
  for (const RunFigures& r : runs) values.push_back(r.cpu_seconds);
  return Median(values);
}

size_t CountFiles(const std::string& folder) {
  std::vector<fs::FolderEntry> entries;
  return fs::ListFolder(folder, &entries) ? entries.size() : 0;
}

std::string MachineLoad() {
  std::string load = ReadProcFile("/proc/loadavg");
  std::istringstream fields(load);
  std::string one, five, fifteen;
  fields >> one >> five >> fifteen;
  return "load average " + one + " " + five + " " + fifteen + " on " +
         std::to_string(std::thread::hardware_concurrency()) + " cores";
}

// Median time of the timed runs, largest peaks of the sampled ones.
void Report(const char* what, const std::vector<RunFigures>& timed,
            const std::vector<RunFigures>& sampled) {
  std::vector<double> times;
  std::map<std::string, long> peaks;
  long total = 0;
  int failures = 0;
  for (const RunFigures& r : timed) {
    if (!r.ok) ++failures;
    times.push_back(r.seconds);
  }
  for (const RunFigures& r : sampled) {
    if (!r.ok) ++failures;
    for (const auto& [name, kb] : r.peak_kb) peaks[name] = std::max(peaks[name], kb);
    total = std::max(total, r.total_kb);
  }
  std::printf("%-34s median %7.3f s wall, %7.3f s CPU over %zu runs%s\n", what, Median(times),
              MedianCpuSeconds(timed), timed.size(), failures ? " (SOME RUNS FAILED)" : "");
  if (sampled.empty()) return;
  for (const auto& [name, kb] : peaks) {
    std::printf("    peak memory %-18s %7.1f MiB\n", name.c_str(),
                static_cast<double>(kb) / 1024.0);
  }
  std::printf("    peak memory, processes together %7.1f MiB\n",
              static_cast<double>(total) / 1024.0);
}

}  // namespace pic2jpg::bench
