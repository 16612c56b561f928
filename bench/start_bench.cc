// What a console start costs: a 32 x 32 PICT converted by
// `pic2jpg -q -i FILE -o FOLDER` against a bare `pict2tga` run on the same
// file (the converter pic2jpg runs inside), the two taking turns. Prints the
// median CPU time (user + system, the process and the children it waited
// for) and wall time of each and their ratios, with the machine's load.
//
//   start_bench [--runs=N] [--size=PIXELS]
//
// Target: pic2jpg's CPU time at most 1.5 times pict2tga's.
// Figures only: nothing passes or fails.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/pict_picture.h"
#include "bench/process_figures.h"
#include "platform/file_system.h"

namespace {

namespace bench = pic2jpg::bench;
namespace fs = pic2jpg::fs;

}  // namespace

int main(int argc, char** argv) {
  int runs = 41;
  int size = 32;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--runs=", 0) == 0) runs = std::max(1, std::atoi(arg.c_str() + 7));
    if (arg.rfind("--size=", 0) == 0) size = std::max(1, std::atoi(arg.c_str() + 7));
  }
  const std::string temp = fs::MakeTempFolder("start-bench");
  const std::string runtime = temp + "runtime";
  const std::string out = temp + "out/";
  fs::MakeFolder(runtime);
  fs::MakeFolder(out);
  const std::string input = temp + "small.pict";
  if (!fs::WriteFileAtomic(input, bench::MakePictFile(size, size))) {
    std::fprintf(stderr, "cannot write %s\n", input.c_str());
    return 1;
  }
  std::printf("picture: %d x %d, 32-bit PackBits; %s\n", size, size, bench::MachineLoad().c_str());
  struct Command {
    const char* what;
    std::string program;
    std::vector<std::string> args;
    std::string output;
    std::vector<bench::RunFigures> timed;
  };
  Command commands[] = {
      {"pic2jpg -q -i FILE -o FOLDER",
       PIC2JPG_EXE,
       {"-q", "-i", input, "-o", out},
       out + "small.jpg",
       {}},
      {"pict2tga FILE OUT.tga",
       fs::FolderOf(PIC2JPG_EXE) + "pict2tga",
       {"-quiet", "-colorspace", "sRGB", input, temp + "small.tga"},
       temp + "small.tga",
       {}},
  };
  for (int i = 0; i < runs; ++i) {
    for (Command& c : commands) {
      bench::RunFigures figures = bench::Measure(c.program, c.args, temp + "runtime", false);
      if (!fs::Exists(c.output)) figures.ok = false;
      fs::RemoveFile(c.output);
      c.timed.push_back(figures);
    }
  }
  for (const Command& c : commands) bench::Report(c.what, c.timed, {});
  std::printf(
      "CPU ratio pic2jpg / pict2tga: %.2f (target at most 1.5)\n",
      bench::MedianCpuSeconds(commands[0].timed) / bench::MedianCpuSeconds(commands[1].timed));
  std::printf("wall ratio pic2jpg / pict2tga: %.2f\n",
              bench::MedianSeconds(commands[0].timed) / bench::MedianSeconds(commands[1].timed));
  std::printf("after: %s\n", bench::MachineLoad().c_str());
  fs::RemoveTree(temp);
  return 0;
}
