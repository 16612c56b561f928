// Speed and memory of a large conversion: generates a 4000 x 3000 32-bit
// PackBits PICT and converts it at quality 95 without chroma subsampling
// (4:4:4) with `pic2jpg -i FILE -o FOLDER` (which runs pict2tga as its
// external converter), with libjpeg-turbo's `cjpeg -quality 95 -sample 1x1`
// encoding the same pixels from a PPM file, and with ImageMagick's
// `convert FILE -quality 95 -sampling-factor 1x1 out.jpg`, the commands
// taking turns (ImageMagick's after the others', see below). Prints the
// median wall and CPU time of each, the ratios, the machine's load and the
// peak memory of every process involved.
//
//   pict_convert_bench [--runs=N] [--convert=PATH] [--cjpeg=PATH] [--width=W --height=H]
//
// Times come from runs that are only waited for; peak memory from separate
// runs of the same command, sampled (bench/process_figures.h); "together"
// adds the peaks of pic2jpg and its children.
// Targets: wall time at most 1.0 x cjpeg's, at most 0.15 x convert's;
// pic2jpg with its converter under 150 MiB.
// Figures only: nothing passes or fails.
#include <FreeImage.h>

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

using pic2jpg::bench::RunFigures;

std::string FindConvert() {
  if (pic2jpg::fs::Exists("/usr/bin/convert")) return "/usr/bin/convert";
  return pic2jpg::platform::FindOnPath("convert");
}

// The pixels pic2jpg encodes, as a binary PPM for cjpeg: the picture our
// converter decodes, without its alpha channel.
bool WritePpm(const std::string& pict, const std::string& temp, const std::string& ppm) {
  const std::string tga = temp + "pixels.tga";
  std::vector<std::string> args = {"-quiet", "-colorspace", "sRGB", pict, tga};
  if (!pic2jpg::bench::Measure(pic2jpg::fs::FolderOf(PIC2JPG_EXE) + "pict2tga", args,
                               temp + "runtime", false)
           .ok) {
    return false;
  }
  FIBITMAP* image = FreeImage_Load(FIF_TARGA, tga.c_str(), 0);
  if (image == nullptr) return false;
  FIBITMAP* rgb = FreeImage_ConvertTo24Bits(image);
  FreeImage_Unload(image);
  const bool saved = rgb != nullptr && FreeImage_Save(FIF_PPMRAW, rgb, ppm.c_str(), 0);
  FreeImage_Unload(rgb);
  pic2jpg::fs::RemoveFile(tga);
  return saved;
}

void PrintRatio(const char* what, const std::vector<RunFigures>& ours,
                const std::vector<RunFigures>& theirs, const char* target) {
  std::printf("%s: wall %.3f, CPU %.3f (target: wall at most %s)\n", what,
              pic2jpg::bench::MedianSeconds(ours) / pic2jpg::bench::MedianSeconds(theirs),
              pic2jpg::bench::MedianCpuSeconds(ours) / pic2jpg::bench::MedianCpuSeconds(theirs),
              target);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  int width = 4000, height = 3000;
  std::string convert = FindConvert();
  std::string cjpeg = pic2jpg::platform::FindOnPath("cjpeg");
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--runs=", 0) == 0) runs = std::max(1, std::atoi(arg.c_str() + 7));
    if (arg.rfind("--convert=", 0) == 0) convert = arg.substr(10);
    if (arg.rfind("--cjpeg=", 0) == 0) cjpeg = arg.substr(8);
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
  std::printf("picture: %d x %d, 32-bit PackBits, %.1f MiB; %s\n", width, height,
              static_cast<double>(pic2jpg::fs::FileSize(input)) / 1048576.0,
              pic2jpg::bench::MachineLoad().c_str());
  const std::string ppm = temp + "big.ppm";
  if (!cjpeg.empty() && !WritePpm(input, temp, ppm)) {
    std::fprintf(stderr, "cannot write %s\n", ppm.c_str());
    cjpeg.clear();
  }

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
      {"pic2jpg -i FILE -o FOLDER",
       PIC2JPG_EXE,
       {"-q", "-i", input, "-o", out, "--jpg-quality=95", "--jpg-chroma=NONE"},
       out + "big.jpg",
       {},
       {}},
      {"  of which pict2tga alone",
       pic2jpg::fs::FolderOf(PIC2JPG_EXE) + "pict2tga",
       {"-quiet", "-colorspace", "sRGB", input, temp + "big.tga"},
       temp + "big.tga",
       {},
       {}},
  };
  const size_t cjpeg_at = commands.size();
  if (!cjpeg.empty()) {
    commands.push_back({"cjpeg -quality 95 -sample 1x1 PPM",
                        cjpeg,
                        {"-quality", "95", "-sample", "1x1", "-outfile", temp + "cjpeg.jpg", ppm},
                        temp + "cjpeg.jpg",
                        {},
                        {}});
  }
  const size_t convert_at = commands.size();
  const std::string magick_name = "ImageMagick " + convert;
  if (!convert.empty()) {
    commands.push_back({magick_name.c_str(),
                        convert,
                        {input, "-quality", "95", "-sampling-factor", "1x1", temp + "magick.jpg"},
                        temp + "magick.jpg",
                        {},
                        {}});
  }
  // ImageMagick's runs come after all the others' turns: at its end it frees
  // some 640 MiB, and on this virtual machine the next process to take fresh
  // memory pays for the system taking that back (the command after it in
  // turns took 1.2 times as long, whichever it was).
  constexpr int kSampledRuns = 2;
  const size_t turns = convert.empty() ? commands.size() : convert_at;
  const size_t ranges[2][2] = {{0, turns}, {turns, commands.size()}};
  for (const auto& [first, end] : ranges) {
    for (int i = 0; i < runs + kSampledRuns; ++i) {
      for (size_t k = first; k < end; ++k) {
        Command& c = commands[k];
        const bool sample = i >= runs;
        RunFigures figures = pic2jpg::bench::Measure(c.program, c.args, runtime, sample);
        if (!pic2jpg::fs::Exists(c.output)) figures.ok = false;
        pic2jpg::fs::RemoveFile(c.output);
        (sample ? c.sampled : c.timed).push_back(figures);
      }
    }
  }
  for (const Command& c : commands) pic2jpg::bench::Report(c.what, c.timed, c.sampled);
  if (!cjpeg.empty()) {
    PrintRatio("ratio pic2jpg / cjpeg", commands[0].timed, commands[cjpeg_at].timed, "1.0");
  } else {
    std::printf("libjpeg-turbo's cjpeg was not found\n");
  }
  if (!convert.empty()) {
    PrintRatio("ratio pic2jpg / ImageMagick", commands[0].timed, commands[convert_at].timed,
               "0.15");
  } else {
    std::printf("ImageMagick's convert was not found\n");
  }
  std::printf("after: %s\n", pic2jpg::bench::MachineLoad().c_str());
  pic2jpg::fs::RemoveTree(temp);
  return 0;
}
