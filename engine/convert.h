// Converting one file. A conversion reads nothing but its job: the run's
// settings snapshot, the run's loaded resources, the output parameters and
// the file's own place and numbers; it gives back a result record. Nothing
// process-wide is read or written, so conversions of different runs cannot
// disturb each other.
#ifndef PIC2JPG_ENGINE_CONVERT_H_
#define PIC2JPG_ENGINE_CONVERT_H_

#include <cstdint>
#include <string>

#include "engine/external_converter.h"
#include "engine/naming.h"
#include "engine/output_claims.h"
#include "engine/save_options.h"
#include "platform/drawing.h"
#include "platform/drawing_text.h"
#include "platform/file_system.h"
#include "settings/settings.h"

namespace pic2jpg {

// What a run loads once before its first file: the watermark's font or
// picture. Conversions only read it.
struct RunResources {
  platform::FontPtr watermark_font;
  platform::LoadedImage watermark_picture;
};

struct ConversionJob {
  const Settings* settings = nullptr;       // the run's snapshot; required
  const RunResources* resources = nullptr;  // null: none loaded
  SaveOptions output;
  std::string input_path;
  std::string relative_subfolder;  // "" or ends with "/"
  std::string output_folder;       // ends with "/"
  int32_t counter = 0;             // %n%
  int32_t random_number = 0;       // %rnd%
  OutputClaims* claims = nullptr;  // the run's names so far; null: not checked
  PictureDecoding decoding;        // the run's converter (and its pool)
};

struct ConversionResult {
  bool ok = false;
  std::string output_path;  // the file written (or that would have been)
  std::string reason;       // why it was not written; "" after a success
  int32_t source_depth = 0;
  int32_t depth = 0;  // bits per pixel saved with
  int32_t width = 0;  // size after the resize step
  int32_t height = 0;
};

// Converts `job.input_path` into one output file.
ConversionResult ConvertFile(const ConversionJob& job);

// Shared by the ways a file is converted (convert.cc, one_pass.cc):
// The names of the job's output for a picture saved with `depth` bits at
// `width` x `height`.
NameContext OutputNames(const ConversionJob& job, int depth, int width, int height);
// Sets the result's output path; false, with the reason, when the file may
// not be written there (outside the output folder, over the input, over an
// earlier file of the run).
bool ChooseOutputPath(const ConversionJob& job, const NameContext& names, ConversionResult* result);
// Finishes a started output file when it was `written`, else abandons it;
// false, with the reason unless one is already given, when it is not there.
bool EndOutputFile(bool written, fs::FileWriter* writer, std::string* reason);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_CONVERT_H_
