#include "engine/external_converter.h"

#include <cstdlib>

#include "engine/batch_converter.h"
#include "engine/run_state.h"
#include "platform/app_paths.h"
#include "platform/process.h"

namespace pic2jpg {

ExternalConverter FindExternalConverter() {
  ExternalConverter converter;
  const char* forced = std::getenv("PIC2JPG_CONVERTER");
  if (forced != nullptr && *forced != '\0') {
    std::string name = forced;
    if (name == "none") return converter;
    converter.program = platform::FindOnPath(name);
    converter.is_imagemagick =
        converter.program.size() >= 7 &&
        converter.program.compare(converter.program.size() - 7, 7, "convert") == 0;
    return converter;
  }
  std::string folder =
      g_run_state.program_folder.empty() ? platform::ProgramFolder() : g_run_state.program_folder;
  converter.program = platform::FindOnPath(folder + "pict2tga");
  if (!converter.program.empty()) return converter;
  converter.program = platform::FindOnPath("convert");
  converter.is_imagemagick = !converter.program.empty();
  return converter;
}

std::vector<std::string> ConverterArguments(const ExternalConverter& converter,
                                            const std::string& input_path,
                                            const std::string& targa_path) {
  std::vector<std::string> args = {"-quiet", "-colorspace", "sRGB"};
  if (converter.is_imagemagick) {
    // ImageMagick 6.9 stores the rows top first while its Targa header
    // announces a bottom-left origin, so the picture loads upside down.
    // Writing the rows bottom first makes the file agree with its header.
    args.push_back("-flip");
  }
  args.push_back(input_path);
  args.push_back(converter.is_imagemagick ? "tga:" + targa_path : targa_path);
  return args;
}

bool RunExternalConverter(const ExternalConverter& converter, const std::string& input_path,
                          const std::string& targa_path) {
  // In a run of many files the batch converter may have the file ready.
  switch (TakeBatchConversion(input_path, targa_path)) {
    case BatchResult::kConverted:
      return true;
    case BatchResult::kFailed:
      return false;
    case BatchResult::kNotInBatch:
      break;
  }
  if (converter.program.empty()) return false;
  return platform::RunProgram(converter.program,
                              ConverterArguments(converter, input_path, targa_path),
                              kConverterTimeoutSeconds) == 0;
}

}  // namespace pic2jpg
