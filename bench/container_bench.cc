// PICT resources of one large resource fork against the same pictures as
// separate files: N synthetic pictures (default 300, 100 x 80) written
// once as N `.pict` files and once as the 'PICT' resources of one fork, each
// set converted by one `pic2jpg -q -i ... -o OUT`, several times in turn;
// prints the median wall time of each, resources per second and the ratio.
//
//   container_bench [--runs=N] [--count=N] [--pic2jpg=PATH]
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

namespace {

namespace bench = pic2jpg::bench;
namespace fs = pic2jpg::fs;

void Put(std::string* out, uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A resource fork holding `count` copies of `picture` as 'PICT' 128 ...
std::string MakeFork(const std::string& picture, int count) {
  std::string data;
  std::string references;
  for (int i = 0; i < count; ++i) {
    Put(&references, static_cast<uint32_t>(128 + i), 2);
    Put(&references, 0xFFFF, 2);  // no name
    Put(&references, 0, 1);
    Put(&references, static_cast<uint32_t>(data.size()), 3);
    Put(&references, 0, 4);
    Put(&data, static_cast<uint32_t>(picture.size()), 4);
    data += picture;
  }
  const uint32_t map_offset = 256 + static_cast<uint32_t>(data.size());
  const uint32_t map_length = 28 + 2 + 8 + static_cast<uint32_t>(references.size());
  std::string header;
  Put(&header, 256, 4);
  Put(&header, map_offset, 4);
  Put(&header, static_cast<uint32_t>(data.size()), 4);
  Put(&header, map_length, 4);
  std::string map = header + std::string(8, '\0');
  Put(&map, 28, 2);          // the type list
  Put(&map, map_length, 2);  // the (empty) name list
  Put(&map, 0, 2);           // one type
  map += "PICT";
  Put(&map, static_cast<uint32_t>(count - 1), 2);
  Put(&map, 2 + 8, 2);
  map += references;
  return header + std::string(240, '\0') + data + map;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 3;
  int count = 300;
  std::string program = PIC2JPG_EXE;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--runs=", 0) == 0) runs = std::max(1, std::atoi(arg.c_str() + 7));
    if (arg.rfind("--count=", 0) == 0) count = std::clamp(std::atoi(arg.c_str() + 8), 1, 30000);
    if (arg.rfind("--pic2jpg=", 0) == 0) program = arg.substr(10);
  }
  const std::string temp = fs::MakeTempFolder("container-bench");
  const std::string runtime = temp + "runtime";
  const std::string files = temp + "files/";
  const std::string out = temp + "out/";
  fs::MakeFolder(runtime);
  fs::MakeFolder(files);
  const std::string picture = bench::MakePictFile(100, 80);
  bool written = true;
  for (int i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "p%05d.pict", i);
    written = written && fs::WriteFileAtomic(files + name, picture);
  }
  // A fork addresses its data with 24-bit offsets: at most 16 MiB.
  if (static_cast<double>(picture.size() + 4) * count >= 16.0 * 1048576) {
    std::fprintf(stderr, "%d pictures do not fit in one resource fork\n", count);
    fs::RemoveTree(temp);
    return 1;
  }
  // Resources carry no 512-byte preamble.
  const std::string fork = temp + "Pictures.rsrc";
  written = written && fs::WriteFileAtomic(fork, MakeFork(picture.substr(512), count));
  if (!written) {
    std::fprintf(stderr, "cannot write the pictures below %s\n", temp.c_str());
    fs::RemoveTree(temp);
    return 1;
  }
  std::printf("%d pictures, 100 x 80, 32-bit PackBits; fork of %.1f MiB\n", count,
              static_cast<double>(fs::FileSize(fork)) / 1048576.0);
  struct Command {
    std::string what;
    std::vector<std::string> args;
    std::vector<bench::RunFigures> timed;
  };
  std::vector<Command> commands = {
      {"pic2jpg -i FORK.rsrc (resources)", {"-q", "-i", fork, "-o", out}, {}},
      {"pic2jpg -i FOLDER (separate files)", {"-q", "-i", files, "-o", out}, {}},
  };
  // The commands take turns, so that a busy moment of the machine falls on
  // both alike.
  for (int i = 0; i < runs; ++i) {
    for (Command& c : commands) {
      fs::RemoveTree(out);
      fs::MakeFolder(out);
      bench::RunFigures figures = bench::Measure(program, c.args, runtime, false);
      if (bench::CountFiles(out) != static_cast<size_t>(count)) figures.ok = false;
      c.timed.push_back(figures);
    }
  }
  std::vector<double> medians;
  for (const Command& c : commands) {
    std::vector<double> seconds;
    bool ok = true;
    for (const bench::RunFigures& r : c.timed) {
      seconds.push_back(r.seconds);
      ok = ok && r.ok;
    }
    medians.push_back(bench::Median(seconds));
    std::printf("%-36s %8.3f s  %8.1f pictures/s%s\n", c.what.c_str(), medians.back(),
                count / medians.back(), ok ? "" : "  (some runs failed)");
  }
  std::printf("time ratio resources / separate files: %.3f\n", medians[0] / medians[1]);
  fs::RemoveTree(temp);
  return 0;
}
