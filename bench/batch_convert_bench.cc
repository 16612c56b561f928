// Many files in one run: 100 small (300 x 200) and 20 large (4000 x 3000)
// synthetic PICT files, and the real pictures of tests/data (every *.pict and
// *.pct below its pict, pict-corpus and pict-quicktime folders, which hold
// the files of other programs and cameras, the peer corpus's edge cases and
// QuickTime-compressed pictures), copied --real=N times; each set converted by one `pic2jpg -i
// FOLDER -o OUT` and by ImageMagick's `mogrify -path OUT -format jpg FILES...`, several times in
// turn; prints the median wall time of each, their ratio and the peak memory of each process tree
// (bench/process_figures.h).
//
//   batch_convert_bench [--runs=N] [--small=N] [--large=N] [--real=N] [--mogrify=PATH]
//                       (0 leaves a set out)
//                       [--pic2jpg=PATH]   (a copy of the build, with pict2tga beside it)
//
// Targets: the small set at most as long as mogrify's, the large and the
// real sets at most a quarter of it, under 300 MiB for pic2jpg with its converters.
// Figures only: nothing passes or fails.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/pict_picture.h"
#include "bench/process_figures.h"
#include "platform/directory.h"
#include "platform/file_system.h"
#include "platform/process.h"

namespace {

namespace bench = pic2jpg::bench;
namespace fs = pic2jpg::fs;

struct PictureSet {
  const char* name;
  int count;
  int width;
  int height;
  std::string folder;
  std::vector<std::string> files;
  bool real = false;  // copies of the real pictures; count is the number of copies
};

bool IsPictName(std::string name) {
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name.ends_with(".pict") || name.ends_with(".pct");
}

// `copies` copies of every real picture in the test data.
bool WriteRealSet(PictureSet* set) {
  for (const char* folder : {"pict/", "pict-corpus/", "pict-quicktime/"}) {
    const std::string from = std::string(PIC2JPG_SOURCE_DIR) + "/tests/data/" + folder;
    std::vector<fs::FolderEntry> entries;
    if (!fs::ListFolder(from, &entries)) return false;
    for (const fs::FolderEntry& entry : entries) {
      if (!IsPictName(entry.name)) continue;
      std::string picture;
      if (!fs::ReadFile(from + entry.name, &picture)) return false;
      for (int i = 0; i < set->count; ++i) {
        set->files.push_back(set->folder + std::to_string(i) + "-" + entry.name);
        if (!fs::WriteFileAtomic(set->files.back(), picture)) return false;
      }
    }
  }
  return !set->files.empty();
}

bool WriteSet(const std::string& temp, PictureSet* set) {
  set->folder = temp + set->name + "/";
  if (!fs::MakeFolder(set->folder)) return false;
  if (set->real) return WriteRealSet(set);
  const std::string picture = bench::MakePictFile(set->width, set->height);
  for (int i = 0; i < set->count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "p%04d.pict", i);
    set->files.push_back(set->folder + name);
    if (!fs::WriteFileAtomic(set->files.back(), picture)) return false;
  }
  return true;
}

// A fresh, empty output folder.
void Empty(const std::string& folder) {
  fs::RemoveTree(folder);
  fs::MakeFolder(folder);
}

