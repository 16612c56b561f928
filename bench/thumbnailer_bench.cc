// Time and memory of a file manager's thumbnail: generates a 4000 x 3000
// 32-bit PackBits PICT and runs `pic2jpg-thumbnailer -s SIZE FILE out.png`
// several times, printing the median wall time and the peak memory.
//
//   thumbnailer_bench [--runs=N] [--size=SIZE] [--width=W --height=H]
//
// Figures only: nothing passes or fails.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/pict_picture.h"
#include "bench/process_figures.h"
#include "platform/file_system.h"

int main(int argc, char** argv) {
  namespace fs = pic2jpg::fs;
  int runs = 5;
  int width = 4000, height = 3000;
  std::string size = "256";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--runs=", 0) == 0) runs = std::max(1, std::atoi(arg.c_str() + 7));
    if (arg.rfind("--size=", 0) == 0) size = arg.substr(7);
    if (arg.rfind("--width=", 0) == 0) width = std::atoi(arg.c_str() + 8);
    if (arg.rfind("--height=", 0) == 0) height = std::atoi(arg.c_str() + 9);
  }
  const std::string temp = fs::MakeTempFolder("thumbnailer-bench");
  const std::string runtime = temp + "runtime";
  fs::MakeFolder(runtime);
  const std::string input = temp + "big.pict";
  const std::string output = temp + "big.png";
  if (!fs::WriteFileAtomic(input, pic2jpg::bench::MakePictFile(width, height))) {
    std::fprintf(stderr, "cannot write %s\n", input.c_str());
    return 1;
  }
  std::printf("picture: %d x %d, 32-bit PackBits, %.1f MiB; thumbnail size %s\n", width, height,
              static_cast<double>(fs::FileSize(input)) / 1048576.0, size.c_str());
  const std::string program = fs::FolderOf(PIC2JPG_EXE) + "pic2jpg-thumbnailer";
  std::vector<pic2jpg::bench::RunFigures> timed, sampled;
  constexpr int kSampledRuns = 2;
  for (int i = 0; i < runs + kSampledRuns; ++i) {
    const bool sample = i >= runs;
    pic2jpg::bench::RunFigures figures =
        pic2jpg::bench::Measure(program, {"-s", size, input, output}, runtime, sample);
    if (!fs::Exists(output)) figures.ok = false;
    fs::RemoveFile(output);
    (sample ? sampled : timed).push_back(figures);
  }
  pic2jpg::bench::Report("pic2jpg-thumbnailer -s SIZE FILE out.png", timed, sampled);
  fs::RemoveTree(temp);
  return 0;
}
