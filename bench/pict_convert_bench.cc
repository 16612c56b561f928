// Speed and memory of a large conversion: generates a 4000 x 3000 32-bit
// PackBits PICT, converts it several times with `pic2jpg -i FILE -o FOLDER`
// (which runs pict2tga as its external converter) and with ImageMagick's
// `convert FILE out.jpg`, and prints the median wall time of each, their
// ratio, and the peak memory of every process involved.
//
//   pict_convert_bench [--runs=N] [--convert=PATH] [--width=W --height=H]
//
// Times come from runs that are only waited for; peak memory from separate
// runs of the same command, sampled (bench/process_figures.h); "together"
// adds the peaks of pic2jpg and its children.
// Figures only: nothing passes or fails.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/pict_picture.h"
#include "bench/process_figures.h"
#include "platform/file_system.h"
#include "platform/process.h"

namespace {

using pic2jpg::bench::Median;
using pic2jpg::bench::RunFigures;

std::string FindConvert() {
  if (pic2jpg::fs::Exists("/usr/bin/convert")) return "/usr/bin/convert";
  return pic2jpg::platform::FindOnPath("convert");
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
  if (!pic2jpg::fs::WriteFileAtomic(input, pic2jpg::bench::MakePictFile(width, height))) {
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
      RunFigures figures = pic2jpg::bench::Measure(c.program, c.args, runtime, sample);
      if (!pic2jpg::fs::Exists(c.output)) figures.ok = false;
      pic2jpg::fs::RemoveFile(c.output);
      (sample ? c.sampled : c.timed).push_back(figures);
    }
  }
  for (const Command& c : commands) pic2jpg::bench::Report(c.what, c.timed, c.sampled);
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