size_t CountFiles(const std::string& folder) {
  std::vector<fs::FolderEntry> entries;
  return fs::ListFolder(folder, &entries) ? entries.size() : 0;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  std::vector<PictureSet> sets = {{"small", 100, 300, 200, "", {}, false},
                                  {"large", 20, 4000, 3000, "", {}, false},
                                  {"real", 4, 0, 0, "", {}, true}};
  std::string mogrify = pic2jpg::platform::FindOnPath("mogrify");
  std::string program = PIC2JPG_EXE;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--runs=", 0) == 0) runs = std::max(1, std::atoi(arg.c_str() + 7));
    if (arg.rfind("--small=", 0) == 0) sets[0].count = std::max(0, std::atoi(arg.c_str() + 8));
    if (arg.rfind("--large=", 0) == 0) sets[1].count = std::max(0, std::atoi(arg.c_str() + 8));
    if (arg.rfind("--real=", 0) == 0) sets[2].count = std::max(0, std::atoi(arg.c_str() + 7));
    if (arg.rfind("--mogrify=", 0) == 0) mogrify = arg.substr(10);
    if (arg.rfind("--pic2jpg=", 0) == 0) program = arg.substr(10);
  }
  const std::string temp = fs::MakeTempFolder("batch-bench");
  const std::string runtime = temp + "runtime";
  const std::string out = temp + "out/";
  fs::MakeFolder(runtime);
  for (PictureSet& set : sets) {
    if (!WriteSet(temp, &set)) {
      std::fprintf(stderr, "cannot write the %s pictures below %s\n", set.name, temp.c_str());
      fs::RemoveTree(temp);
      return 1;
    }
  }
  if (mogrify.empty()) std::printf("ImageMagick's mogrify was not found\n");

  constexpr int kSampledRuns = 2;
  for (PictureSet& set : sets) {
    if (set.count == 0) continue;  // --small=0 or --large=0 leaves a set out
    if (set.real) {
      int64_t bytes = 0;
      for (const std::string& file : set.files) bytes += fs::FileSize(file);
      std::printf("%zu real pictures (%d copies of each), %.1f MiB in all; %s\n", set.files.size(),
                  set.count, static_cast<double>(bytes) / 1048576.0, bench::MachineLoad().c_str());
    } else {
      std::printf("%d %s pictures, %d x %d, 32-bit PackBits, %.1f MiB each; %s\n", set.count,
                  set.name, set.width, set.height,
                  static_cast<double>(fs::FileSize(set.files[0])) / 1048576.0,
                  bench::MachineLoad().c_str());
    }
    struct Command {
      std::string what;
      std::string program;
      std::vector<std::string> args;
      std::vector<bench::RunFigures> timed, sampled;
      std::vector<size_t> written = {};
    };
    std::vector<Command> commands = {
        {"pic2jpg -i FOLDER -o OUT", program, {"-q", "-i", set.folder, "-o", out}, {}, {}}};
    if (!mogrify.empty()) {
      std::vector<std::string> args = {"-path", out, "-format", "jpg"};
      args.insert(args.end(), set.files.begin(), set.files.end());
      commands.push_back({"mogrify -path OUT -format jpg FILES", mogrify, args, {}, {}});
    }
    // The commands take turns, so that a busy moment of the machine falls
    // on all of them alike.
    for (int i = 0; i < runs + kSampledRuns; ++i) {
      for (Command& c : commands) {
        const bool sample = i >= runs;
        Empty(out);
        bench::RunFigures figures = bench::Measure(c.program, c.args, runtime, sample);
        // Some real pictures are damaged on purpose: there the runs' statuses
        // and counts of files written are reported, not required.
        if (set.real) {
          figures.ok = true;
          c.written.push_back(CountFiles(out));
        } else if (CountFiles(out) != set.files.size()) {
          figures.ok = false;
        }
        (sample ? c.sampled : c.timed).push_back(figures);
      }
    }
    for (const Command& c : commands) {
      bench::Report(c.what.c_str(), c.timed, c.sampled);
      if (!c.written.empty()) {
        std::printf("    files written: %zu of %zu\n",
                    *std::min_element(c.written.begin(), c.written.end()), set.files.size());
      }
    }
    if (commands.size() == 2) {
      std::printf(
          "ratio pic2jpg / mogrify: wall %.3f, CPU %.3f (target: wall at most %s)\n",
          bench::MedianSeconds(commands[0].timed) / bench::MedianSeconds(commands[1].timed),
          bench::MedianCpuSeconds(commands[0].timed) / bench::MedianCpuSeconds(commands[1].timed),
          set.width > 1000 || set.real ? "0.25" : "1");
      std::printf("after: %s\n\n", bench::MachineLoad().c_str());
    }
  }
  fs::RemoveTree(temp);
  return 0;
}
