// ConvertFile: one input file to one output file. The external converter
// writes a Targa into a private temporary folder; when it gives nothing, the
// codec library's own PICT reader is tried in a child process (it crashes on
// some real files). The loaded picture runs through the chain of steps, each
// taking ownership of the image it gets, and is saved to a temporary file in
// the output folder that is renamed onto the output name only after a
// successful save.
#include "engine/convert.h"

#include <FreeImage.h>

#include <string>

#include "engine/depth.h"
#include "engine/external_converter.h"
#include "engine/format_tables.h"
#include "engine/frame.h"
#include "engine/geometry.h"
#include "engine/jpeg_strips.h"
#include "engine/naming.h"
#include "engine/output_claims.h"
#include "engine/run_state.h"
#include "engine/targa_load.h"
#include "engine/tone.h"
#include "engine/watermark.h"
#include "platform/file_system.h"
#include "platform/process.h"

namespace pic2jpg {
namespace {

// The library's reader spins forever on some damaged files: a file that does
// not begin like a PICT file is not handed to it, and a load that takes
// longer than this is stopped.
constexpr int kDirectLoadTimeoutSeconds = 30;

// True when the file has the 512-byte preamble followed by a picture header
// the library's reader understands: size, frame, then the version opcode of
// a version 1 (0x11 0x01) or version 2 (0x00 0x11 0x02 0xFF) picture.
bool LooksLikePict(const std::string& path) {
  std::string head;
  if (!fs::ReadFilePrefix(path, 512 + 16, &head) || head.size() < 512 + 14) return false;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(head.data()) + 512 + 10;
  const bool version1 = p[0] == 0x11 && p[1] == 0x01;
  const bool version2 = p[0] == 0x00 && p[1] == 0x11 && p[2] == 0x02 && p[3] == 0xFF;
  return version1 || version2;
}

struct DirectLoad {
  const std::string* input_path;
  const std::string* targa_path;
};

// Runs in a child process: the library's PICT reader, its result written as
// a Targa for the parent to load.
int DirectLoadInChild(void* context) {
  const DirectLoad* job = static_cast<const DirectLoad*>(context);
  FIBITMAP* image = FreeImage_Load(FIF_PICT, job->input_path->c_str(), 0);
  if (image == nullptr) return 1;
  bool ok = FreeImage_GetWidth(image) > 0 && FreeImage_GetHeight(image) > 0 &&
            FreeImage_Save(FIF_TARGA, image, job->targa_path->c_str(), 0);
  FreeImage_Unload(image);
  return ok ? 0 : 1;
}

bool HasContent(const std::string& path) { return fs::FileSize(path) > 0; }

// Loads the input, through the external converter when it gives a Targa.
// The image may be a view of `pixels`.
FIBITMAP* LoadInput(const std::string& input_path, const std::string& temp_folder,
                    TargaPixels* pixels) {
  // The folder is new and private: nothing of that name is there before.
  const std::string targa_path = temp_folder + RemoveExtension(fs::NameOf(input_path)) + ".tga";
  RunExternalConverter(FindExternalConverter(), input_path, targa_path);
  bool converted = HasContent(targa_path);
  if (!converted && LooksLikePict(input_path)) {
    DirectLoad job{&input_path, &targa_path};
    converted = platform::RunIsolated(DirectLoadInChild, &job, kDirectLoadTimeoutSeconds) == 0 &&
                HasContent(targa_path);
  }
  return converted ? LoadTarga(targa_path, pixels) : nullptr;
}

bool SamePath(const std::string& a, const std::string& b) {
  return fs::AbsolutePath(a) == fs::AbsolutePath(b);
}

// Saves through a temporary file beside the target; the target is replaced
// only by a complete file.
bool SaveImage(FIBITMAP* image, const std::string& output_path) {
  if (image == nullptr) return false;
  const std::string folder = fs::FolderOf(output_path);
  if (!folder.empty() && !fs::IsFolder(folder) && !fs::MakeFolders(folder)) return false;
  const RunState& run = g_run_state;
  // Large baseline JPEG files are encoded in strips on two cores (written
  // through a temporary file of their own); the file decodes to the same
  // pixels as one written in a single pass.
  if (run.codec_id == FIF_JPEG && CanSaveJpegInStrips(image, run.save_flags) &&
      SaveJpegInStrips(image, run.save_flags, output_path)) {
    return true;
  }
  const std::string temp = fs::MakeTempFileIn(folder, fs::NameOf(output_path));
  if (temp.empty()) return false;
  bool ok = FreeImage_Save(static_cast<FREE_IMAGE_FORMAT>(run.codec_id), image, temp.c_str(),
                           run.save_flags) != FALSE;
  ok = ok && fs::FileSize(temp) > 0 && fs::RenameFile(temp, output_path);
  if (!ok) fs::RemoveFile(temp);
  return ok;
}

// The chain of steps from a loaded image to the saved output file.
bool ConvertLoadedImage(FIBITMAP* image) {
  RunState& run = g_run_state;
  int width = image ? static_cast<int>(FreeImage_GetWidth(image)) : 0;
  int height = image ? static_cast<int>(FreeImage_GetHeight(image)) : 0;
  run.source_depth = image ? static_cast<int>(FreeImage_GetBPP(image)) : 0;
  if (width == 0 || height == 0) {
    if (image != nullptr) FreeImage_Unload(image);
    return false;
  }

  // Each step looks at its own settings and passes the image on unchanged
  // when it is switched off.
  image = RotateImage(image);
  if (image != nullptr) {
    width = static_cast<int>(FreeImage_GetWidth(image));
    height = static_cast<int>(FreeImage_GetHeight(image));
  }
  image = ResizeImage(image, width, height);
  if (image != nullptr) {
    width = static_cast<int>(FreeImage_GetWidth(image));
    height = static_cast<int>(FreeImage_GetHeight(image));
  }
  image = FlipImage(image);
  image = CorrectColors(image);
  image = MakeGreyscale(image);
  image = ApplyThreshold(image);
  image = DrawFrame(image, width, height);
  image = DrawWatermark(image, width, height);
  image = ConvertToOutputDepth(image);

  run.last_width = width;
  run.last_height = height;
  run.output_path = BuildOutputPath();

  // Never write over the picture being converted, nor over what an earlier
  // file of this run wrote.
  bool ok = !SamePath(run.output_path, run.input_path) && OutputPathFree(run.output_path) &&
            SaveImage(image, run.output_path);
  if (ok) ClaimOutputPath(run.output_path, run.input_path);
  if (image != nullptr) FreeImage_Unload(image);
  return ok;
}

}  // namespace

bool ConvertFile() {
  RunState& run = g_run_state;
  const std::string temp_folder = fs::MakeTempFolder("pic2jpg");
  if (temp_folder.empty()) return false;
  // The loaded image may be a view of the mapped Targa file, which lives on
  // after its folder is removed and is let go of only after the last image.
  TargaPixels pixels;
  FIBITMAP* image = LoadInput(run.input_path, temp_folder, &pixels);
  fs::RemoveTree(temp_folder);
  bool ok = ConvertLoadedImage(image);
  ReleaseTargaPixels(&pixels);
  return ok;
}

}  // namespace pic2jpg
