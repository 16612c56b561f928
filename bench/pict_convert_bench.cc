// Speed and memory of a large conversion: generates a 4000 x 3000 32-bit
// PackBits PICT, converts it several times with `pic2jpg -i FILE -o FOLDER`
// (which runs pict2tga as its external converter) and with ImageMagick's
// `convert FILE out.jpg`, and prints the median wall time of each, their
// ratio, and the peak memory of every process involved.
//
//   pict_convert_bench [--runs=N] [--convert=PATH] [--width=W --height=H]
//
// Times come from runs that are only waited for; peak memory from separate
// runs of the same command, sampled: scanning /proc every millisecond takes
// a good part of a core, which would slow down the program it measures
// (pic2jpg encodes on both cores). Peak memory is each process's high-water
// mark (VmHWM), sampled from /proc every millisecond while it runs and taken
// from wait4() for the process started; "together" adds the peaks of
// pic2jpg and its children, an upper bound of what they hold at once.
// Figures only: nothing passes or fails.
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
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/pict/pixel_map.h"
#include "platform/file_system.h"
#include "platform/process.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

void Put16(std::string* out, int v) {
  out->push_back(static_cast<char>((v >> 8) & 0xFF));
  out->push_back(static_cast<char>(v & 0xFF));
}

void Put32(std::string* out, uint32_t v) {
  Put16(out, static_cast<int>(v >> 16));
  Put16(out, static_cast<int>(v & 0xFFFF));
}

void PutRect(std::string* out, int top, int left, int bottom, int right) {
  Put16(out, top);
  Put16(out, left);
  Put16(out, bottom);
  Put16(out, right);
}

// A photograph-like picture: smooth gradients with fine texture, so that
// PackBits finds some runs but mostly literals, as in scanned images.
std::string MakePicture(int width, int height) {
  std::string out(512, '\0');
  Put16(&out, 0);
  PutRect(&out, 0, 0, height, width);
  Put16(&out, 0x0011);
  Put16(&out, 0x02FF);
  Put16(&out, 0x0C00);
  Put16(&out, 0xFFFE);
  Put16(&out, 0);
  Put32(&out, 72u << 16);
  Put32(&out, 72u << 16);
  PutRect(&out, 0, 0, height, width);
  Put32(&out, 0);
  Put16(&out, 0x0001);  // clip
  Put16(&out, 10);
  PutRect(&out, 0, 0, height, width);
  Put16(&out, 0x009A);  // DirectBitsRect
  Put32(&out, 0xFF);
  int row_bytes = width * 4;
  Put16(&out, 0x8000 | (row_bytes & 0x3FFF));
  PutRect(&out, 0, 0, height, width);
  Put16(&out, 0);  // pmVersion
  Put16(&out, 4);  // packType: component planes
  Put32(&out, 0);
  Put32(&out, 72u << 16);
  Put32(&out, 72u << 16);
  Put16(&out, 16);  // direct
  Put16(&out, 32);
  Put16(&out, 3);
  Put16(&out, 8);
  Put32(&out, 0);
  Put32(&out, 0);
  Put32(&out, 0);
  PutRect(&out, 0, 0, height, width);
  PutRect(&out, 0, 0, height, width);
  Put16(&out, 0);  // srcCopy
  std::vector<uint8_t> planes(static_cast<size_t>(width) * 3);
  std::vector<uint8_t> packed(pic2jpg::pict::PackBitsBound(planes.size()));
  uint32_t noise = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      noise = noise * 1103515245u + 12345u;
      int grain = static_cast<int>((noise >> 16) & 7);
      planes[static_cast<size_t>(x)] = static_cast<uint8_t>(x * 255 / width);
      planes[static_cast<size_t>(width + x)] = static_cast<uint8_t>(y * 255 / height + grain);
      planes[static_cast<size_t>(2 * width + x)] =
          static_cast<uint8_t>(((x / 7) ^ (y / 5)) + grain);
    }
    size_t n = pic2jpg::pict::PackBits(planes.data(), planes.size(), packed.data());
    if (row_bytes > 250) {
      Put16(&out, static_cast<int>(n));
    } else {
      out.push_back(static_cast<char>(n));
    }
    out.append(reinterpret_cast<const char*>(packed.data()), n);
  }
  if (out.size() % 2) out.push_back('\0');
  Put16(&out, 0x00FF);
  return out;
}

std::string ReadName(int pid) {
  std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
  std::string name;
  std::getline(comm, name);
  return name;
}

