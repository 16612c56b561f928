// ConvertFile: one input file to one output file. The picture is loaded
// without running a decoder in this process (safe_load.h), runs through the
// chain of steps, each taking ownership of the image it gets and its own
// settings group, and is saved to a temporary file in the output folder that
// is renamed onto the output name only after a successful save.
#include "engine/convert.h"

#include <FreeImage.h>

#include <string>

#include "engine/batch_converter.h"
#include "engine/depth.h"
#include "engine/frame.h"
#include "engine/geometry.h"
#include "engine/jpeg_strips.h"
#include "engine/naming.h"
#include "engine/one_pass.h"
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
bool WriteThroughMemory(FIBITMAP* image, const SaveOptions& output, fs::FileWriter* writer,
                        std::string* reason) {
  FIMEMORY* memory = FreeImage_OpenMemory(nullptr, 0);
  if (memory == nullptr) {
    *reason = "out of memory";
    return false;
  }
  BYTE* data = nullptr;
  DWORD size = 0;
  bool ok = FreeImage_SaveToMemory(static_cast<FREE_IMAGE_FORMAT>(output.codec_id), image, memory,
                                   output.save_flags) != FALSE &&
            FreeImage_AcquireMemory(memory, &data, &size) != FALSE && size > 0;
  if (!ok) {
    *reason = "the picture cannot be encoded";
  } else {
    ok = fs::WritePart(writer, data, size);
  }
  FreeImage_CloseMemory(memory);
  return ok;
}

// Saves to `relative` below the output folder through a temporary file
// beside the target; the target is replaced only by a complete file. The
// folders on the way are made as needed and never followed through a link,
// and those made for a file that fails are removed again when empty.
bool SaveImage(FIBITMAP* image, const SaveOptions& output, const std::string& output_folder,
               const std::string& relative, std::string* reason) {
  if (image == nullptr) {
    *reason = "the picture could not be processed";
    return false;
  }
  fs::FileWriter writer;
  bool ok = fs::StartFileBelow(output_folder, relative, &writer);
  // Large baseline JPEG files are encoded in strips on two cores; the file
  // decodes to the same pixels as one written in a single pass.
  bool written = ok && output.codec_id == FIF_JPEG &&
                 CanSaveJpegInStrips(image, output.save_flags) &&
                 WriteJpegInStrips(image, output.save_flags, &writer);
  if (ok && !written && writer.ok) written = WriteThroughMemory(image, output, &writer, reason);
  return EndOutputFile(ok && written, &writer, reason);
}

}  // namespace

bool EndOutputFile(bool written, fs::FileWriter* writer, std::string* reason) {
  const bool ok = written && fs::FinishFile(writer);
  if (!ok) {
    fs::AbandonFile(writer);
    if (writer->led_out) {
      *reason = "the output path leads out of the output folder";
    } else if (writer->error != 0 || reason->empty()) {
      *reason = fs::ErrorText(writer->error);
    }
  }
  return ok;
}

NameContext OutputNames(const ConversionJob& job, int depth, int width, int height) {
  NameContext names;
  names.input_path = job.input_path;
  names.output_extension = job.output.extension;
  names.depth = depth;
  names.width = width;
  names.height = height;
  names.random_number = job.random_number;
  names.counter = job.counter;
  return names;
}

bool ChooseOutputPath(const ConversionJob& job, const NameContext& names,
                      ConversionResult* result) {
  result->output_path =
      BuildOutputPath(job.settings->advanced, job.output_folder, job.relative_subfolder, names);
  std::string& reason = result->reason;
  if (!OutputPathStaysInFolder(result->output_path, job.output_folder)) {
    // A mask with ".." or an absolute path would write anywhere.
    reason = "the filename mask leads out of the output folder";
    return false;
  }
  if (SamePath(result->output_path, job.input_path)) {
    // Never write over the picture being converted.
    reason = "the output file is the input file";
    return false;
  }
  // Nor over what an earlier file of this run wrote.
  return job.claims == nullptr || OutputPathFree(*job.claims, result->output_path, &reason);
}

