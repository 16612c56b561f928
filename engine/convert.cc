// ConvertFile: one input file to one output file. The picture is loaded
// without running a decoder in this process (safe_load.h), runs through the
// chain of steps, each taking ownership of the image it gets, and is saved
// to a temporary file in the output folder that is renamed onto the output
// name only after a successful save. A failure leaves its reason in
// g_run_state.failure_reason.
#include "engine/convert.h"

#include <FreeImage.h>

#include <string>

#include "engine/depth.h"
#include "engine/format_tables.h"
#include "engine/frame.h"
#include "engine/geometry.h"
#include "engine/jpeg_strips.h"
#include "engine/naming.h"
#include "engine/output_claims.h"
#include "engine/run_state.h"
#include "engine/safe_load.h"
#include "engine/targa_load.h"
#include "engine/tone.h"
#include "engine/watermark.h"
#include "platform/cleanup.h"
#include "platform/file_system.h"

namespace pic2jpg {
namespace {

bool SamePath(const std::string& a, const std::string& b) {
  return fs::AbsolutePath(a) == fs::AbsolutePath(b);
}

// The codec library writes into memory; the bytes reach the disk through a
// checked writer, so a full disk or a refused write is seen (the library's
// own file writing would report success for a file cut short).
bool SaveThroughMemory(FIBITMAP* image, const std::string& output_path, std::string* reason) {
  const RunState& run = g_run_state;
  FIMEMORY* memory = FreeImage_OpenMemory(nullptr, 0);
  if (memory == nullptr) {
    *reason = "out of memory";
    return false;
  }
  BYTE* data = nullptr;
  DWORD size = 0;
  bool ok = FreeImage_SaveToMemory(static_cast<FREE_IMAGE_FORMAT>(run.codec_id), image, memory,
                                   run.save_flags) != FALSE &&
            FreeImage_AcquireMemory(memory, &data, &size) != FALSE && size > 0;
  if (!ok) {
    FreeImage_CloseMemory(memory);
    *reason = "the picture cannot be encoded";
    return false;
  }
  fs::FileWriter writer;
  ok = fs::StartFile(output_path, &writer) && fs::WritePart(&writer, data, size) &&
       fs::FinishFile(&writer);
  if (!ok) {
    *reason = fs::ErrorText(writer.error);
    fs::AbandonFile(&writer);
  }
  FreeImage_CloseMemory(memory);
  return ok;
}

// Saves through a temporary file beside the target; the target is replaced
// only by a complete file.
bool SaveImage(FIBITMAP* image, const std::string& output_path, std::string* reason) {
  if (image == nullptr) {
    *reason = "the picture could not be processed";
    return false;
  }
  const std::string folder = fs::FolderOf(output_path);
  if (!folder.empty() && !fs::IsFolder(folder) && !fs::MakeFolders(folder)) {
    *reason = "cannot create the folder " + folder;
    return false;
  }
  const RunState& run = g_run_state;
  // Large baseline JPEG files are encoded in strips on two cores (written
  // through a temporary file of their own); the file decodes to the same
  // pixels as one written in a single pass.
  if (run.codec_id == FIF_JPEG && CanSaveJpegInStrips(image, run.save_flags) &&
      SaveJpegInStrips(image, run.save_flags, output_path)) {
    return true;
  }
  return SaveThroughMemory(image, output_path, reason);
}

// The chain of steps from a loaded image to the saved output file.
bool ConvertLoadedImage(FIBITMAP* image, std::string* reason) {
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

  bool ok = false;
  if (!OutputPathStaysInFolder(run.output_path, run.output_folder)) {
    // A mask with ".." or an absolute path would write anywhere.
    *reason = "the filename mask leads out of the output folder";
  } else if (SamePath(run.output_path, run.input_path)) {
    // Never write over the picture being converted.
    *reason = "the output file is the input file";
  } else if (OutputPathFree(run.output_path, reason)) {
    // Nor over what an earlier file of this run wrote.
    ok = SaveImage(image, run.output_path, reason);
    if (ok) ClaimOutputPath(run.output_path, run.input_path);
  }
  if (image != nullptr) FreeImage_Unload(image);
  return ok;
}

}  // namespace

bool ConvertFile() {
  RunState& run = g_run_state;
  run.failure_reason.clear();
  const std::string temp_folder = fs::MakeTempFolder("pic2jpg");
  if (temp_folder.empty()) {
    run.failure_reason = "cannot create a temporary folder in " + fs::TempFolderBase();
    return false;
  }
  const int cleanup_slot = platform::RegisterPath(temp_folder, /*is_folder=*/true);
  // The loaded image may be a view of the mapped Targa file, which lives on
  // after its folder is removed and is let go of only after the last image.
  TargaPixels pixels;
  FIBITMAP* image = LoadInputPicture(run.input_path, temp_folder, &pixels, &run.failure_reason);
  fs::RemoveTree(temp_folder);
  platform::UnregisterPath(cleanup_slot);
  bool ok = image != nullptr && ConvertLoadedImage(image, &run.failure_reason);
  if (!ok && run.failure_reason.empty()) run.failure_reason = "the picture could not be processed";
  ReleaseTargaPixels(&pixels);
  return ok;
}

}  // namespace pic2jpg
