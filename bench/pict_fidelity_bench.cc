// Fidelity of pict2tga against reference decodes: converts every PICT file of
// a folder with the built pict2tga, loads the Targa with the codec library
// and prints its size and PSNR against NAME.png in the reference folder.
//
//   pict_fidelity_bench PICT_FOLDER REFERENCE_FOLDER [OUTPUT_FOLDER]
//
// With an output folder, each result is also saved there as NAME.png for
// looking at. Figures only: nothing passes or fails here.
#include <FreeImage.h>
#include <dirent.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/process.h"
#include "tools/compare_images/psnr.h"

namespace {

std::vector<std::string> ListFiles(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s PICT_FOLDER REFERENCE_FOLDER [OUTPUT_FOLDER]\n", argv[0]);
    return 1;
  }
  std::string pict_folder = std::string(argv[1]) + "/";
  std::string ref_folder = std::string(argv[2]) + "/";
  std::string out_folder = argc > 3 ? std::string(argv[3]) + "/" : "";
  std::string converter = pic2jpg::fs::FolderOf(PIC2JPG_EXE) + "pict2tga";
  std::string temp = pic2jpg::fs::MakeTempFolder("pict-fidelity");
  std::printf("%-22s %6s %11s %11s %8s %8s\n", "file", "status", "size", "reference", "PSNR dB",
              "ms");
  for (const std::string& name : ListFiles(pict_folder)) {
    std::string tga = temp + name + ".tga";
    auto start = std::chrono::steady_clock::now();
    int status = pic2jpg::platform::RunProgram(
        converter, {"-quiet", "-colorspace", "sRGB", pict_folder + name, tga}, 120);
    double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    FIBITMAP* ours = status == 0 ? FreeImage_Load(FIF_TARGA, tga.c_str(), 0) : nullptr;
    std::string ref_path = ref_folder + name + ".png";
    FIBITMAP* ref =
        pic2jpg::fs::Exists(ref_path) ? FreeImage_Load(FIF_PNG, ref_path.c_str(), 0) : nullptr;
    char size[32] = "-", ref_size[32] = "-", psnr[32] = "-";
    if (ours != nullptr) {
      std::snprintf(size, sizeof size, "%ux%u", FreeImage_GetWidth(ours),
                    FreeImage_GetHeight(ours));
      if (!out_folder.empty()) {
        FIBITMAP* rgb = FreeImage_ConvertTo24Bits(ours);
        FreeImage_Save(FIF_PNG, rgb, (out_folder + name + ".png").c_str(), 0);
        FreeImage_Unload(rgb);
      }
    }
    if (ref != nullptr) {
      std::snprintf(ref_size, sizeof ref_size, "%ux%u", FreeImage_GetWidth(ref),
                    FreeImage_GetHeight(ref));
    }
    if (ours != nullptr && ref != nullptr && FreeImage_GetWidth(ours) == FreeImage_GetWidth(ref) &&
        FreeImage_GetHeight(ours) == FreeImage_GetHeight(ref)) {
      std::snprintf(psnr, sizeof psnr, "%.1f", pic2jpg::Psnr(ours, ref));
    }
    std::printf("%-22s %6d %11s %11s %8s %8.0f\n", name.c_str(), status, size, ref_size, psnr, ms);
    if (ours != nullptr) FreeImage_Unload(ours);
    if (ref != nullptr) FreeImage_Unload(ref);
    pic2jpg::fs::RemoveFile(tga);
  }
  pic2jpg::fs::RemoveTree(temp);
  return 0;
}