namespace {

int Width(FIBITMAP* image) { return static_cast<int>(FreeImage_GetWidth(image)); }
int Height(FIBITMAP* image) { return static_cast<int>(FreeImage_GetHeight(image)); }

// The chain of steps from a loaded image to the saved output file.
void ConvertLoadedImage(FIBITMAP* image, const ConversionJob& job, ConversionResult* result) {
  const Settings& settings = *job.settings;
  result->source_depth = static_cast<int32_t>(FreeImage_GetBPP(image));
  if (Width(image) == 0 || Height(image) == 0) {
    FreeImage_Unload(image);
    return;
  }
  result->depth = TargetDepth(job.output, result->source_depth);

  // Each step looks at its own settings and passes the image on unchanged
  // when it is switched off.
  image = RotateImage(image, settings.transform);
  if (image != nullptr) {
    image = ResizeImage(image, Width(image), Height(image), settings.transform);
  }
  if (image != nullptr) {
    result->width = Width(image);
    result->height = Height(image);
  }
  const NameContext names = OutputNames(job, result->depth, result->width, result->height);

  image = FlipImage(image, settings.transform);
  image = CorrectColors(image, settings.adjustment);
  image = MakeGreyscale(image, settings.adjustment);
  image = ApplyThreshold(image, settings.adjustment);
  image = DrawFrame(image, settings.frame);
  if (image != nullptr && settings.watermark.kind != WatermarkKind::kNone) {
    WatermarkJob mark;
    mark.mark = &settings.watermark;
    mark.frame = &settings.frame;
    if (job.resources != nullptr) {
      mark.font = job.resources->watermark_font.get();
      if (job.resources->watermark_picture.canvas != nullptr) {
        mark.picture = &job.resources->watermark_picture;
      }
    }
    if (settings.watermark.kind == WatermarkKind::kText) {
      mark.text = ExpandTextPlaceholders(settings.watermark.text, names);
    }
    image = DrawWatermark(image, mark);
  }
  image = ConvertToOutputDepth(image, job.output.extension, result->depth);

  if (ChooseOutputPath(job, names, result)) {
    result->ok = SaveImage(image, job.output, job.output_folder,
                           result->output_path.substr(job.output_folder.size()), &result->reason);
    if (result->ok && job.claims != nullptr) {
      ClaimOutputPath(job.claims, result->output_path, job.input_path);
    }
  }
  if (image != nullptr) FreeImage_Unload(image);
}

}  // namespace

ConversionResult ConvertFile(const ConversionJob& job) {
  // A picture that goes to the encoder unchanged does not wait for its
  // decoder to finish a whole file.
  if (ConvertsInOnePass(job)) return ConvertInOnePass(job);
  ConversionResult result;
  // A run of many files has a folder of its own for this.
  const std::string pool_folder =
      job.decoding.pool != nullptr ? PoolWorkFolder(*job.decoding.pool) : std::string();
  const std::string temp_folder = pool_folder.empty() ? fs::MakeTempFolder("pic2jpg") : pool_folder;
  if (temp_folder.empty()) {
    result.reason = "cannot create a temporary folder in " + fs::TempFolderBase();
    return result;
  }
  const int cleanup_slot =
      pool_folder.empty() ? platform::RegisterPath(temp_folder, /*is_folder=*/true) : -1;
  // The loaded image may be a view of the mapped Targa file, which lives on
  // after its folder is removed and is let go of only after the last image.
  TargaPixels pixels;
  FIBITMAP* image =
      LoadInputPicture(job.input_path, temp_folder, job.decoding, &pixels, &result.reason);
  if (pool_folder.empty()) {
    fs::RemoveTree(temp_folder);
    platform::UnregisterPath(cleanup_slot);
  } else {
    fs::EmptyFolder(temp_folder);
  }
  if (image != nullptr) ConvertLoadedImage(image, job, &result);
  if (!result.ok && result.reason.empty()) result.reason = "the picture could not be processed";
  if (result.ok) result.reason.clear();
  ReleaseTargaPixels(&pixels);
  return result;
}

}  // namespace pic2jpg
