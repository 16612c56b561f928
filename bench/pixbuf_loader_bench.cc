// The gdk-pixbuf loader's two possible designs side by side, on the same
// pictures in one run: decoding in the viewer's process (the reader called
// directly) against handing the bytes to pict2tga in a child process and
// reading its Targa file back (what the loader does). Prints the median wall
// time of each and their ratio.
//
//   pixbuf_loader_bench [--runs=N] [PICT files...]
//
// Without files: a 640 x 480 and a 4000 x 3000 generated 32-bit picture.
// Figures only: nothing passes or fails.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/pict_picture.h"
#include "pict/pict_reader.h"
#include "platform/file_system.h"
#include "tools/pixbuf_loader/convert_in_child.h"
#include "tools/pixbuf_loader/targa.h"

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Milliseconds of one decode into red, green, blue rows in this process.
double InProcess(const std::string& bytes, bool* ok) {
  const auto start = Clock::now();
  pic2jpg::pict::Picture picture;
  *ok = pic2jpg::pict::DecodePict(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                  &picture)
            .ok();
  std::vector<uint8_t> rgb(picture.pixels.size() / 4 * 3);
  for (size_t i = 0, j = 0; i < picture.pixels.size(); i += 4, j += 3) {
    rgb[j] = picture.pixels[i + 2];
    rgb[j + 1] = picture.pixels[i + 1];
    rgb[j + 2] = picture.pixels[i];
  }
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The same through the loader's child process.
double InChild(const std::string& bytes, bool* ok) {
  const auto start = Clock::now();
  const pic2jpg::pixbuf_loader::Converted converted = pic2jpg::pixbuf_loader::ConvertInChild(bytes);
  pic2jpg::pixbuf_loader::TargaView view;
  *ok = converted.reason.empty() && pic2jpg::pixbuf_loader::ParseTarga(
                                        converted.targa, pic2jpg::pict::kMaxPicturePixels, &view);
  if (*ok) {
    std::vector<uint8_t> rgb(static_cast<size_t>(view.form.width) * view.form.height *
                             static_cast<size_t>(pic2jpg::pixbuf_loader::CopiedChannels(view)));
    pic2jpg::pixbuf_loader::CopyRowsTopFirst(
        view, rgb.data(),
        static_cast<size_t>(view.form.width) * pic2jpg::pixbuf_loader::CopiedChannels(view));
  }
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = pic2jpg::fs;
  int runs = 7;
  std::vector<std::pair<std::string, std::string>> pictures;  // name, bytes
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--runs=", 0) == 0) {
      runs = std::max(1, std::atoi(arg.c_str() + 7));
      continue;
    }
    std::string bytes;
    if (!fs::ReadFile(arg, &bytes)) {
      std::fprintf(stderr, "cannot read %s\n", arg.c_str());
      return 1;
    }
    pictures.emplace_back(fs::NameOf(arg), bytes);
  }
  if (pictures.empty()) {
    pictures.emplace_back("640 x 480", pic2jpg::bench::MakePictFile(640, 480));
    pictures.emplace_back("4000 x 3000", pic2jpg::bench::MakePictFile(4000, 3000));
  }
  // The pict2tga built beside pic2jpg, unless one is named.
  setenv("PIC2JPG_PICT2TGA", (fs::FolderOf(PIC2JPG_EXE) + "pict2tga").c_str(), 0);
  std::printf("%-24s %12s %12s %8s\n", "picture", "in-process", "child", "ratio");
  for (const auto& [name, bytes] : pictures) {
    std::vector<double> own, child;
    bool ok_own = true, ok_child = true;
    for (int i = 0; i < runs; ++i) {
      own.push_back(InProcess(bytes, &ok_own));
      child.push_back(InChild(bytes, &ok_child));
    }
    if (!ok_own || !ok_child) {
      std::printf("%-24s fails to decode (in-process %s, child %s)\n", name.c_str(),
                  ok_own ? "ok" : "fails", ok_child ? "ok" : "fails");
      continue;
    }
    const double a = Median(own), b = Median(child);
    std::printf("%-24s %9.1f ms %9.1f ms %7.2fx\n", name.c_str(), a, b, b / a);
  }
  return 0;
}
