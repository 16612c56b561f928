#include "engine/external_converter.h"

#include "engine/batch_converter.h"
#include "platform/app_paths.h"
#include "platform/process.h"

namespace pic2jpg {
std::string FindHelperProgram(const std::string& name) {
  std::string program = platform::FindOnPath(platform::ProgramFolder() + name);
  // An installed copy may keep its helpers on the search path instead.
  return program.empty() ? platform::FindOnPath(name) : program;
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

int RunExternalConverter(const PictureDecoding& decoding, const std::string& input_path,
                         const std::string& targa_path, std::string* error_text) {
  // In a run of many files the pool may have the file ready.
  int status = 0;
  if (decoding.pool != nullptr &&
      TakePooledConversion(decoding.pool, input_path, targa_path, &status, error_text)) {
    return status;
  }
  const ExternalConverter& converter = decoding.converter;
  if (converter.program.empty()) return -1;
  return platform::RunProgram(converter.program,
                              ConverterArguments(converter, input_path, targa_path),
                              kConverterTimeoutSeconds, error_text);
}

}  // namespace pic2jpg