long ReadHighWaterKb(int pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

// Processes whose parent is in `family`.
void AddChildren(std::map<int, std::string>* family) {
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return;
  while (dirent* entry = readdir(proc)) {
    int pid = std::atoi(entry->d_name);
    if (pid <= 0 || family->count(pid)) continue;
    std::ifstream stat("/proc/" + std::string(entry->d_name) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
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

struct RunFigures {
  bool ok = false;
  double seconds = 0;
  std::map<std::string, long> peak_kb;  // by program name, the largest of its runs
  long total_kb = 0;                    // sum over the processes
};

// One run of the command: timed only, or with its memory sampled.
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

  std::map<int, std::string> family = {{pid, pic2jpg::fs::NameOf(program)}};
  std::map<int, long> peaks;
  int status = 0;
  rusage usage{};
  if (!sample_memory) {
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    figures.seconds = std::chrono::duration<double>(Clock::now() - start).count();
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
  figures.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  // The started process's own figure from the kernel, for when it ended
  // between two samples.
  peaks[pid] = std::max(peaks[pid], static_cast<long>(usage.ru_maxrss));
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

std::string FindConvert() {
  if (pic2jpg::fs::Exists("/usr/bin/convert")) return "/usr/bin/convert";
  return pic2jpg::platform::FindOnPath("convert");
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
  std::printf("%-34s median %7.3f s over %zu runs%s\n", what, Median(times), timed.size(),
              failures ? " (SOME RUNS FAILED)" : "");
  for (const auto& [name, kb] : peaks) {
    std::printf("    peak memory %-18s %7.1f MiB\n", name.c_str(),
                static_cast<double>(kb) / 1024.0);
  }
  std::printf("    peak memory, processes together %7.1f MiB\n",
              static_cast<double>(total) / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  int width = 4000, height = 3000;
  std::string convert = FindConvert();
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--runs=", 0) == 0) runs = std::max(1, std::atoi(arg.c_str() + 7));
    if (arg.rfind("--convert=", 0) == 0) convert = arg.substr(10);
    if (arg.rfind("--width=", 0) == 0) width = std::atoi(arg.c_str() + 8);
    if (arg.rfind("--height=", 0) == 0) height = std::atoi(arg.c_str() + 9);
  }
  std::string temp = pic2jpg::fs::MakeTempFolder("pict-bench");
  std::string runtime = temp + "runtime";
  std::string out = temp + "out/";
  pic2jpg::fs::MakeFolder(runtime);
  pic2jpg::fs::MakeFolder(out);
  std::string input = temp + "big.pict";
  if (!pic2jpg::fs::WriteFileAtomic(input, MakePicture(width, height))) {
    std::fprintf(stderr, "cannot write %s\n", input.c_str());
    return 1;
  }
  std::printf("picture: %d x %d, 32-bit PackBits, %.1f MiB\n", width, height,
              static_cast<double>(pic2jpg::fs::FileSize(input)) / 1048576.0);

  // The three commands take turns, so that a busy moment of the machine
  // falls on all of them alike.
  struct Command {
    const char* what;
    std::string program;
    std::vector<std::string> args;
    std::string output;
    std::vector<RunFigures> timed, sampled;
  };
  std::vector<Command> commands = {
      {"pic2jpg -i FILE -o FOLDER", PIC2JPG_EXE, {"-i", input, "-o", out}, out + "big.jpg", {}, {}},
      {"  of which pict2tga alone",
       pic2jpg::fs::FolderOf(PIC2JPG_EXE) + "pict2tga",
       {"-quiet", "-colorspace", "sRGB", input, temp + "big.tga"},
       temp + "big.tga",
       {},
       {}},
  };
  const std::string magick_name = "ImageMagick " + convert + " FILE out.jpg";
  if (!convert.empty()) {
    commands.push_back(
        {magick_name.c_str(), convert, {input, temp + "magick.jpg"}, temp + "magick.jpg", {}, {}});
  }
  constexpr int kSampledRuns = 2;
  for (int i = 0; i < runs + kSampledRuns; ++i) {
    for (Command& c : commands) {
      const bool sample = i >= runs;
      RunFigures figures = Measure(c.program, c.args, runtime, sample);
      if (!pic2jpg::fs::Exists(c.output)) figures.ok = false;
      pic2jpg::fs::RemoveFile(c.output);
      (sample ? c.sampled : c.timed).push_back(figures);
    }
  }
  for (const Command& c : commands) Report(c.what, c.timed, c.sampled);
  if (commands.size() == 3) {
    std::vector<double> a, b;
    for (const RunFigures& r : commands[0].timed) a.push_back(r.seconds);
    for (const RunFigures& r : commands[2].timed) b.push_back(r.seconds);
    std::printf("time ratio pic2jpg / ImageMagick: %.3f (target at most 0.25)\n",
                Median(a) / Median(b));
  } else {
    std::printf("ImageMagick's convert was not found\n");
  }
  pic2jpg::fs::RemoveTree(temp);
  return 0;
}
