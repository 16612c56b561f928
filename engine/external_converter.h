// The external converter run before loading: a command-line program that
// turns the input picture into a Targa file. Which one a run uses is decided
// once, when the run is planned (FindPictureDecoding in run_setup.h); a
// conversion only runs the one its job names.
#ifndef PIC2JPG_ENGINE_EXTERNAL_CONVERTER_H_
#define PIC2JPG_ENGINE_EXTERNAL_CONVERTER_H_

#include <string>
#include <vector>

namespace pic2jpg {

// The time a converter or loader may take on one file before it is stopped.
inline constexpr int kConverterTimeoutSeconds = 300;

struct ExternalConverter {
  std::string program;  // full path; "" when there is none
  bool is_imagemagick = false;
  bool is_own_reader = false;  // our pict2tga: its refusal of a picture is final
};

struct ConverterPool;  // batch_converter.h

// How a job's picture is decoded: the run's converter, the codec library's
// loader program (pic2jpg-load, "" when there is none), both found when the
// run was planned, and the run's pool of converter processes when it has one
// (a run of many files).
struct PictureDecoding {
  ExternalConverter converter;
  std::string loader;
  ConverterPool* pool = nullptr;
  // How long the converter may take on a file it streams (one_pass.h).
  int timeout_seconds = kConverterTimeoutSeconds;
};

// The arguments handed to the converter for one file.
std::vector<std::string> ConverterArguments(const ExternalConverter& converter,
                                            const std::string& input_path,
                                            const std::string& targa_path);

// Runs the converter, or takes the file from the pool when it has it, and
// returns the exit status (see platform::RunProgram); its standard error
// goes to `error_text` when given. The caller still checks the Targa file it
// finds afterwards.
int RunExternalConverter(const PictureDecoding& decoding, const std::string& input_path,
                         const std::string& targa_path, std::string* error_text = nullptr);

// A helper program of ours (pict2tga, pic2jpg-load), looked for beside the
// executable, then on the search path; "" when there is none.
std::string FindHelperProgram(const std::string& name);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_EXTERNAL_CONVERTER_H_
